// The About box: its texts, its icon and the two links handed to the
// browser; and the application's names, which leave every caption as it is.

#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include "app/AboutDialog.h"
#include "app/ApplicationSetup.h"

using namespace cva;

class AboutTest : public QObject {
    Q_OBJECT

private slots:
    void showsTheProductNoticeAndIcon()
    {
        TdlgAbout about;
        QCOMPARE(about.windowTitle(), QString("About..."));
        QCOMPARE(about.findChild<QLabel *>("Label1")->text(), QString("Corvanta"));
        QVERIFY(about.findChild<QLabel *>("Label2")->text().contains("Corvanta developers"));
        QVERIFY(!about.findChild<QLabel *>("Image2")->pixmap().isNull());
        QCOMPARE(about.CloseButton()->text(), QString("Close"));
        QCOMPARE(about.WebSiteLink()->toolTip(), QString("Click to go to the Corvanta web site"));
        QVERIFY(about.WebSiteLink()->text().contains(TdlgAbout::WebSite.toString()));
        QCOMPARE(TdlgAbout::WebSite.host(), QString("corvanta.example.org"));
    }

    void linksOpenTheShownAddressAndTheCreditAddress()
    {
        TdlgAbout about;
        QList<QUrl> opened;
        about.OpenUrl = [&opened](const QUrl &url) {
            opened << url;
            return false; // no browser: nothing is reported
        };
        emit about.WebSiteLink()->linkActivated(TdlgAbout::WebSite.toString());
        emit about.Credits()->linkActivated(TdlgAbout::CreditAddress.toString());
        QCOMPARE(opened, (QList<QUrl>{TdlgAbout::WebSite, TdlgAbout::CreditAddress}));
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void captionsAreTheWindowsOwn()
    {
        // With no display name set, the toolkit has nothing to append to a
        // caption: the display name follows the application name.
        SetUpApplication();
        QCOMPARE(QCoreApplication::applicationName(), QString("Corvanta"));
        QCoreApplication::setApplicationName("probe");
        QCOMPARE(QGuiApplication::applicationDisplayName(), QString("probe"));
        QCoreApplication::setApplicationName("Corvanta");
    }

    void closeEndsTheDialog()
    {
        TdlgAbout about;
        QTimer::singleShot(0, about.CloseButton(), &QPushButton::click);
        QCOMPARE(about.exec(), int(QDialog::Rejected));
    }

    // A named pipe in place of the settings file would hold the program
    // before its window appears: it is left alone, with a word to the user,
    // and the settings of the run are kept elsewhere.
    void aSettingsFileThatIsAPipeIsLeftAlone()
    {
        QStandardPaths::setTestModeEnabled(true); // never the user's own settings
        const QString folder =
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Corvanta");
        QVERIFY(QDir().mkpath(folder));
        const QByteArray file = QFile::encodeName(folder + QStringLiteral("/Corvanta.conf"));
        QCOMPARE(::mkfifo(file.constData(), 0600), 0);
        ::alarm(30); // a wait ends the test instead of hanging it
        const QString warning = SetUpApplication();
        QSettings().setValue("probe", 1);
        QCOMPARE(QSettings().value("probe").toInt(), 1);
        ::alarm(0);
        QVERIFY2(warning.contains(QStringLiteral("\"%1\" is not a regular file").arg(QFile::decodeName(file))),
                 qPrintable(warning));
        QVERIFY(QFileInfo(QFile::decodeName(file)).exists() && !QFileInfo(QFile::decodeName(file)).isFile());
        QVERIFY(QFile::remove(QFile::decodeName(file)));
    }
};

QTEST_MAIN(AboutTest)
#include "test_about.moc"
