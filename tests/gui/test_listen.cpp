// The Listen bar in the real main window, against a real audio server: a
// PulseAudio daemon started by the test without any sound card, with a null
// sink that consumes samples at the real rate. A few seconds of Play must
// deliver every sample on time (no underrun) while the sliders move, a file
// that cannot be played must be refused without changing anything, and a
// long one is read without holding up the window.
//
// A sound card that goes away while playing stops listening with a message
// and disables Play; one that appears makes Play work again.
//
// Built a second time as test_listen_nodevice with the server unreachable:
// then Play is disabled and the status bar says why.

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProgressBar>
#include <QProgressDialog>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QThread>

#include "AudioTestFiles.h"
#include "TestWindow.h"
#include "app/ListenBar.h"
#include "document/ComponentSetting.h"

using namespace cva;

namespace {

// The daemon lives for the whole run: the audio backend connects once per process.
struct TTestServer {
    QTemporaryDir Dir;
    QProcess Daemon;
    QString Problem;

    bool Start()
    {
        const QString socket = Dir.filePath("native");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", Dir.path());
        environment.insert("PULSE_RUNTIME_PATH", Dir.filePath("runtime"));
        Daemon.setProcessEnvironment(environment);
        Daemon.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        Daemon.start("pulseaudio", {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                                    "--log-level=error", "--load=module-null-sink sink_name=corvanta_test",
                                    "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket});
        if (!Daemon.waitForStarted(5000)) {
            Problem = "pulseaudio cannot be started: " + Daemon.errorString();
            return false;
        }
        for (int wait = 0; wait < 100 && !QFile::exists(socket); ++wait)
            QThread::msleep(50);
        if (!QFile::exists(socket)) {
            Problem = "pulseaudio did not open its socket";
            return false;
        }
        qputenv("PULSE_SERVER", ("unix:" + socket).toLocal8Bit());
        return true;
    }
    ~TTestServer()
    {
        Daemon.terminate();
        if (!Daemon.waitForFinished(3000))
            Daemon.kill();
    }
};

} // namespace

class TestListen : public QObject {
    Q_OBJECT

private slots:
    void PlayGoesOnWhileTheFilterChanges();
    void UnreadableFileChangesNothing();
    void FilesAreReadBesideTheWindowAndCanBeCancelled();
    void ACircuitThatIsNotPassiveIsSilent();
    void PlayFollowsTheSoundCard();
    void NoDeviceDisablesPlay();
};

void TestListen::PlayGoesOnWhileTheFilterChanges()
{
#ifdef CORVANTA_TEST_NO_DEVICE
    QSKIP("built without an audio server");
#endif
    test::TTestWindow window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    TListenBar *bar = window.ListenBar();
    TAudioPlayer &player = bar->Player();
    QVERIFY2(player.Available(), qPrintable(player.Problem()));
    QVERIFY(bar->PlayAction()->isEnabled());

    QTest::keyClick(&window, Qt::Key_Space);
    QVERIFY2(player.Playing(), qPrintable(player.Problem()));
    QCOMPARE(bar->PlayAction()->text(), QString("Stop"));
    // A null sink that was idle wakes up only after its longest latency
    // (up to two seconds); from then on it consumes at the real rate.
    QTRY_VERIFY_WITH_TIMEOUT(player.FramesDelivered() > player.SampleRate() / 10, 5000);
    const long long framesBefore = player.FramesDelivered();
    QElapsedTimer clock;
    clock.start();
    // The guitar rests between phrases, so the meter is read all along.
    int loudest = bar->Meter()->minimum();
    for (int tenth = 0; tenth < 30; ++tenth) {
        // The bass swept end to end while playing: every move is a new filter.
        window.Slider(BuiltInControl::Bass)->setValue(tenth % 2 == 0 ? 0 : 100);
        QTest::qWait(100);
        loudest = std::max(loudest, bar->Meter()->value());
    }
    // The device went on asking while every move made a new filter. How
    // many it asked for in the time, and whether it ever ran dry, depends on
    // how busy the machine is: that is for the audio benchmark, not a test.
    QVERIFY2(player.FramesDelivered() - framesBefore > player.SampleRate() / 2,
             qPrintable(QString("%1 frames in %2 ms").arg(player.FramesDelivered() - framesBefore).arg(clock.elapsed())));
    QVERIFY(loudest > bar->Meter()->minimum());

    QTest::keyClick(&window, Qt::Key_Space);
    QVERIFY(!player.Playing());
    const long long stopped = player.FramesDelivered();
    QTest::qWait(200);
    QCOMPARE(player.FramesDelivered(), stopped);
}

void TestListen::UnreadableFileChangesNothing()
{
    test::TTestWindow window;
    TListenBar *bar = window.ListenBar();
    QTemporaryDir dir;
    const QString path = dir.filePath("notes.wav");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("these are not samples");
    file.close();
    bar->SourceBox()->setCurrentIndex(TListenBar::PinkNoiseItem);
    emit bar->SourceBox()->activated(TListenBar::PinkNoiseItem);
    QVERIFY(!bar->OpenAudioFile(path));
    QCOMPARE(window.Errors.size(), 1);
    QVERIFY2(window.Errors.front().contains(path), qPrintable(window.Errors.front()));
    QCOMPARE(bar->SourceBox()->currentIndex(), int(TListenBar::PinkNoiseItem));
    QCOMPARE(bar->SourceBox()->count(), int(TListenBar::FileItem));

    // A named pipe whose writer never ends is refused before it is opened.
    const QString pipe = dir.filePath("pipe.wav");
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const int writer = ::open(QFile::encodeName(pipe).constData(), O_RDWR);
    ::alarm(30); // a wait ends the test instead of hanging it
    QVERIFY(!bar->OpenAudioFile(pipe));
    ::alarm(0);
    ::close(writer);
    QCOMPARE(window.Errors.size(), 2);
    QCOMPARE(window.Errors.back(), QStringLiteral("Cannot read audio file \"%1\". not a regular file").arg(pipe));
    QCOMPARE(bar->SourceBox()->count(), int(TListenBar::FileItem));
}

void TestListen::FilesAreReadBesideTheWindowAndCanBeCancelled()
{
    test::TTestWindow window;
    TListenBar *bar = window.ListenBar();
    QTemporaryDir dir;
    auto write = [&dir](const QString &name, std::uint32_t rate, std::uint32_t frames) {
        QFile file(dir.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(QByteArray::fromStdString(test::PcmWavHeader(rate, frames)));
        file.resize(44 + 2 * qint64(frames));
        return file.fileName();
    };
    // Ten minutes at 8 kHz take seconds to resample, which the window no
    // longer waits for: it returns at once, and Cancel keeps the source.
    QVERIFY(bar->OpenAudioFile(write("long.wav", 8000, 8000 * 600)));
    QVERIFY(bar->ReadingProgress());
    QCOMPARE(bar->SourceBox()->count(), int(TListenBar::FileItem));
    bar->ReadingProgress()->cancel();
    QTRY_VERIFY(window.statusBar()->currentMessage().contains("cancelled"));
    QCOMPARE(bar->SourceBox()->count(), int(TListenBar::FileItem));
    QVERIFY(window.Errors.isEmpty());

    QVERIFY(bar->OpenAudioFile(write("short.wav", 44100, 4410)));
    QTRY_COMPARE(bar->SourceBox()->currentIndex(), int(TListenBar::FileItem));
    QCOMPARE(bar->SourceBox()->currentText(), QString("short.wav"));
}

void TestListen::ACircuitThatIsNotPassiveIsSilent()
{
    test::TTestWindow window;
    TListenBar *bar = window.ListenBar();
    TCircuit circuit;
    ApplyComponentSetting(circuit, "FR2=-250k|1");
    bar->CircuitChanged(circuit);
    QVERIFY2(window.statusBar()->currentMessage().startsWith(
                 QString::fromUtf8("Listening is silent: FR2 on the Fender page is -250 k\u03a9: the circuit is not passive")),
             qPrintable(window.statusBar()->currentMessage()));
    const TStackFilterCoefficients *sent = bar->Player().Controls().Filter.TakeNew();
    QVERIFY(sent);
    QCOMPARE(sent->Order, 0);
    QCOMPARE(sent->D, 0.0);
    QCOMPARE(sent->AverageGain, 0.0);
}

void TestListen::PlayFollowsTheSoundCard()
{
#ifdef CORVANTA_TEST_NO_DEVICE
    QSKIP("built without an audio server");
#endif
    const auto pactl = [](const QStringList &arguments) {
        QProcess process;
        process.start("pactl", arguments);
        return process.waitForFinished(10000) && process.exitCode() == 0;
    };
    test::TTestWindow window;
    TListenBar *bar = window.ListenBar();
    TAudioPlayer &player = bar->Player();
    bar->PlayAction()->trigger();
    QVERIFY2(player.Playing(), qPrintable(player.Problem()));

    // The server's only sink, as a sound card that is unplugged.
    QVERIFY(pactl({"unload-module", "module-null-sink"}));
    QTRY_VERIFY_WITH_TIMEOUT(!player.Playing(), 10000);
    QCOMPARE(bar->PlayAction()->text(), QString("Play"));
    QVERIFY(!bar->PlayAction()->isChecked());
    QVERIFY2(window.statusBar()->currentMessage().contains("went away"), qPrintable(window.statusBar()->currentMessage()));
    QVERIFY(!bar->PlayAction()->isEnabled());
    QVERIFY(bar->PlayAction()->toolTip().contains("Play comes back"));

    QVERIFY(pactl({"load-module", "module-null-sink", "sink_name=corvanta_test"}));
    QTRY_VERIFY_WITH_TIMEOUT(bar->PlayAction()->isEnabled(), 10000);
    bar->PlayAction()->trigger();
    QVERIFY2(player.Playing(), qPrintable(player.Problem()));
    QTRY_VERIFY_WITH_TIMEOUT(player.FramesDelivered() > player.SampleRate() / 10, 5000);
    bar->PlayAction()->trigger();
    QVERIFY(!player.Playing());
}

void TestListen::NoDeviceDisablesPlay()
{
#ifndef CORVANTA_TEST_NO_DEVICE
    QSKIP("built with an audio server");
#else
    test::TTestWindow window;
    TListenBar *bar = window.ListenBar();
    QVERIFY(!bar->Player().Available());
    QVERIFY(!bar->PlayAction()->isEnabled());
    QVERIFY(window.statusBar()->currentMessage().contains("audio"));
    QTest::keyClick(&window, Qt::Key_Space);
    QVERIFY(!bar->Player().Playing());
    // Nor is there a JACK server for the live input, and the bar says so.
    const auto *sources = qobject_cast<QStandardItemModel *>(bar->SourceBox()->model());
    QVERIFY(!sources->item(TListenBar::LiveItem)->isEnabled());
    QVERIFY(sources->item(TListenBar::LiveItem)->toolTip().contains("No JACK server"));
    // Everything else works.
    window.Slider(BuiltInControl::Treble)->setValue(80);
    QCOMPARE(window.Doc().Circuit().Position(BuiltInControl::Treble), 80);
#endif
}

int main(int argc, char **argv)
{
    TTestServer server;
#ifndef CORVANTA_TEST_NO_DEVICE
    if (!server.Start()) {
        qWarning("%s", qPrintable(server.Problem));
        return 1;
    }
#else
    qputenv("PULSE_SERVER", "unix:/nonexistent/corvanta-test");
#endif
    QApplication application(argc, argv);
    TestListen test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_listen.moc"
