#pragma once

// The Listen bar: hear the circuit on screen while it changes. Play/Stop
// (Space), the source (demo guitar, pink noise or an audio file), loop,
// output level with a meter and clip light, and an A/B switch that bypasses
// the stack at its average loudness so that the comparison is fair.

#include <optional>

#include <QToolBar>

#include "app/AudioPlayer.h"
#include "document/Circuit.h"
#include "models/Netlist.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QSlider;
class QTimer;

namespace cva {

class TListenBar : public QToolBar {
    Q_OBJECT

public:
    explicit TListenBar(QWidget *parent = nullptr);

    // After every recalculation: the filter follows the circuit.
    void CircuitChanged(const TCircuit &circuit);
    // As choosing the file in the source list, without the dialog.
    bool OpenAudioFile(const QString &path);

    TAudioPlayer &Player() { return FPlayer; }
    QAction *PlayAction() const { return FPlay; }
    QAction *BypassAction() const { return FBypass; }
    QComboBox *SourceBox() const { return FSource; }
    QCheckBox *LoopBox() const { return FLoop; }
    QSlider *LevelSlider() const { return FLevel; }
    QProgressBar *Meter() const { return FMeter; }
    QLabel *ClipLight() const { return FClip; }

    enum TSourceItem { GuitarItem, PinkNoiseItem, OpenFileItem, FileItem };

signals:
    // A line for the status bar.
    void Message(const QString &text);
    // Something the user has to read, such as an audio file that cannot be used.
    void Problem(const QString &text);

protected:
    // The file the user picks in the open dialog; empty when cancelled.
    virtual QString ChooseAudioFile();

private:
    void PlayTriggered(bool play);
    void SourceActivated(int index);
    void UseSource(int index);
    void SendFilter();
    void PollMeter();

    TAudioPlayer FPlayer;
    std::optional<TNetlist> FNetlist;
    std::vector<float> FRecording; // the loaded file at the device's rate
    int FShownSource = GuitarItem;
    QAction *FPlay = nullptr;
    QAction *FBypass = nullptr;
    QComboBox *FSource = nullptr;
    QCheckBox *FLoop = nullptr;
    QSlider *FLevel = nullptr;
    QLabel *FLevelText = nullptr;
    QProgressBar *FMeter = nullptr;
    QLabel *FClip = nullptr;
    QTimer *FMeterTimer = nullptr;
    int FClipHold = 0; // meter ticks the clip light stays on
};

} // namespace cva
