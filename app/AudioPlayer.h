#pragma once

// Plays the listening chain through a JACK server when one is reachable
// (in the server's own low-latency cycle, with the live input as a further
// source), else through the system's audio output, whose sound card is fed
// from a thread of its own. The GUI thread only exchanges settings with
// either through lock-free controls; on the system's path it starts, stops
// and replaces the source with calls the audio thread runs between two
// buffers. A JACK server that goes away is left for the system's path, and
// one that appears while nothing plays is taken up. An output that goes
// away while playing (the sound server, the sound card, the JACK server)
// stops listening with a message; one that appears makes Play possible
// again, without a restart.

#include <memory>

#include <QAudioDevice>
#include <QList>
#include <QObject>
#include <QString>
#include <QThread>

#include "audio/ListenChain.h"

class QMediaDevices;
class QTimer;

namespace cva {

class TAudioOutput;
class TJackClient;

class TAudioPlayer : public QObject {
    Q_OBJECT

public:
    explicit TAudioPlayer(QObject *parent = nullptr);
    ~TAudioPlayer() override;

    // False when neither a JACK server nor the system offers an audio
    // output; Problem() then says why.
    bool Available() const { return FJack || FOutput; }
    QString Problem() const { return FProblem; }
    // The rate sources and filters must be made for.
    double SampleRate() const;

    // The JACK client while a server is reachable, else null (and LiveProblem says so).
    TJackClient *Jack() const { return FJack.get(); }
    static QString LiveProblem();
    // The JACK client's captured input as a source; only with Jack().
    std::unique_ptr<TSignalSource> MakeLiveInput();

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

signals:
    // The JACK server was found or went away: sources and filters must be
    // made again for SampleRate(), and the live input is there or not.
    void OutputChanged();
    // The output went away while playing; listening stopped, and the
    // message says what happened.
    void OutputLost(const QString &message);
    // The JACK server changed its rate or block size: sources and filters
    // must be made again for SampleRate() (the server's cycles are silent
    // until the filter arrives).
    void FormatChanged();

private:
    // Opens the system's default output, in place of the one in use.
    void OpenSystemOutput();
    void CloseSystemOutput();
    // Every tick: a sink that failed, the system's devices, the JACK server.
    void WatchOutputs();
    void SystemOutputsChanged();
    void WatchJack();

    std::unique_ptr<TJackClient> FJack;
    QMediaDevices *FDevices;
    QTimer *FWatch = nullptr;
    QAudioDevice FDevice; // the system's output in use, if any
    QList<QByteArray> FSeenOutputs;
    QString FProblem;
    double FSampleRate = 48000;
    bool FPlaying = false;
    TListenControls FControls;
    QThread FThread;
    TAudioOutput *FOutput = nullptr; // lives on FThread; null without a system output
};

} // namespace cva
