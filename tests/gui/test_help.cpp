// The help window on the real compiled help file, its failure warning, and
// the diagnostic log.

#include <memory>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QHelpContentWidget>
#include <QHelpIndexWidget>
#include <QHelpSearchQueryWidget>
#include <QHelpSearchResultWidget>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include "help/HelpLog.h"
#include "help/HelpSystem.h"

using namespace cva;

namespace {

const QString BuiltHelpFile = QStringLiteral(CORVANTA_TEST_QCH);

// Records the warning instead of showing a modal box.
class TTestHelp : public THelpSystem {
public:
    explicit TTestHelp(const QString &helpFile, const QString &programFolder = QString(),
                       const QStringList &arguments = {})
        : THelpSystem(helpFile, programFolder, arguments)
    {
    }

    QStringList Warnings;

protected:
    void ShowWarning(const QString &text) override { Warnings << text; }
};

QList<QWidget *> HelpWindows()
{
    QList<QWidget *> found;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String("windefault"))
            found << widget;
    return found;
}

QTextBrowser *TopicBrowser(QWidget *window)
{
    return window->findChild<QTextBrowser *>(QStringLiteral("helpBrowser"));
}

QString TopicFile(QWidget *window)
{
    return TopicBrowser(window)->source().fileName();
}

void WriteFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QStringList LogLines(const THelpLog &log)
{
    QFile file(log.FilePath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

} // namespace

class TestHelp : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void contextsOpenTheirTopics_data();
    void contextsOpenTheirTopics();
    void unknownContextsOpenTheContents_data();
    void unknownContextsOpenTheContents();
    void laterCallsReuseTheOneWindow();
    void unusableHelpFileWarnsAndOpensNothing_data();
    void unusableHelpFileWarnsAndOpensNothing();
    void helpInstalledLaterIsFoundOnTheNextCall();
    void contentsAndIndexAreFilled();
    void searchFindsTheOneTopicWithAWord();
    void oneClickOnAnEntryShowsItsPageWhole();
    void windowOpenedFromAModalDialogTakesInput();
    void dialogDestroyedWhileHelpIsOpen();
    void destroyingTheHelpSystemClosesTheWindow();
    void helpFileBesideTheProgramOrInstalled();

    void logIsOffUnlessAskedFor();
    void logSwitches_data();
    void logSwitches();
    void logStartsWithHeaderAndDeletesTheOldOne();
    void logFolderFallsBackToTemp();
    void logProbeLeavesAnExistingFileAlone();
    void everyHelpCallIsLogged();
};

void TestHelp::initTestCase()
{
    QVERIFY2(QFile::exists(BuiltHelpFile), qPrintable(BuiltHelpFile));
}

void TestHelp::cleanup()
{
    qDeleteAll(HelpWindows());
}

void TestHelp::contextsOpenTheirTopics_data()
{
    QTest::addColumn<int>("context");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("title");
    QTest::newRow("1 contents") << 1 << "index.html" << "Corvanta help";
    QTest::newRow("3 schematic pages") << 3 << "schematic.html" << "The schematic pages and controls";
    QTest::newRow("20 resistor") << 20 << "resistor.html" << "Editing a resistor";
    QTest::newRow("21 generator") << 21 << "generator.html" << "Editing the source impedance";
    QTest::newRow("22 capacitor") << 22 << "capacitor.html" << "Editing a capacitor";
    QTest::newRow("23 potentiometer") << 23 << "potentiometer.html" << "Editing a potentiometer";
}

void TestHelp::contextsOpenTheirTopics()
{
    QFETCH(int, context);
    QFETCH(QString, file);
    QFETCH(QString, title);
    TTestHelp help(BuiltHelpFile);

    QVERIFY(help.ShowContext(context));

    QCOMPARE(HelpWindows().size(), 1);
    QWidget *window = HelpWindows().first();
    QCOMPARE(window, help.Window());
    QVERIFY(window->isVisible());
    // Help left open does not keep the program running.
    QVERIFY(!window->testAttribute(Qt::WA_QuitOnClose));
    QCOMPARE(TopicBrowser(window)->source().scheme(), QStringLiteral("qthelp"));
    QCOMPARE(TopicFile(window), file);
    QCOMPARE(TopicBrowser(window)->documentTitle(), title);
    QVERIFY(TopicBrowser(window)->toPlainText().contains(title));
    QVERIFY(help.Warnings.isEmpty());
}

void TestHelp::unknownContextsOpenTheContents_data()
{
    QTest::addColumn<int>("context");
    QTest::newRow("0") << 0;
    QTest::newRow("2") << 2;
    QTest::newRow("24") << 24;
    QTest::newRow("negative") << -1;
}

void TestHelp::unknownContextsOpenTheContents()
{
    QFETCH(int, context);
    TTestHelp help(BuiltHelpFile);

    QVERIFY(help.ShowContext(context));

    QCOMPARE(TopicFile(help.Window()), QStringLiteral("index.html"));
    QVERIFY(help.Warnings.isEmpty());
}

void TestHelp::laterCallsReuseTheOneWindow()
{
    TTestHelp help(BuiltHelpFile);
    QVERIFY(help.ShowContext(1));
    QWidget *first = help.Window();
    first->hide();

    QVERIFY(help.ShowContext(22));

    QCOMPARE(HelpWindows(), QList<QWidget *>{first});
    QVERIFY(first->isVisible());
    QCOMPARE(TopicFile(first), QStringLiteral("capacitor.html"));
}

void TestHelp::unusableHelpFileWarnsAndOpensNothing_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("create");
    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("not a database") << QByteArray(4096, 'x') << true;
    // A database header with nothing sensible behind it.
    QTest::newRow("damaged database") << QByteArray("SQLite format 3\0", 16) + QByteArray(8192, '\xff') << true;
}

void TestHelp::unusableHelpFileWarnsAndOpensNothing()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, create);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("help/cva13.qch"));
    if (create) {
        QDir(folder.path()).mkdir(QStringLiteral("help"));
        WriteFile(path, content);
    }
    TTestHelp help(path);

    QVERIFY(!help.ShowContext(1));
    QVERIFY(!help.ShowContext(20));

    QCOMPARE(help.Warnings, QStringList(2, QStringLiteral("Help is not installed on this PC.")));
    QVERIFY(help.Window() == nullptr);
    QVERIFY(HelpWindows().isEmpty());
    // The damaged file is left as it was.
    if (create)
        QCOMPARE(QFileInfo(path).size(), qint64(content.size()));
}

void TestHelp::helpInstalledLaterIsFoundOnTheNextCall()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("cva13.qch"));
    WriteFile(path, QByteArray());
    TTestHelp help(path);
    QVERIFY(!help.ShowContext(3));

    QVERIFY(QFile::remove(path));
    QVERIFY(QFile::copy(BuiltHelpFile, path));
    QVERIFY(help.ShowContext(3));

    QCOMPARE(help.Warnings.size(), 1);
    QCOMPARE(TopicFile(help.Window()), QStringLiteral("schematic.html"));
}

void TestHelp::contentsAndIndexAreFilled()
{
    TTestHelp help(BuiltHelpFile);
    QVERIFY(help.ShowContext(1));
    auto *contents = help.Window()->findChild<QHelpContentWidget *>();
    auto *index = help.Window()->findChild<QHelpIndexWidget *>();
    QVERIFY(contents && index);

    // Both are filled in the background.
    QTRY_VERIFY(contents->model()->rowCount() == 1);
    const QModelIndex top = contents->model()->index(0, 0);
    QCOMPARE(top.data().toString(), QStringLiteral("Corvanta help"));
    QCOMPARE(contents->model()->rowCount(top), 11);

    QTRY_VERIFY(index->model()->rowCount() > 40);
    QStringList keywords;
    for (int row = 0; row < index->model()->rowCount(); ++row)
        keywords << index->model()->index(row, 0).data().toString();
    QVERIFY(keywords.contains(QStringLiteral("Auto Y scale")));
    QVERIFY(keywords.contains(QStringLiteral("corvanta-cli")));
    // Context numbers are for the program, not for the reader.
    QVERIFY(!keywords.contains(QStringLiteral("context-1")));
    QVERIFY(!keywords.contains(QString()));

    // Choosing an entry shows its topic.
    index->setCurrentIndex(index->model()->index(keywords.indexOf(QStringLiteral("Auto Y scale")), 0));
    index->activateCurrentItem();
    QCOMPARE(TopicFile(help.Window()), QStringLiteral("plot.html"));
}

void TestHelp::oneClickOnAnEntryShowsItsPageWhole()
{
    TTestHelp help(BuiltHelpFile);
    QVERIFY(help.ShowContext(1));
    QVERIFY(QTest::qWaitForWindowExposed(help.Window()));
    auto *contents = help.Window()->findChild<QHelpContentWidget *>();
    QTRY_VERIFY(contents->model()->rowCount() == 1);
    QApplication::processEvents();
    const QModelIndex top = contents->model()->index(0, 0);
    QStringList shown;
    for (int row = 0; row < contents->model()->rowCount(top); ++row) {
        const QModelIndex entry = contents->model()->index(row, 0, top);
        // Each title is whole in the tree.
        const QRect place = contents->visualRect(entry);
        const int textWidth = contents->fontMetrics().horizontalAdvance(entry.data().toString());
        QVERIFY2(place.left() + textWidth <= contents->viewport()->width(), qPrintable(entry.data().toString()));
        QTest::mouseClick(contents->viewport(), Qt::LeftButton, {}, place.center());
        QCOMPARE(contents->currentIndex(), entry);
        shown << TopicFile(help.Window());
    }
    // Every click showed another page.
    shown.removeDuplicates();
    QCOMPARE(shown.size(), contents->model()->rowCount(top));
}

void TestHelp::searchFindsTheOneTopicWithAWord()
{
    TTestHelp help(BuiltHelpFile);
    QVERIFY(help.ShowContext(1));
    auto *tabs = help.Window()->findChild<QTabWidget *>(QStringLiteral("tabsNavigation"));
    auto *query = help.Window()->findChild<QHelpSearchQueryWidget *>();
    auto *results = help.Window()->findChild<QHelpSearchResultWidget *>();
    QVERIFY(tabs && query && results);
    QCOMPARE(tabs->tabText(2), QStringLiteral("Search"));
    tabs->setCurrentIndex(2);

    // Only the colour cycle names this colour.
    query->setSearchInput(QStringLiteral("fuchsia"));
    auto *input = query->findChild<QLineEdit *>();
    QVERIFY(input);
    QTest::keyClick(input, Qt::Key_Return);

    auto *list = results->findChild<QTextBrowser *>();
    QVERIFY(list);
    QTRY_VERIFY_WITH_TIMEOUT(list->toPlainText().contains(QStringLiteral("Snapshots, Clear, Sweep and colours")),
                             30000);
    for (const char *other : {"The plot", "Circuit files", "Corvanta help", "Engineering notation"})
        QVERIFY2(!list->toPlainText().contains(QLatin1String(other)), other);
}

void TestHelp::windowOpenedFromAModalDialogTakesInput()
{
    // F1 comes from inside a modal edit dialog; the help window must not be
    // one of the windows that the dialog blocks.
    auto dialog = std::make_unique<QDialog>();
    dialog->setModal(true);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    QCOMPARE(QApplication::activeModalWidget(), dialog.get());
    TTestHelp help(BuiltHelpFile);

    QVERIFY(help.ShowContext(20));
    QWidget *window = help.Window();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    auto *tabs = window->findChild<QTabWidget *>(QStringLiteral("tabsNavigation"));
    // Clicked through the window system, where blocked windows lose input.
    auto clickTab = [window, tabs](int tab) {
        QTabBar *bar = tabs->tabBar();
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                          bar->mapTo(window, bar->tabRect(tab).center()));
    };
    clickTab(1);
    QCOMPARE(tabs->currentIndex(), 1);

    // Once the dialog is closed the window stays open and usable, and it
    // outlives the dialog.
    dialog->hide();
    QVERIFY(window->isVisible());
    clickTab(0);
    QCOMPARE(tabs->currentIndex(), 0);
    QPointer<QWidget> kept = window;
    dialog.reset();
    QVERIFY(!kept.isNull());
    QVERIFY(help.ShowContext(21));
    QCOMPARE(help.Window(), window);
    QCOMPARE(TopicFile(window), QStringLiteral("generator.html"));
}

void TestHelp::dialogDestroyedWhileHelpIsOpen()
{
    auto dialog = std::make_unique<QDialog>();
    dialog->setModal(true);
    dialog->show();
    TTestHelp help(BuiltHelpFile);
    QVERIFY(help.ShowContext(23));

    dialog.reset();

    QVERIFY(help.ShowContext(22));
    QCOMPARE(HelpWindows().size(), 1);
    QCOMPARE(TopicFile(help.Window()), QStringLiteral("capacitor.html"));
}

void TestHelp::destroyingTheHelpSystemClosesTheWindow()
{
    auto help = std::make_unique<TTestHelp>(BuiltHelpFile);
    QVERIFY(help->ShowContext(1));
    QPointer<QWidget> window = help->Window();

    help.reset();

    QVERIFY(window.isNull());
}

void TestHelp::helpFileBesideTheProgramOrInstalled()
{
    QTemporaryDir root;
    QDir(root.path()).mkpath(QStringLiteral("bin"));
    QDir(root.path()).mkpath(QStringLiteral("share/corvanta/help"));
    const QString bin = root.filePath(QStringLiteral("bin"));
    const QString beside = root.filePath(QStringLiteral("bin/help/cva13.qch"));
    const QString installed = root.filePath(QStringLiteral("share/corvanta/help/cva13.qch"));

    QCOMPARE(THelpSystem::FindHelpFile(bin), beside);
    WriteFile(installed, "x");
    QCOMPARE(THelpSystem::FindHelpFile(bin), installed);
    QDir(bin).mkdir(QStringLiteral("help"));
    WriteFile(beside, "x");
    QCOMPARE(THelpSystem::FindHelpFile(bin), beside);
}

void TestHelp::logIsOffUnlessAskedFor()
{
    QTemporaryDir program;
    const THelpLog log(program.path(), {QStringLiteral("corvanta"), QStringLiteral("file.cva")}, BuiltHelpFile);
    log.Line(QStringLiteral("THookHelpSystem.HelpHook(HELP_CONTEXT, 1)"));

    QVERIFY(!log.Enabled());
    QVERIFY(!QFile::exists(log.FilePath()));
}

void TestHelp::logSwitches_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("switchFile");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("debug.debug") << QStringList{"corvanta"} << true << true;
    QTest::newRow("-debug") << QStringList{"corvanta", "-debug"} << false << true;
    QTest::newRow("/debug") << QStringList{"corvanta", "/debug"} << false << true;
    QTest::newRow("/DEBUG after a file") << QStringList{"corvanta", "a.cva", "/DEBUG"} << false << true;
    QTest::newRow("-Debug") << QStringList{"corvanta", "-Debug"} << false << true;
    QTest::newRow("--debug") << QStringList{"corvanta", "--debug"} << false << false;
    QTest::newRow("debug") << QStringList{"corvanta", "debug"} << false << false;
    QTest::newRow("-debugger") << QStringList{"corvanta", "-debugger"} << false << false;
}

void TestHelp::logSwitches()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, switchFile);
    QFETCH(bool, enabled);
    QTemporaryDir program;
    if (switchFile)
        WriteFile(QDir(program.path()).filePath(QStringLiteral("debug.debug")), QByteArray());

    const THelpLog log(program.path(), arguments, BuiltHelpFile);

    QCOMPARE(log.Enabled(), enabled);
    QCOMPARE(THelpLog::Requested(program.path(), arguments), enabled);
    QCOMPARE(QFile::exists(log.FilePath()), enabled);
}

void TestHelp::logStartsWithHeaderAndDeletesTheOldOne()
{
    QTemporaryDir program;
    const QString path = QDir(program.path()).filePath(QStringLiteral("HHDebug.txt"));
    WriteFile(path, "from an earlier run\n");

    {
        const THelpLog quiet(program.path(), {QStringLiteral("corvanta")}, BuiltHelpFile);
        QCOMPARE(quiet.FilePath(), path);
        QVERIFY(!QFile::exists(path));
    }

    WriteFile(path, "from an earlier run\n");
    const THelpLog log(program.path(), {QStringLiteral("corvanta"), QStringLiteral("-debug")}, BuiltHelpFile);
    log.Line(QStringLiteral("THookHelpSystem.HelpHook(HELP_CONTEXT, 1)"));

    const QStringList lines = LogLines(log);
    const QString text = lines.join('\n');
    QVERIFY(!text.contains(QStringLiteral("earlier run")));
    QVERIFY(text.contains(path));
    QVERIFY(text.contains(BuiltHelpFile));
    QVERIFY(text.contains(QString::fromLatin1(qVersion())));
    QVERIFY(text.contains(QSysInfo::kernelType()));
    QVERIFY(text.contains(QLocale().name()));
    QVERIFY(text.contains(QDate::currentDate().toString(Qt::ISODate)) ||
            text.contains(QDate::currentDate().addDays(-1).toString(Qt::ISODate)));
    QVERIFY(lines.size() >= 5);
    const QRegularExpression timed(QStringLiteral("^THookHelpSystem\\.HelpHook\\(HELP_CONTEXT, 1\\)   "
                                                  "[0-2]\\d:[0-5]\\d:[0-5]\\d$"));
    QVERIFY2(timed.match(lines.last()).hasMatch(), qPrintable(lines.last()));
}

void TestHelp::logFolderFallsBackToTemp()
{
    QTemporaryDir parent;
    const QString gone = parent.filePath(QStringLiteral("no such folder"));

    const THelpLog log(gone, {QStringLiteral("-debug")}, QString());

    QCOMPARE(log.Folder(), QDir::cleanPath(QDir::tempPath()));
    QVERIFY(QFile::exists(log.FilePath()));
    QVERIFY(LogLines(log).join('\n').contains(QStringLiteral("none found")));
    QFile::remove(log.FilePath());
}

void TestHelp::logProbeLeavesAnExistingFileAlone()
{
    QTemporaryDir program;
    const QString probe = QDir(program.path()).filePath(QStringLiteral("$_Temp_$.$$$"));
    WriteFile(probe, "not ours");

    QCOMPARE(THelpLog::ChooseFolder(program.path()), QDir::cleanPath(program.path()));

    QFile kept(probe);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("not ours"));
    QCOMPARE(QDir(program.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"$_Temp_$.$$$"});
}

void TestHelp::everyHelpCallIsLogged()
{
    QTemporaryDir program;
    QTemporaryDir otherProgram;
    TTestHelp help(BuiltHelpFile, program.path(), {QStringLiteral("corvanta"), QStringLiteral("-debug")});
    TTestHelp broken(program.filePath(QStringLiteral("missing.qch")), otherProgram.path(),
                     {QStringLiteral("-debug")});

    help.ShowContext(1);
    help.ShowContext(23);
    QStringList calls = LogLines(help.Log()).filter(QStringLiteral("HelpHook"));
    QCOMPARE(calls.size(), 2);
    QVERIFY(calls[0].startsWith(QStringLiteral("THookHelpSystem.HelpHook(HELP_CONTEXT, 1)   ")));
    QVERIFY(calls[1].startsWith(QStringLiteral("THookHelpSystem.HelpHook(HELP_CONTEXT, 23)   ")));

    // A failing call is logged too.
    broken.ShowContext(21);
    calls = LogLines(broken.Log()).filter(QStringLiteral("HelpHook"));
    QCOMPARE(calls.size(), 1);
    QVERIFY(calls[0].startsWith(QStringLiteral("THookHelpSystem.HelpHook(HELP_CONTEXT, 21)   ")));
}

QTEST_MAIN(TestHelp)
#include "test_help.moc"
