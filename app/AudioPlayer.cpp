#include "app/AudioPlayer.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <vector>

#include <QAudioDevice>
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
// How soon a JACK server that appeared or went away is noticed.
constexpr int JackWatchMilliseconds = 1000;
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

} // namespace

// The device's side, on the audio thread: a precise timer tops the sink's
// buffer up with freshly rendered samples whenever there is room, so a late
// tick is made up at the next one instead of starving the device.
class TAudioOutput : public QObject {
public:
    TAudioOutput(const QAudioDevice &device, const QAudioFormat &format, TListenControls &controls)
        : Device(device), Format(format), Chain(controls), Mono(ScratchFrames),
          Bytes(static_cast<std::size_t>(ScratchFrames * format.bytesPerFrame()))
    {
    }

    // Run on the audio thread through queued calls.
    void SetSource(TSignalSource *source) { Chain.SetSource(std::unique_ptr<TSignalSource>(source)); }
    bool Start(QString *problem)
    {
        if (!Sink) {
            Sink = new QAudioSink(Device, Format, this);
            QObject::connect(Sink, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
                if (state == QAudio::IdleState && Sink->error() == QAudio::UnderrunError)
                    Underruns.fetch_add(1, std::memory_order_relaxed);
            });
            Timer = new QTimer(this);
            Timer->setTimerType(Qt::PreciseTimer);
            Timer->setInterval(FeedMilliseconds);
            QObject::connect(Timer, &QTimer::timeout, this, [this] { Feed(); });
        }
        Chain.Restart();
        Frames.store(0);
        Underruns.store(0);
        Sink->setBufferSize(Format.bytesForDuration(qint64(DeviceBufferSeconds * 1e6)));
        Stream = Sink->start();
        if (!Stream || Sink->error() != QAudio::NoError) {
            *problem = QStringLiteral("The audio output refused to start (error %1).").arg(int(Sink->error()));
            Stop();
            return false;
        }
        Feed();
        Timer->start();
        return true;
    }
    void Stop()
    {
        if (Timer)
            Timer->stop();
        if (Sink)
            Sink->stop();
        Stream = nullptr;
    }

    std::atomic<long long> Frames{0};
    std::atomic<int> Underruns{0};

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
    QTimer *Timer = nullptr;
};

TAudioPlayer::TAudioPlayer(QObject *parent) : QObject(parent)
{
    OpenSystemOutput();
    WatchJack();
    FJackWatch = new QTimer(this);
    FJackWatch->setInterval(JackWatchMilliseconds);
    connect(FJackWatch, &QTimer::timeout, this, &TAudioPlayer::WatchJack);
    FJackWatch->start();
}

void TAudioPlayer::OpenSystemOutput()
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        FProblem = QStringLiteral("No audio output device was found, so the stack cannot be heard.");
        return;
    }
    const QAudioFormat format = ChooseFormat(device);
    if (format.sampleFormat() != QAudioFormat::Float && format.sampleFormat() != QAudioFormat::Int16) {
        FProblem = QStringLiteral("The audio output \"%1\" takes no sample format the program can play.")
                       .arg(device.description());
        return;
    }
    FAvailable = true;
    FSampleRate = format.sampleRate();
    FThread.setObjectName(QStringLiteral("audio"));
    FOutput = new TAudioOutput(device, format, FControls);
    FOutput->moveToThread(&FThread);
    connect(&FThread, &QThread::finished, FOutput, &QObject::deleteLater);
    FThread.start(QThread::TimeCriticalPriority);
}

TAudioPlayer::~TAudioPlayer()
{
    Stop();
    FJack.reset();
    if (!FAvailable)
        return;
    FThread.quit();
    FThread.wait();
}

QString TAudioPlayer::LiveProblem()
{
    return tr("No JACK server: start one, or start Corvanta with pw-jack on a PipeWire desktop");
}

double TAudioPlayer::SampleRate() const { return FJack ? FJack->SampleRate() : FSampleRate; }

std::unique_ptr<TSignalSource> TAudioPlayer::MakeLiveInput() { return FJack->Processor().MakeLiveInput(); }

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
    if (!FAvailable)
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
    if (!FAvailable)
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
    return FAvailable ? FOutput->Frames.load() : 0;
}

int TAudioPlayer::Underruns() const
{
    if (FJack)
        return FJack->LateCycles();
    return FAvailable ? FOutput->Underruns.load() : 0;
}

} // namespace cva
