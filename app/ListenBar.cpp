#include "app/ListenBar.h"

#include <cmath>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QProgressDialog>
#include <QSlider>
#include <QTimer>

#include "audio/AudioFile.h"
#include "audio/PinkNoise.h"
#include "audio/PluckedGuitar.h"
#include "audio/RecordingSource.h"
#include "audio/StackFilterDesign.h"
#include "document/Netlist.h"
#include "document/SpecialFiles.h"
#include "numerics/Error.h"

namespace cva {

namespace {

constexpr int MeterTicksPerSecond = 30;
constexpr int MeterFloorDB = -60;
constexpr int LevelLowestDB = -24;
constexpr int LevelHighestDB = 12;
constexpr int ReadingPollMs = 50;
constexpr int ReadingProgressSteps = 1000;
constexpr int ReadingDialogDelayMs = 400;

// Passes nothing, also when bypassed.
TStackFilterCoefficients SilentFilter(double sampleRate)
{
    TStackFilterCoefficients silent;
    silent.SampleRate = sampleRate;
    silent.AverageGain = 0;
    return silent;
}

} // namespace

TListenBar::TListenBar(QWidget *parent) : QToolBar(tr("Listen"), parent)
{
    setObjectName(QStringLiteral("ListenBar"));
    setMovable(false);
    addWidget(new QLabel(tr(" Listen: ")));

    FPlay = addAction(tr("Play"));
    FPlay->setObjectName(QStringLiteral("actListenPlay"));
    FPlay->setCheckable(true);
    FPlay->setShortcut(Qt::Key_Space);
    FPlay->setShortcutContext(Qt::WindowShortcut);
    FPlay->setToolTip(tr("Play the source through the tone stack (Space)"));
    connect(FPlay, &QAction::triggered, this, &TListenBar::PlayTriggered);

    FSource = new QComboBox;
    FSource->setObjectName(QStringLiteral("cbListenSource"));
    FSource->addItems({tr("Guitar"), tr("Pink noise"), tr("Audio file...")});
    FSource->setToolTip(tr("What is played through the stack"));
    FSource->setFocusPolicy(Qt::NoFocus);
    connect(FSource, &QComboBox::activated, this, &TListenBar::SourceActivated);
    addWidget(FSource);

    FLoop = new QCheckBox(tr("Loop"));
    FLoop->setObjectName(QStringLiteral("cbListenLoop"));
    FLoop->setChecked(true);
    FLoop->setFocusPolicy(Qt::NoFocus);
    FLoop->setToolTip(tr("Start an audio file again when it ends"));
    connect(FLoop, &QCheckBox::toggled, this, [this](bool loop) { FPlayer.Controls().Loop.store(loop); });
    addWidget(FLoop);

    FBypass = addAction(tr("A/B"));
    FBypass->setObjectName(QStringLiteral("actListenBypass"));
    FBypass->setCheckable(true);
    FBypass->setToolTip(tr("Bypass the tone stack, at the stack's average loudness"));
    connect(FBypass, &QAction::toggled, this, [this](bool bypass) { FPlayer.Controls().Bypass.store(bypass); });

    addWidget(new QLabel(tr(" Level ")));
    FLevel = new QSlider(Qt::Horizontal);
    FLevel->setObjectName(QStringLiteral("tbListenLevel"));
    FLevel->setRange(LevelLowestDB, LevelHighestDB);
    FLevel->setValue(0);
    FLevel->setFixedWidth(90);
    FLevel->setFocusPolicy(Qt::NoFocus);
    FLevelText = new QLabel;
    FLevelText->setMinimumWidth(FLevelText->fontMetrics().horizontalAdvance(QStringLiteral("+12 dB ")));
    connect(FLevel, &QSlider::valueChanged, this, [this](int db) {
        FPlayer.Controls().Level.store(static_cast<float>(std::pow(10.0, db / 20.0)));
        FLevelText->setText(tr("%1%2 dB").arg(db > 0 ? "+" : "").arg(db));
    });
    FLevelText->setText(tr("0 dB"));
    addWidget(FLevel);
    addWidget(FLevelText);

    FMeter = new QProgressBar;
    FMeter->setObjectName(QStringLiteral("pbListenMeter"));
    FMeter->setRange(MeterFloorDB, 0);
    FMeter->setValue(MeterFloorDB);
    FMeter->setTextVisible(false);
    FMeter->setFixedWidth(70);
    FMeter->setToolTip(tr("Output level, 0 dB at full scale"));
    addWidget(FMeter);
    FClip = new QLabel(tr(" CLIP "));
    FClip->setObjectName(QStringLiteral("labListenClip"));
    FClip->setToolTip(tr("Lights when the output reached full scale: turn the level down"));
    FClip->setEnabled(false);
    addWidget(FClip);

    FMeterTimer = new QTimer(this);
    FMeterTimer->setInterval(1000 / MeterTicksPerSecond);
    connect(FMeterTimer, &QTimer::timeout, this, &TListenBar::PollMeter);
    FReadingTimer = new QTimer(this);
    FReadingTimer->setInterval(ReadingPollMs);
    connect(FReadingTimer, &QTimer::timeout, this, &TListenBar::PollReading);

    if (!FPlayer.Available()) {
        FPlay->setEnabled(false);
        FPlay->setToolTip(FPlayer.Problem());
        return;
    }
    UseSource(GuitarItem);
}

QString TListenBar::ChooseAudioFile()
{
    return QFileDialog::getOpenFileName(this, tr("Listen to an audio file"), QString(),
                                        tr("Audio files (*.wav *.flac *.ogg *.aiff *.aif);;All files (*)"));
}

void TListenBar::CircuitChanged(const TCircuit &circuit)
{
    try {
        FNetlist = BuildNetlist(circuit);
    } catch (const CorvantaError &error) {
        FNetlist.reset();
        FNetlistProblem = error.what();
    }
    if (FPlayer.Playing() || !FNetlist)
        SendFilter();
}

void TListenBar::SendFilter()
{
    try {
        if (!FNetlist)
            throw CorvantaError(FNetlistProblem);
        FPlayer.Controls().Filter.Publish(DesignStackFilter(*FNetlist, FPlayer.SampleRate()));
    } catch (const CorvantaError &error) {
        // Sound of another circuit than the one on screen would mislead, and
        // one that is not passive would run away: silence until it can be heard.
        FPlayer.Controls().Filter.Publish(SilentFilter(FPlayer.SampleRate()));
        emit Message(tr("Listening is silent: %1").arg(QString::fromStdString(error.what())));
    }
}

void TListenBar::PlayTriggered(bool play)
{
    if (!play) {
        FPlayer.Stop();
        FMeterTimer->stop();
        FMeter->setValue(MeterFloorDB);
        FPlay->setText(tr("Play"));
        return;
    }
    SendFilter();
    if (!FPlayer.Play()) {
        FPlay->setChecked(false);
        emit Message(FPlayer.Problem());
        return;
    }
    FPlay->setText(tr("Stop"));
    FMeterTimer->start();
}

void TListenBar::SourceActivated(int index)
{
    if (index != OpenFileItem) {
        UseSource(index);
        return;
    }
    FSource->setCurrentIndex(FShownSource);
    const QString path = ChooseAudioFile();
    if (!path.isEmpty())
        OpenAudioFile(path);
}

bool TListenBar::OpenAudioFile(const QString &path)
{
    std::unique_ptr<TAudioFileReader> reader;
    try {
        // A named pipe or a device would hold the window until it ends.
        if (const auto reason = SpecialFileReason(path.toStdString()))
            throw CorvantaError("Cannot read audio file \"" + path.toStdString() + "\". " + *reason);
        reader = std::make_unique<TAudioFileReader>(path.toStdString());
    } catch (const CorvantaError &error) {
        emit Problem(QString::fromStdString(error.what()));
        return false;
    }
    // One file at a time: a new choice replaces a reading still under way.
    FReading.reset();
    FReading = std::make_unique<TRecordingLoad>(std::move(reader), FPlayer.SampleRate());
    FReadingPath = path;
    if (!FReadingProgress) {
        FReadingProgress = new QProgressDialog(this);
        FReadingProgress->setObjectName(QStringLiteral("dlgListenReading"));
        FReadingProgress->setWindowTitle(tr("Listen to an audio file"));
        FReadingProgress->setRange(0, ReadingProgressSteps);
        // A short file is read before the dialog would be worth showing.
        FReadingProgress->setMinimumDuration(ReadingDialogDelayMs);
        FReadingProgress->setAutoClose(false);
        FReadingProgress->setAutoReset(false);
    }
    FReadingProgress->reset();
    FReadingProgress->setLabelText(tr("Reading %1...").arg(QFileInfo(path).fileName()));
    FReadingProgress->setValue(0);
    FReadingTimer->start();
    return true;
}

void TListenBar::PollReading()
{
    if (!FReading)
        return;
    // Cancel, Escape or closing the dialog.
    if (FReadingProgress->wasCanceled())
        FReading->Cancel();
    if (!FReading->Finished()) {
        FReadingProgress->setValue(static_cast<int>(FReading->Progress() * ReadingProgressSteps));
        return;
    }
    FReadingTimer->stop();
    FReadingProgress->reset();
    FReadingProgress->hide();
    const std::unique_ptr<TRecordingLoad> done = std::move(FReading);
    if (!done->Error().empty())
        emit Problem(QString::fromStdString(done->Error()));
    else if (done->Cancelled())
        emit Message(tr("Reading %1 was cancelled; the source stays as it was.")
                         .arg(QFileInfo(FReadingPath).fileName()));
    else {
        FRecording = std::move(done->Samples());
        UseRecording(FReadingPath);
    }
}

void TListenBar::UseRecording(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    if (FSource->count() == FileItem)
        FSource->addItem(name);
    else
        FSource->setItemText(FileItem, name);
    FSource->setItemData(FileItem, path, Qt::ToolTipRole);
    UseSource(FileItem);
}

void TListenBar::UseSource(int index)
{
    FShownSource = index;
    FSource->setCurrentIndex(index);
    const double rate = FPlayer.SampleRate();
    std::unique_ptr<TSignalSource> source;
    if (index == GuitarItem)
        source = std::make_unique<TPluckedGuitar>(rate);
    else if (index == PinkNoiseItem)
        source = std::make_unique<TPinkNoise>();
    else
        source = std::make_unique<TRecordingSource>(FRecording);
    FPlayer.SetSource(std::move(source));
}

void TListenBar::PollMeter()
{
    TListenControls &controls = FPlayer.Controls();
    const float peak = controls.Peak.exchange(0.0f);
    const double db = peak > 0 ? 20 * std::log10(peak) : MeterFloorDB;
    FMeter->setValue(static_cast<int>(std::clamp(db, double(MeterFloorDB), 0.0)));
    if (controls.Clipped.exchange(false))
        FClipHold = MeterTicksPerSecond;
    else if (FClipHold > 0)
        --FClipHold;
    FClip->setEnabled(FClipHold > 0);
    FClip->setStyleSheet(FClipHold > 0 ? QStringLiteral("background: red; color: white;") : QString());
    if (controls.RanAway.exchange(false))
        emit Message(tr("Listening is muted: the filtered sound ran away (a sample not finite or far beyond full "
                        "scale). It plays again with the next change of the circuit."));
    if (controls.SourceEnded.exchange(false) && FPlay->isChecked()) {
        FPlay->setChecked(false);
        PlayTriggered(false);
        emit Message(tr("The audio file has played to its end."));
    }
}

} // namespace cva
