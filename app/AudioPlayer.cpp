#include "app/AudioPlayer.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <QTimer>

#include "audio/JackClient.h"
#include "numerics/Error.h"

namespace cva {

namespace {

// With the feeding period and the chain's block, short enough that a slider
// move is heard within 30 ms; long enough for a busy desktop (tried at a load
// of four times the cores) not to run the device dry.
constexpr double DeviceBufferSeconds = 0.020;
constexpr qint64 ScratchFrames = 1024;
constexpr int FeedMilliseconds = 5;
// How soon an output that appeared or went away (a JACK server, a sound card,
// the sound server) is noticed.
constexpr int WatchMilliseconds = 1000;
constexpr char JackClientName[] = "corvanta";

QAudioFormat ChooseFormat(const QAudioDevice &device)
{
    QAudioFormat preferred = device.preferredFormat();
    for (const QAudioFormat::SampleFormat sampleFormat : {QAudioFormat::Float, QAudioFormat::Int16}) {
        for (const int channels : {1, preferred.channelCount()}) {
            QAudioFormat format;
            format.setSampleRate(preferred.sampleRate());
            format.setChannelCount(channels);
            format.setSampleFormat(sampleFormat);
            if (device.isFormatSupported(format))
                return format;
        }
    }
    return preferred;
}

QString AudioErrorText(QAudio::Error error)
{
    switch (error) {
    case QAudio::OpenError:
        return QObject::tr("the device cannot be opened");
    case QAudio::IOError:
        return QObject::tr("the device stopped taking samples");
    case QAudio::FatalError:
        return QObject::tr("the sound server cannot be reached");
    default:
        return QObject::tr("the device reported error %1").arg(int(error));
    }
}

QList<QByteArray> OutputIds()
{
    QList<QByteArray> ids;
    for (const QAudioDevice &device : QMediaDevices::audioOutputs())
        ids << device.id();
    return ids;
}

} // namespace

// The device's side, on the audio thread: a precise timer tops the sink's
// buffer up with freshly rendered samples whenever there is room, so a late
// tick is made up at the next one instead of starving the device.
class TAudioOutput : public QObject {
public:
    TAudioOutput(const QAudioDevice &device, const QAudioFormat &format, TListenControls &controls)
        : Device(device), Format(format), Chain(controls), Mono(ScratchFrames),
          Bytes(static_cast<std::size_t>(ScratchFrames * format.bytesPerFrame())), Timer(new QTimer(this))
    {
        Timer->setTimerType(Qt::PreciseTimer);
        Timer->setInterval(FeedMilliseconds);
        QObject::connect(Timer, &QTimer::timeout, this, [this] { Feed(); });
    }

    // Run on the audio thread through queued calls.
    void SetSource(TSignalSource *source) { Chain.SetSource(std::unique_ptr<TSignalSource>(source)); }
    bool Start(QString *problem)
    {
        // A sink that failed stays failed: the next Play asks the server afresh.
        if (Sink && Sink->error() != QAudio::NoError && Sink->error() != QAudio::UnderrunError) {
            delete Sink;
            Sink = nullptr;
        }
        if (!Sink) {
            Sink = new QAudioSink(Device, Format, this);
            QObject::connect(Sink, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
                if (state == QAudio::IdleState && Sink->error() == QAudio::UnderrunError)
                    Underruns.fetch_add(1, std::memory_order_relaxed);
                // The sound server or the device went away while playing.
                if (state == QAudio::StoppedState && Stream && Sink->error() != QAudio::NoError)
                    Failure.store(Sink->error());
            });
        }
        Chain.Restart();
        Frames.store(0);
        Underruns.store(0);
        Failure.store(QAudio::NoError);
        Sink->setBufferSize(Format.bytesForDuration(qint64(DeviceBufferSeconds * 1e6)));
        Stream = Sink->start();
        if (!Stream || Sink->error() != QAudio::NoError) {
            *problem = QObject::tr("The audio output \"%1\" cannot start: %2.")
                           .arg(Device.description(), AudioErrorText(Sink->error()));
            Stop();
            return false;
        }
        Feed();
        Timer->start();
        return true;
    }
    void Stop()
    {
        Timer->stop();
        // Not playing any more, so the sink's stopping is no failure.
        Stream = nullptr;
        if (Sink)
            Sink->stop();
    }

    std::atomic<long long> Frames{0};
    std::atomic<int> Underruns{0};
    // Why the sink stopped by itself while playing; NoError while it plays.
    std::atomic<QAudio::Error> Failure{QAudio::NoError};

private:
    void Feed()
    {
        if (!Stream)
            return;
        const int frameBytes = Format.bytesPerFrame();
        const int sampleBytes = Format.bytesPerSample();
        const int channels = Format.channelCount();
        qint64 room = Sink->bytesFree() / frameBytes;
        while (room > 0) {
            const qint64 count = std::min(room, ScratchFrames);
            const std::span<float> mono(Mono.data(), std::size_t(count));
            Chain.Render(mono);
            char *target = Bytes.data();
            for (const float sample : mono)
                for (int channel = 0; channel < channels; ++channel, target += sampleBytes) {
                    if (Format.sampleFormat() == QAudioFormat::Float) {
                        std::memcpy(target, &sample, sizeof sample);
                    } else {
                        const auto value = static_cast<qint16>(std::lround(sample * 32767.0f));
                        std::memcpy(target, &value, sizeof value);
                    }
                }
            Stream->write(Bytes.data(), count * frameBytes);
            Frames.fetch_add(count, std::memory_order_relaxed);
            room -= count;
        }
    }

    QAudioDevice Device;
    QAudioFormat Format;
    TListenChain Chain;
    // Sized once, so rendering never allocates.
    std::vector<float> Mono;
    std::vector<char> Bytes;
    QAudioSink *Sink = nullptr;
    QIODevice *Stream = nullptr; // the sink's input while playing
    QTimer *Timer;
};

TAudioPlayer::TAudioPlayer(QObject *parent) : QObject(parent), FDevices(new QMediaDevices(this))
{
    FThread.setObjectName(QStringLiteral("audio"));
    FThread.start(QThread::TimeCriticalPriority);
    OpenSystemOutput();
    WatchJack();
    // Some backends never announce a device that came or went: the list is
    // also compared at every tick.
    connect(FDevices, &QMediaDevices::audioOutputsChanged, this, &TAudioPlayer::SystemOutputsChanged);
    FWatch = new QTimer(this);
    FWatch->setInterval(WatchMilliseconds);
    connect(FWatch, &QTimer::timeout, this, &TAudioPlayer::WatchOutputs);
    FWatch->start();
}

void TAudioPlayer::OpenSystemOutput()
{
    CloseSystemOutput();
    FSeenOutputs = OutputIds();
    FDevice = QMediaDevices::defaultAudioOutput();
    if (FDevice.isNull()) {
        FProblem = tr("No audio output device and no JACK server were found, so the stack cannot be heard. Play "
                      "comes back when either appears.");
        return;
    }
    const QAudioFormat format = ChooseFormat(FDevice);
    if (format.sampleFormat() != QAudioFormat::Float && format.sampleFormat() != QAudioFormat::Int16) {
        FProblem = tr("The audio output \"%1\" takes no sample format the program can play.").arg(FDevice.description());
        return;
    }
    FSampleRate = format.sampleRate();
    FOutput = new TAudioOutput(FDevice, format, FControls);
    FOutput->moveToThread(&FThread);
}

void TAudioPlayer::CloseSystemOutput()
{
    if (!FOutput)
        return;
    TAudioOutput *output = std::exchange(FOutput, nullptr);
    QMetaObject::invokeMethod(
        output,
        [output] {
            output->Stop();
            delete output;
        },
        Qt::BlockingQueuedConnection);
}

TAudioPlayer::~TAudioPlayer()
{
    Stop();
    FJack.reset();
    CloseSystemOutput();
    FThread.quit();
    FThread.wait();
}

QString TAudioPlayer::LiveProblem()
{
    return tr("No JACK server: start one, or start Corvanta with pw-jack on a PipeWire desktop");
}

double TAudioPlayer::SampleRate() const { return FJack ? FJack->SampleRate() : FSampleRate; }

std::unique_ptr<TSignalSource> TAudioPlayer::MakeLiveInput() { return FJack->Processor().MakeLiveInput(); }

void TAudioPlayer::WatchOutputs()
{
    if (FPlaying && !FJack && FOutput) {
        const QAudio::Error failure = FOutput->Failure.load();
        if (failure != QAudio::NoError) {
            Stop();
            emit OutputLost(tr("The audio output \"%1\" stopped: %2. Listening stopped; Play tries again.")
                                .arg(FDevice.description(), AudioErrorText(failure)));
        }
    }
    SystemOutputsChanged();
    WatchJack();
}

void TAudioPlayer::SystemOutputsChanged()
{
    const QList<QByteArray> outputs = OutputIds();
    const QByteArray chosen = QMediaDevices::defaultAudioOutput().id();
    if (outputs == FSeenOutputs && chosen == FDevice.id())
        return;
    // What plays goes on playing where it is, unless its device went away;
    // a new default is taken once it stops.
    const bool playsHere = FPlaying && !FJack;
    const bool lost = playsHere && !outputs.contains(FDevice.id());
    if (playsHere && !lost)
        return;
    const QString gone = FDevice.description();
    if (lost)
        Stop();
    OpenSystemOutput();
    if (!FJack)
        emit OutputChanged();
    if (lost)
        emit OutputLost(tr("The audio output \"%1\" went away: listening stopped.").arg(gone));
}

void TAudioPlayer::WatchJack()
{
    if (FJack) {
        FJack->Processor().FreeRetired();
        if (!FJack->ServerGone()) {
            if (FJack->TakeFormatChange())
                emit FormatChanged();
            return;
        }
        const bool wasPlaying = FPlaying;
        FPlaying = false;
        FJack.reset();
        emit OutputChanged();
        if (wasPlaying)
            emit OutputLost(tr("The JACK server went away: listening stopped."));
        return;
    }
    // A server that appears takes over only while nothing plays.
    if (FPlaying)
        return;
    try {
        FJack = std::make_unique<TJackClient>(FControls, JackClientName);
    } catch (const CorvantaError &) {
        return; // none yet; looked for again at the next tick
    }
    emit OutputChanged();
}

void TAudioPlayer::SetSource(std::unique_ptr<TSignalSource> source)
{
    if (FJack) {
        FJack->Processor().SetSource(std::move(source));
        return;
    }
    if (!FOutput)
        return;
    TSignalSource *handed = source.release();
    QMetaObject::invokeMethod(FOutput, [this, handed] { FOutput->SetSource(handed); }, Qt::BlockingQueuedConnection);
}

bool TAudioPlayer::Play()
{
    if (FJack) {
        FJack->Processor().Play();
        FPlaying = true;
        return true;
    }
    if (!FOutput)
        return false;
    QString problem;
    bool started = false;
    QMetaObject::invokeMethod(FOutput, [&] { started = FOutput->Start(&problem); }, Qt::BlockingQueuedConnection);
    FPlaying = started;
    if (!started)
        FProblem = problem;
    return started;
}

void TAudioPlayer::Stop()
{
    if (!FPlaying)
        return;
    if (FJack) {
        FJack->Processor().Stop();
        FPlaying = false;
        return;
    }
    QMetaObject::invokeMethod(FOutput, [this] { FOutput->Stop(); }, Qt::BlockingQueuedConnection);
    FPlaying = false;
}

long long TAudioPlayer::FramesDelivered() const
{
    if (FJack)
        return FJack->Processor().FramesPlayed();
    return FOutput ? FOutput->Frames.load() : 0;
}

int TAudioPlayer::Underruns() const
{
    if (FJack)
        return FJack->LateCycles();
    return FOutput ? FOutput->Underruns.load() : 0;
}

} // namespace cva
