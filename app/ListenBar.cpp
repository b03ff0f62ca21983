#include "app/ListenBar.h"

#include <cmath>
#include <utility>

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QProgressDialog>
#include <QSettings>
#include <QSlider>
#include <QStandardItemModel>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include "audio/AudioFile.h"
#include "audio/JackClient.h"
#include "audio/PinkNoise.h"
#include "audio/PluckedGuitar.h"
#include "audio/RecordingSource.h"
#include "audio/Resampler.h"
#include "audio/StackFilterDesign.h"
#include "document/Netlist.h"
#include "io/FileKinds.h"
#include "numerics/Error.h"

namespace cva {

namespace {

constexpr int MeterTicksPerSecond = 30;
constexpr int MeterFloorDB = -60;
constexpr int LevelLowestDB = -24;
constexpr int LevelHighestDB = 12;
constexpr int TrimLowestDB = -24;
constexpr int TrimHighestDB = 24;
constexpr int ReadingPollMs = 50;
constexpr int ReadingProgressSteps = 1000;
constexpr int ReadingDialogDelayMs = 400;
const char InputPortsKey[] = "Listen/InputPorts";
const char OutputPortsKey[] = "Listen/OutputPorts";

// Passes nothing, also when bypassed.
TStackFilterCoefficients SilentFilter(double sampleRate)
{
    TStackFilterCoefficients silent;
    silent.SampleRate = sampleRate;
    silent.AverageGain = 0;
    return silent;
}

QString DecibelText(int db) { return QObject::tr("%1%2 dB").arg(db > 0 ? "+" : "").arg(db); }

float DecibelFactor(int db) { return static_cast<float>(std::pow(10.0, db / 20.0)); }

// A slider from 'lowest' to 'highest' dB, starting at 0, with its reading.
QSlider *NewDecibelSlider(const QString &name, int lowest, int highest, int width, QLabel *reading)
{
    auto *slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(name);
    slider->setRange(lowest, highest);
    slider->setValue(0);
    slider->setFixedWidth(width);
    slider->setFocusPolicy(Qt::TabFocus);
    reading->setMinimumWidth(reading->fontMetrics().horizontalAdvance(QStringLiteral("+24 dB ")));
    reading->setText(DecibelText(0));
    QObject::connect(slider, &QSlider::valueChanged, reading, [reading](int db) { reading->setText(DecibelText(db)); });
    return slider;
}

QProgressBar *NewMeter(const QString &name, int width, const QString &toolTip)
{
    auto *meter = new QProgressBar;
    meter->setObjectName(name);
    meter->setRange(MeterFloorDB, 0);
    meter->setValue(MeterFloorDB);
    meter->setTextVisible(false);
    meter->setFixedWidth(width);
    meter->setToolTip(toolTip);
    return meter;
}

QLabel *NewClipLight(const QString &name, const QString &toolTip)
{
    auto *light = new QLabel(QObject::tr(" CLIP "));
    light->setObjectName(name);
    light->setToolTip(toolTip);
    light->setEnabled(false);
    return light;
}

// Shows the peak taken from the audio thread, and keeps the clip light on
// for a second after each clip.
void ShowLevel(std::atomic<float> &peak, std::atomic<bool> &clipped, QProgressBar *meter, QLabel *light, int &hold)
{
    const float value = peak.exchange(0.0f);
    const double db = value > 0 ? 20 * std::log10(value) : MeterFloorDB;
    meter->setValue(static_cast<int>(std::clamp(db, double(MeterFloorDB), 0.0)));
    if (clipped.exchange(false))
        hold = MeterTicksPerSecond;
    else if (hold > 0)
        --hold;
    light->setEnabled(hold > 0);
    light->setStyleSheet(hold > 0 ? QStringLiteral("background: red; color: white;") : QString());
}

std::vector<std::string> StdList(const QStringList &list)
{
    std::vector<std::string> result;
    for (const QString &item : list)
        result.push_back(item.toStdString());
    return result;
}

QStringList QtList(const std::vector<std::string> &list)
{
    QStringList result;
    for (const std::string &item : list)
        result << QString::fromStdString(item);
    return result;
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
    FPlay->setToolTip(tr("Play the source through the tone stack (Space where no button or text field has "
                         "the focus)"));
    connect(FPlay, &QAction::triggered, this, &TListenBar::PlayTriggered);
    // Space belongs to the focused button, box or text field first.
    qApp->installEventFilter(this);
    QWidget *playButton = widgetForAction(FPlay);
    playButton->setFocusPolicy(Qt::TabFocus);
    // As wide as its longer caption, so that the bar does not move when
    // Play becomes Stop.
    playButton->setMinimumWidth(playButton->sizeHint().width() +
                                std::max(0, playButton->fontMetrics().horizontalAdvance(tr("Stop")) -
                                                playButton->fontMetrics().horizontalAdvance(tr("Play"))));

    FSource = new QComboBox;
    FSource->setObjectName(QStringLiteral("cbListenSource"));
    FSource->addItems({tr("Guitar"), tr("Pink noise"), tr("Live input"), tr("Audio file...")});
    FSource->setItemData(LiveItem, tr("Your instrument, played through the stack as you play"), Qt::ToolTipRole);
    FSource->setToolTip(tr("What is played through the stack"));
    FSource->setFocusPolicy(Qt::TabFocus);
    FSource->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(FSource, &QComboBox::activated, this, &TListenBar::SourceActivated);
    addWidget(FSource);

    FTrimLabelAction = addWidget(new QLabel(tr("Trim")));
    FTrimText = new QLabel;
    FTrim = NewDecibelSlider(QStringLiteral("tbListenTrim"), TrimLowestDB, TrimHighestDB, 56, FTrimText);
    FTrim->setToolTip(tr("Gain of the live input before the stack"));
    connect(FTrim, &QSlider::valueChanged, this,
            [this](int db) { FPlayer.Controls().InputTrim.store(DecibelFactor(db)); });
    FTrimAction = addWidget(FTrim);
    FTrimTextAction = addWidget(FTrimText);
    FInputMeter = NewMeter(QStringLiteral("pbListenInputMeter"), 48, tr("Live input level after the trim, 0 dB at full scale"));
    FInputMeterAction = addWidget(FInputMeter);
    FInputClip = NewClipLight(QStringLiteral("labListenInputClip"),
                              tr("Lights when the input reached full scale: turn the trim or the interface's gain down"));
    FInputClipAction = addWidget(FInputClip);
    FPorts = new QToolButton;
    FPorts->setObjectName(QStringLiteral("tbListenPorts"));
    FPorts->setText(tr("Ports"));
    FPorts->setToolTip(tr("The JACK ports the live input comes from and the sound goes to"));
    FPorts->setPopupMode(QToolButton::InstantPopup);
    FPorts->setFocusPolicy(Qt::TabFocus);
    FPorts->setMenu(new QMenu(FPorts));
    connect(FPorts->menu(), &QMenu::aboutToShow, this, &TListenBar::FillPortsMenu);
    FPortsAction = addWidget(FPorts);
    FJackText = new QLabel;
    FJackText->setObjectName(QStringLiteral("labListenJack"));
    FJackTextAction = addWidget(FJackText);

    FLoop = new QCheckBox(tr("Loop"));
    FLoop->setObjectName(QStringLiteral("cbListenLoop"));
    FLoop->setChecked(true);
    FLoop->setEnabled(false); // the guitar plays first
    FLoop->setFocusPolicy(Qt::TabFocus);
    FLoop->setToolTip(tr("Start an audio file again when it ends"));
    connect(FLoop, &QCheckBox::toggled, this, [this](bool loop) { FPlayer.Controls().Loop.store(loop); });
    FLoopAction = addWidget(FLoop);

    FBypass = addAction(tr("A/B"));
    FBypass->setObjectName(QStringLiteral("actListenBypass"));
    FBypass->setCheckable(true);
    FBypass->setToolTip(tr("Bypass the tone stack, at the stack's average loudness"));
    connect(FBypass, &QAction::toggled, this, [this](bool bypass) { FPlayer.Controls().Bypass.store(bypass); });
    widgetForAction(FBypass)->setFocusPolicy(Qt::TabFocus);

    addWidget(new QLabel(tr(" Level ")));
    FLevelText = new QLabel;
    FLevel = NewDecibelSlider(QStringLiteral("tbListenLevel"), LevelLowestDB, LevelHighestDB, 90, FLevelText);
    connect(FLevel, &QSlider::valueChanged, this, [this](int db) { FPlayer.Controls().Level.store(DecibelFactor(db)); });
    addWidget(FLevel);
    addWidget(FLevelText);

    FMeter = NewMeter(QStringLiteral("pbListenMeter"), 70, tr("Output level, 0 dB at full scale"));
    addWidget(FMeter);
    FClip = NewClipLight(QStringLiteral("labListenClip"), tr("Lights when the output reached full scale: turn the level down"));
    addWidget(FClip);

    FMeterTimer = new QTimer(this);
    FMeterTimer->setInterval(1000 / MeterTicksPerSecond);
    connect(FMeterTimer, &QTimer::timeout, this, &TListenBar::PollMeter);
    FReadingTimer = new QTimer(this);
    FReadingTimer->setInterval(ReadingPollMs);
    connect(FReadingTimer, &QTimer::timeout, this, &TListenBar::PollReading);

    connect(&FPlayer, &TAudioPlayer::OutputChanged, this, &TListenBar::OutputChanged);
    connect(&FPlayer, &TAudioPlayer::FormatChanged, this, &TListenBar::FormatChanged);
    connect(&FPlayer, &TAudioPlayer::OutputLost, this, [this](const QString &message) {
        StopPlaying();
        emit Message(message);
    });
    OutputChanged();
}

bool TListenBar::eventFilter(QObject *watched, QEvent *event)
{
    // Accepting the override hands Space to the widget instead of Play.
    if (event->type() == QEvent::ShortcutOverride && watched == QApplication::focusWidget()) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier && TakesSpace(watched))
            event->accept();
    }
    return QToolBar::eventFilter(watched, event);
}

bool TListenBar::TakesSpace(const QObject *widget)
{
    return qobject_cast<const QAbstractButton *>(widget) || qobject_cast<const QComboBox *>(widget) ||
           qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QAbstractSpinBox *>(widget) ||
           qobject_cast<const QAbstractItemView *>(widget) || qobject_cast<const QTextEdit *>(widget) ||
           qobject_cast<const QPlainTextEdit *>(widget);
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
    // The reason the circuit before could not be heard is no longer true.
    if (FNetlist && std::exchange(FSilenceTold, false))
        emit Message(QString());
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
        FSilenceTold = true;
    }
}

void TListenBar::PlayTriggered(bool play)
{
    if (!play) {
        FPlayer.Stop();
        StopPlaying();
        return;
    }
    ForgetEndMessage();
    SendFilter();
    if (!FPlayer.Play()) {
        FPlay->setChecked(false);
        emit Message(FPlayer.Problem());
        return;
    }
    FPlay->setText(tr("Stop"));
    FMeterTimer->start();
}

void TListenBar::StopPlaying()
{
    FMeterTimer->stop();
    FMeter->setValue(MeterFloorDB);
    FInputMeter->setValue(MeterFloorDB);
    FPlay->setChecked(false);
    FPlay->setText(tr("Play"));
}

void TListenBar::OutputChanged()
{
    const bool jack = FPlayer.Jack() != nullptr;
    auto *model = qobject_cast<QStandardItemModel *>(FSource->model());
    model->item(LiveItem)->setEnabled(jack);
    model->item(LiveItem)->setToolTip(jack ? tr("Your instrument, played through the stack as you play")
                                           : TAudioPlayer::LiveProblem());
    FPlay->setEnabled(FPlayer.Available());
    FPlay->setToolTip(FPlayer.Available() ? tr("Play the source through the tone stack (Space)") : FPlayer.Problem());
    if (jack)
        ConnectSavedPorts();
    // Without a server there is no live input; every source is made for the output's rate.
    if (FShownSource == LiveItem && !jack) {
        FShownSource = GuitarItem;
        FSource->setCurrentIndex(GuitarItem);
    }
    if (FPlayer.Available())
        UseSource(FShownSource);
    ShowLiveWidgets();
    ShowJackFormat();
}

void TListenBar::FormatChanged()
{
    // A new block size changes nothing that plays; a new rate needs the
    // source and, while playing, the filter made again (else Play does).
    if (FPlayer.SampleRate() != FSourceRate) {
        UseSource(FShownSource);
        if (FPlayer.Playing())
            SendFilter();
    }
    ShowJackFormat();
    emit Message(FJackText->toolTip());
}

void TListenBar::ShowJackFormat()
{
    const TJackClient *jack = FPlayer.Jack();
    FJackTextAction->setVisible(jack != nullptr);
    if (!jack)
        return;
    const double rate = jack->SampleRate();
    const int frames = jack->BlockFrames();
    const QString server = QString::fromStdString(jack->ServerName());
    FJackText->setText(tr(" JACK %1 kHz, %2 ").arg(QLocale().toString(rate / 1000, 'g', 4)).arg(frames));
    FJackText->setToolTip(tr("Listening through the JACK server \"%1\" at %2 Hz, %3 frames a cycle (%4 ms)")
                              .arg(server)
                              .arg(QLocale().toString(rate, 'f', 0))
                              .arg(frames)
                              .arg(QLocale().toString(1000.0 * frames / rate, 'f', 2)));
}

void TListenBar::ShowLiveWidgets()
{
    const bool live = FShownSource == LiveItem;
    for (QAction *action : {FTrimLabelAction, FTrimAction, FTrimTextAction, FInputMeterAction, FInputClipAction})
        action->setVisible(live);
    FPortsAction->setVisible(FPlayer.Jack() != nullptr);
    // Only a file comes to an end; the room goes to the live input's controls.
    FLoopAction->setVisible(FShownSource == FileItem);
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
    FReadingRate = FPlayer.SampleRate();
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
        FRecordingRate = FReadingRate;
        UseRecording(FReadingPath);
    }
}

void TListenBar::UseRecording(const QString &path)
{
    // A long name is shortened in the middle; the tooltip holds the path.
    const QString name = FSource->fontMetrics().elidedText(QFileInfo(path).fileName(), Qt::ElideMiddle,
                                                           FSource->fontMetrics().averageCharWidth() * 32);
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
    // The guitar and the noise never end, so only a file can loop.
    FLoop->setEnabled(index == FileItem);
    ForgetEndMessage();
    const double rate = FPlayer.SampleRate();
    FSourceRate = rate;
    std::unique_ptr<TSignalSource> source;
    if (index == GuitarItem)
        source = std::make_unique<TPluckedGuitar>(rate);
    else if (index == PinkNoiseItem)
        source = std::make_unique<TPinkNoise>();
    else if (index == LiveItem)
        source = FPlayer.MakeLiveInput();
    else {
        // Read for another output (a JACK server came or went since).
        if (FRecordingRate != rate) {
            FRecording = Resample(FRecording, FRecordingRate, rate);
            FRecordingRate = rate;
        }
        source = std::make_unique<TRecordingSource>(FRecording);
    }
    FPlayer.SetSource(std::move(source));
    ShowLiveWidgets();
}

void TListenBar::PollMeter()
{
    TListenControls &controls = FPlayer.Controls();
    ShowLevel(controls.Peak, controls.Clipped, FMeter, FClip, FClipHold);
    ShowLevel(controls.InputPeak, controls.InputClipped, FInputMeter, FInputClip, FInputClipHold);
    if (controls.RanAway.exchange(false))
        emit Message(tr("Listening is muted: the filtered sound ran away (a sample not finite or far beyond full "
                        "scale). It plays again with the next change of the circuit."));
    if (controls.SourceEnded.exchange(false) && FPlay->isChecked()) {
        FPlayer.Stop();
        StopPlaying();
        emit Message(tr("The audio file has played to its end."));
        FEndTold = true;
    }
}

void TListenBar::FillPortsMenu()
{
    QMenu *menu = FPorts->menu();
    menu->clear();
    TJackClient *jack = FPlayer.Jack();
    if (!jack)
        return;
    const QStringList inputs = QtList(jack->InputConnections());
    const QStringList outputs = QtList(jack->OutputConnections());
    menu->addSection(tr("Live input from"));
    auto *inputGroup = new QActionGroup(menu);
    for (const QString &port : QtList(jack->CaptureSources())) {
        QAction *action = menu->addAction(port);
        action->setCheckable(true);
        action->setChecked(inputs.contains(port));
        inputGroup->addAction(action);
        connect(action, &QAction::triggered, this, [this, port, outputs] { ConnectPorts({port}, outputs); });
    }
    menu->addSection(tr("Sound to"));
    for (const QString &port : QtList(jack->PlaybackTargets())) {
        QAction *action = menu->addAction(port);
        action->setCheckable(true);
        action->setChecked(outputs.contains(port));
        connect(action, &QAction::triggered, this, [this, port, inputs, outputs](bool on) {
            QStringList chosen = outputs;
            if (on)
                chosen << port;
            else
                chosen.removeAll(port);
            ConnectPorts(inputs, chosen);
        });
    }
}

void TListenBar::ConnectPorts(const QStringList &inputs, const QStringList &outputs)
{
    TJackClient *jack = FPlayer.Jack();
    if (!jack)
        return;
    try {
        jack->ConnectInput(StdList(inputs));
        jack->ConnectOutput(StdList(outputs));
    } catch (const CorvantaError &error) {
        emit Message(QString::fromStdString(error.what()));
        return;
    }
    QSettings settings;
    settings.setValue(InputPortsKey, inputs);
    settings.setValue(OutputPortsKey, outputs);
}

// The ports chosen last time where they are still there, else the first physical ones.
void TListenBar::ConnectSavedPorts()
{
    TJackClient *jack = FPlayer.Jack();
    const auto present = [](const QVariant &saved, const std::vector<std::string> &available,
                            const std::vector<std::string> &fallback) {
        std::vector<std::string> chosen;
        for (const QString &port : saved.toStringList())
            if (std::find(available.begin(), available.end(), port.toStdString()) != available.end())
                chosen.push_back(port.toStdString());
        return saved.isValid() && !chosen.empty() ? chosen : fallback;
    };
    const QSettings settings;
    try {
        jack->ConnectInput(present(settings.value(InputPortsKey), jack->CaptureSources(), jack->DefaultCapture()));
        jack->ConnectOutput(present(settings.value(OutputPortsKey), jack->PlaybackTargets(), jack->DefaultPlayback()));
    } catch (const CorvantaError &error) {
        emit Message(QString::fromStdString(error.what()));
    }
}

void TListenBar::ForgetEndMessage()
{
    if (std::exchange(FEndTold, false))
        emit Message(QString());
}

} // namespace cva
