#pragma once

// The Listen bar: hear the circuit on screen while it changes. Play/Stop
// (Space where no button, box or text field has the focus), the source
// (demo guitar, pink noise, the player's own instrument live through a JACK
// server, or an audio file), loop, output level with a
// meter and clip light, and an A/B switch that bypasses the stack at its
// average loudness so that the comparison is fair. The live input has its
// own trim, meter and clip light, and a choice of the JACK ports it takes
// and feeds (remembered between runs).

#include <optional>

#include <QToolBar>

#include "app/AudioPlayer.h"
#include "audio/RecordingLoad.h"
#include "document/Circuit.h"
#include "models/Netlist.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QProgressDialog;
class QSlider;
class QTimer;
class QToolButton;

namespace cva {

class TListenBar : public QToolBar {
    Q_OBJECT

public:
    explicit TListenBar(QWidget *parent = nullptr);

    // After every recalculation: the filter follows the circuit.
    void CircuitChanged(const TCircuit &circuit);
    // As choosing the file in the source list, without the dialog: checks
    // the file's header at once (false, and the source stays, when it is
    // refused), then reads and resamples it on a thread of its own while a
    // progress dialog offers to cancel; the file becomes the source when it
    // is read.
    bool OpenAudioFile(const QString &path);
    // The dialog while a file is read, or null.
    QProgressDialog *ReadingProgress() const { return FReadingProgress; }

    TAudioPlayer &Player() { return FPlayer; }
    QAction *PlayAction() const { return FPlay; }
    QAction *BypassAction() const { return FBypass; }
    QComboBox *SourceBox() const { return FSource; }
    QCheckBox *LoopBox() const { return FLoop; }
    QSlider *LevelSlider() const { return FLevel; }
    QProgressBar *Meter() const { return FMeter; }
    QLabel *ClipLight() const { return FClip; }
    QSlider *TrimSlider() const { return FTrim; }
    QProgressBar *InputMeter() const { return FInputMeter; }
    QLabel *InputClipLight() const { return FInputClip; }
    QToolButton *PortsButton() const { return FPorts; }
    // Which JACK server plays, at what rate and block size; hidden without one.
    QLabel *JackLabel() const { return FJackText; }

    enum TSourceItem { GuitarItem, PinkNoiseItem, LiveItem, OpenFileItem, FileItem };

signals:
    // A line for the status bar.
    void Message(const QString &text);
    // Something the user has to read, such as an audio file that cannot be used.
    void Problem(const QString &text);

protected:
    // The file the user picks in the open dialog; empty when cancelled.
    virtual QString ChooseAudioFile();
    // Lets the focused widget have Space before the Play shortcut.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Widgets that do something of their own with Space.
    static bool TakesSpace(const QObject *widget);
    void PlayTriggered(bool play);
    // Clears the end-of-file message once something else plays.
    void ForgetEndMessage();
    void SourceActivated(int index);
    void UseSource(int index);
    void SendFilter();
    void PollMeter();
    void PollReading();
    void UseRecording(const QString &path);
    void StopPlaying();
    // After the JACK server appeared or went away.
    void OutputChanged();
    void ShowLiveWidgets();
    void ShowJackFormat();
    // After the JACK server changed its rate or block size.
    void FormatChanged();
    void FillPortsMenu();
    void ConnectPorts(const QStringList &inputs, const QStringList &outputs);
    void ConnectSavedPorts();

    TAudioPlayer FPlayer;
    std::optional<TNetlist> FNetlist;
    std::string FNetlistProblem; // why there is no netlist
    std::vector<float> FRecording; // the loaded file at FRecordingRate
    double FRecordingRate = 0;
    std::unique_ptr<TRecordingLoad> FReading; // a file being read, if any
    double FReadingRate = 0;               // the rate it is resampled to
    QString FReadingPath;
    QProgressDialog *FReadingProgress = nullptr;
    QTimer *FReadingTimer = nullptr;
    int FShownSource = GuitarItem;
    double FSourceRate = 0; // the rate the source in use was made for
    QAction *FPlay = nullptr;
    QAction *FBypass = nullptr;
    QComboBox *FSource = nullptr;
    QCheckBox *FLoop = nullptr;
    QSlider *FLevel = nullptr;
    QLabel *FLevelText = nullptr;
    QProgressBar *FMeter = nullptr;
    QLabel *FClip = nullptr;
    QAction *FTrimLabelAction = nullptr;
    QAction *FTrimAction = nullptr;
    QAction *FTrimTextAction = nullptr;
    QAction *FInputMeterAction = nullptr;
    QAction *FInputClipAction = nullptr;
    QAction *FPortsAction = nullptr;
    QAction *FLoopAction = nullptr;
    QSlider *FTrim = nullptr;
    QLabel *FTrimText = nullptr;
    QProgressBar *FInputMeter = nullptr;
    QLabel *FInputClip = nullptr;
    QToolButton *FPorts = nullptr;
    QLabel *FJackText = nullptr;
    QAction *FJackTextAction = nullptr;
    QTimer *FMeterTimer = nullptr;
    // Meter ticks each clip light stays on.
    int FClipHold = 0;
    int FInputClipHold = 0;
    bool FEndTold = false; // the status bar says the file has ended
    bool FSilenceTold = false; // the status bar says why the circuit cannot be heard
};

} // namespace cva
