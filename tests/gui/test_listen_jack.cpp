// The Listen bar with a JACK server the test starts itself (dummy backend,
// no sound card): the live input is offered, connected to the ports chosen
// last time, heard through the stack and metered; a server that goes away
// stops listening with a message and takes the live input with it (and
// Play, with no other output, saying why), and one that appears again plays. The Ports menu connects what is chosen and
// remembers it, and the bar shows the server's rate and block size, also
// after the server changed it.

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QProgressBar>
#include <QSettings>
#include <QSlider>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QToolButton>

#include <algorithm>
#include <memory>

#include "JackTestRig.h"
#include "TestWindow.h"
#include "app/ListenBar.h"
#include "audio/JackClient.h"

using namespace cva;

class TestListenJack : public QObject {
    Q_OBJECT

private slots:
    void LiveInputThroughTheServer();
};

void TestListenJack::LiveInputThroughTheServer()
{
    auto server = std::make_unique<test::TJackTestServer>(64, test::TJackTestServer::Synchronous);
    QVERIFY2(server->Problem().empty(), server->Problem().c_str());
    QSettings().setValue("Listen/InputPorts", QStringList{"system:capture_2"});
    QSettings().remove("Listen/OutputPorts");

    test::TTestWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    TListenBar *bar = window.ListenBar();
    TJackClient *jack = bar->Player().Jack();
    QVERIFY(jack);
    QCOMPARE(bar->Player().SampleRate(), 48000.0);
    // The saved input where it still exists; the first two physical outputs by default.
    QCOMPARE(jack->InputConnections(), std::vector<std::string>{"system:capture_2"});
    std::vector<std::string> outputs = jack->OutputConnections();
    std::sort(outputs.begin(), outputs.end());
    QCOMPARE(outputs, (std::vector<std::string>{"system:playback_1", "system:playback_2"}));

    // The bar names the server, its rate and block size.
    QCOMPARE(bar->JackLabel()->text().trimmed(), QString("JACK 48 kHz, 64"));
    QVERIFY(bar->JackLabel()->toolTip().contains(QString::fromStdString(server->Name())));

    // Choosing in the Ports menu connects the ports and remembers them.
    QMenu *menu = bar->PortsButton()->menu();
    const auto portAction = [menu](const QString &port) -> QAction * {
        emit menu->aboutToShow();
        const QList<QAction *> actions = menu->actions();
        const auto found = std::find_if(actions.begin(), actions.end(), [&](QAction *a) { return a->text() == port; });
        return found == actions.end() ? nullptr : *found;
    };
    QAction *capture = portAction("system:capture_1");
    QVERIFY(capture && !capture->isChecked());
    capture->trigger();
    QCOMPARE(jack->InputConnections(), std::vector<std::string>{"system:capture_1"});
    QCOMPARE(QSettings().value("Listen/InputPorts").toStringList(), QStringList{"system:capture_1"});
    QVERIFY(portAction("system:capture_1")->isChecked());
    QAction *playback = portAction("system:playback_2");
    QVERIFY(playback && playback->isChecked());
    playback->trigger();
    QCOMPARE(jack->OutputConnections(), std::vector<std::string>{"system:playback_1"});
    QCOMPARE(QSettings().value("Listen/OutputPorts").toStringList(), QStringList{"system:playback_1"});
    portAction("system:playback_2")->trigger();
    QCOMPARE(jack->OutputConnections().size(), std::size_t(2));

    const auto *sources = qobject_cast<QStandardItemModel *>(bar->SourceBox()->model());
    QVERIFY(sources->item(TListenBar::LiveItem)->isEnabled());
    emit bar->SourceBox()->activated(TListenBar::LiveItem);
    QTRY_VERIFY(bar->TrimSlider()->isVisible());
    QVERIFY(bar->PortsButton()->isVisible());

    {
        // Noise into the live input and the stack's sound back, beside the sound card.
        test::TJackProbe probe(jack->Name() + ":in", jack->Name() + ":out");
        QTest::keyClick(&window, Qt::Key_Space);
        QVERIFY(bar->Player().Playing());
        const test::TProbeRecording recording = probe.Record(1 << 14);
        QCOMPARE(recording.Recorded.size(), std::size_t(1 << 14));
        QVERIFY(*std::max_element(recording.Recorded.begin(), recording.Recorded.end()) > 0.01f);
        QTRY_VERIFY(bar->InputMeter()->value() > -20);
        QTRY_VERIFY(bar->Meter()->value() > bar->Meter()->minimum());
        // Trimmed by 24 dB the input meter falls with it (the noise peaks near -6 dB).
        bar->TrimSlider()->setValue(-24);
        QTRY_VERIFY(bar->InputMeter()->value() < -25);

        // A new block size on the server is shown, and listening goes on.
        jack_client_t *other = jack_client_open("resizer", JackNoStartServer, nullptr);
        QVERIFY(other);
        QCOMPARE(jack_set_buffer_size(other, 256), 0);
        jack_client_close(other);
        QTRY_COMPARE(bar->JackLabel()->text().trimmed(), QString("JACK 48 kHz, 256"));
        QVERIFY(window.statusBar()->currentMessage().contains("256 frames"));
        QVERIFY(bar->Player().Playing());
        const test::TProbeRecording after = probe.Record(1 << 13);
        QCOMPARE(after.Recorded.size(), std::size_t(1 << 13));
        QVERIFY(*std::max_element(after.Recorded.begin(), after.Recorded.end()) > 0.001f);
    }

    server.reset();
    QTRY_VERIFY_WITH_TIMEOUT(!bar->Player().Jack(), 5000);
    QVERIFY(!bar->Player().Playing());
    QCOMPARE(bar->PlayAction()->text(), QString("Play"));
    QVERIFY(window.statusBar()->currentMessage().contains("JACK server went away"));
    QVERIFY(!sources->item(TListenBar::LiveItem)->isEnabled());
    QVERIFY(bar->SourceBox()->currentIndex() != TListenBar::LiveItem);
    QVERIFY(!bar->PlayAction()->isEnabled());
    QVERIFY(bar->PlayAction()->toolTip().contains("Play comes back"));

    server = std::make_unique<test::TJackTestServer>(128, test::TJackTestServer::Synchronous);
    QVERIFY2(server->Problem().empty(), server->Problem().c_str());
    QTRY_VERIFY_WITH_TIMEOUT(bar->Player().Jack(), 5000);
    QVERIFY(sources->item(TListenBar::LiveItem)->isEnabled());
    QVERIFY(bar->PlayAction()->isEnabled());
    bar->PlayAction()->trigger();
    QVERIFY(bar->Player().Playing());
    QTRY_VERIFY_WITH_TIMEOUT(bar->Player().FramesDelivered() > 4096, 5000);
    bar->PlayAction()->trigger();
    QVERIFY(!bar->Player().Playing());
}

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    TestListenJack test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_listen_jack.moc"
