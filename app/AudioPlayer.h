#pragma once

// Plays the listening chain through the system's audio output. The sound
// card is fed from a thread of its own; the GUI thread only exchanges
// settings with it through lock-free controls, and starts, stops and
// replaces the source with calls the audio thread runs between two buffers.

#include <memory>

#include <QObject>
#include <QString>
#include <QThread>

#include "audio/ListenChain.h"

namespace cva {

class TAudioOutput;

class TAudioPlayer : public QObject {
    Q_OBJECT

public:
    explicit TAudioPlayer(QObject *parent = nullptr);
    ~TAudioPlayer() override;

    // False when the system offers no audio output; Problem() then says why.
    bool Available() const { return FAvailable; }
    QString Problem() const { return FProblem; }
    // The rate sources and filters must be made for.
    double SampleRate() const { return FSampleRate; }

    TListenControls &Controls() { return FControls; }

    // Takes effect at the next buffer; the source is made for SampleRate().
    void SetSource(std::unique_ptr<TSignalSource> source);
    // Start from the top of the source; false with Problem() when the device refuses.
    bool Play();
    void Stop();
    bool Playing() const { return FPlaying; }

    // For the tests and the status bar: frames handed to the device since
    // the last Play, and how often the device ran dry.
    long long FramesDelivered() const;
    int Underruns() const;

private:
    bool FAvailable = false;
    QString FProblem;
    double FSampleRate = 48000;
    bool FPlaying = false;
    TListenControls FControls;
    QThread FThread;
    TAudioOutput *FOutput = nullptr; // lives on FThread
};

} // namespace cva
