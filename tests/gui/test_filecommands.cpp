// The file commands of the main window on real files: Save and Save As,
// Open, Revert, the question before unsaved changes are lost, and loads
// that fail.

#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QDragEnterEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QScreen>
#include <QImage>
#include <QLocale>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include "TestWindow.h"
#include "app/RecentFiles.h"
#include "document/CircuitFile.h"
#include "plot/Plotter.h"

using namespace cva;
using namespace cva::test;

Q_DECLARE_METATYPE(QMessageBox::StandardButton)

namespace {

const QString EmptyCaption = QStringLiteral("Corvanta 1.3 <empty file>");

QString NamedCaption(const QString &path, bool modified)
{
    return QStringLiteral("Corvanta 1.3 [%1]%2").arg(path, modified ? " *" : "");
}

void WriteFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace

class TestFileCommands : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void saveWritesWholeCircuitAndClearsMark();
    void saveIntoMissingDirectoryKeepsMark();
    void openSwitchesPageSlidersAndValues_data();
    void openSwitchesPageSlidersAndValues();
    void failedOpenChangesNothing_data();
    void failedOpenChangesNothing();
    void specialFilesAreRefusedWithoutWaiting_data();
    void specialFilesAreRefusedWithoutWaiting();
    void unknownTaperIsLabelledAndWarnedOfOnce();
    void revertReloadsCaptionFile();
    void openBeforeFirstPaintKeepsSnapshotVisible();
    void saveQuestionOnClose_data();
    void saveQuestionOnClose();
    void saveQuestionOnOpen_data();
    void saveQuestionOnOpen();
    void exportWritesTheChosenFormat();
    void newReturnsToTheDefaultsAfterTheSaveQuestion();
    void recentFilesFollowOpenAndSave();
    void aDroppedCircuitFileOpensAfterTheSaveQuestion();
    void theWindowSizeIsKeptBetweenRuns();

private:
    QString Path(const QString &name) const { return Dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> Dir;
    std::unique_ptr<TTestWindow> W;
};

void TestFileCommands::init()
{
    Dir = std::make_unique<QTemporaryDir>();
    QVERIFY(Dir->isValid());
    W = std::make_unique<TTestWindow>();
    W->show();
    QVERIFY(QTest::qWaitForWindowExposed(W.get()));
}

void TestFileCommands::cleanup()
{
    W.reset();
    Dir.reset();
}

void TestFileCommands::saveWritesWholeCircuitAndClearsMark()
{
    W->Pages()->setCurrentIndex(int(PageNamed("Marshall")));
    W->Slider(BuiltInControl::Mid)->setValue(64);
    // Save needs a name first.
    W->SaveAnswer = Path("amp.cva");
    QVERIFY(!W->Action("actFileSave")->isEnabled());
    W->Action("actFileSave")->trigger();
    QCOMPARE(W->SaveDialogs, 0);
    W->Action("actFileSaveAs")->trigger();
    QCOMPARE(W->SaveDialogs, 1);
    QVERIFY(W->Errors.isEmpty());
    QCOMPARE(W->windowTitle(), NamedCaption(Path("amp.cva"), false));
    QVERIFY(W->Action("actFileSave")->isEnabled());
    QVERIFY(W->Action("actFileRevert")->isEnabled());

    const QByteArray text = ReadFile(Path("amp.cva"));
    QVERIFY(text.endsWith("\r\n"));
    const QList<QByteArray> lines = text.chopped(1).split('\n');
    QCOMPARE(lines.size(), 69);
    for (const QByteArray &line : lines)
        QVERIFY2(line.endsWith('\r'), line.constData());
    QCOMPARE(lines[0], QByteArray("Tab=Marshall\r"));
    QCOMPARE(lines[1], QByteArray("Pos1=50\r"));
    QCOMPARE(lines[2], QByteArray("Pos2=64\r"));
    QCOMPARE(lines[3], QByteArray("Pos3=50\r"));
    QCOMPARE(lines[4], QByteArray("BC1=4.7E-10\r"));
    QVERIFY(lines.contains("FR2=250000|1\r"));
    QVERIFY(lines.contains("SL1=6|600\r"));
    QCOMPARE(lines[68], QByteArray("VR5=600000\r"));

    // Save with a name writes there without asking.
    W->Slider(BuiltInControl::Bass)->setValue(3);
    QCOMPARE(W->windowTitle(), NamedCaption(Path("amp.cva"), true));
    W->Action("actFileSave")->trigger();
    QCOMPARE(W->SaveDialogs, 1);
    QCOMPARE(W->windowTitle(), NamedCaption(Path("amp.cva"), false));
    QVERIFY(ReadFile(Path("amp.cva")).contains("\r\nPos1=3\r\n"));

    // Save As elsewhere moves the name on.
    W->SaveAnswer = Path("copy.cva");
    W->Action("actFileSaveAs")->trigger();
    QCOMPARE(W->windowTitle(), NamedCaption(Path("copy.cva"), false));
    QCOMPARE(ReadFile(Path("copy.cva")), ReadFile(Path("amp.cva")));

    // A cancelled Save As changes nothing.
    W->SaveAnswer.clear();
    W->Slider(BuiltInControl::Bass)->setValue(4);
    W->Action("actFileSaveAs")->trigger();
    QCOMPARE(W->windowTitle(), NamedCaption(Path("copy.cva"), true));
}

void TestFileCommands::saveIntoMissingDirectoryKeepsMark()
{
    W->Slider(BuiltInControl::Bass)->setValue(10);
    const QString path = Path("missing/amp.cva");
    W->SaveAnswer = path;
    W->Action("actFileSaveAs")->trigger();
    QCOMPARE(W->Errors.size(), 1);
    QVERIFY2(W->Errors[0].startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(path)),
             qPrintable(W->Errors[0]));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(W->windowTitle(), EmptyCaption + " *");
    QVERIFY(!W->Action("actFileSave")->isEnabled());
}

void TestFileCommands::openSwitchesPageSlidersAndValues_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("page");
    QTest::addColumn<QList<int>>("positions");

    QTest::newRow("page only") << QByteArray("Tab=Vox\r\n") << PageNamed("Vox") << QList<int>{20, 30, 40};
    QTest::newRow("full") << QByteArray("Tab=Marshall\r\nPos1=10\r\nPos2=150\r\nPos3=\r\nMR1=47000\r\n"
                                        "MR3=500000|0\r\nXR1=5\r\n\r\nno equals sign\r\n")
                          << PageNamed("Marshall") << QList<int>{10, 100, 40};
    QTest::newRow("key case, LF ends") << QByteArray("tab=E series\nPOS3=77\n") << PageNamed("E series")
                                       << QList<int>{20, 30, 77};
    // A file of only 'Tab=vox' is no circuit file; with a slider line it loads.
    QTest::newRow("caption case") << QByteArray("Tab=vox\r\nPos2=\r\n") << PageNamed("Fender")
                                  << QList<int>{20, 30, 40};
}

void TestFileCommands::openSwitchesPageSlidersAndValues()
{
    QFETCH(QByteArray, content);
    QFETCH(int, page);
    QFETCH(QList<int>, positions);

    W->Slider(BuiltInControl::Bass)->setValue(20);
    W->Slider(BuiltInControl::Mid)->setValue(30);
    W->Slider(BuiltInControl::Treble)->setValue(40);
    W->Doc().SetModified(false);
    const TTrace previous = W->Doc().Store().Traces[0];

    WriteFile(Path("in.cva"), content);
    W->OpenAnswer = Path("in.cva");
    W->Action("actFileOpen")->trigger();
    QVERIFY2(W->Errors.isEmpty(), qPrintable(W->Errors.join('\n')));
    QCOMPARE(W->SaveQuestions, 0);

    QCOMPARE(W->Pages()->currentIndex(), int(page));
    QCOMPARE(W->Doc().Circuit().Active, page);
    for (int slider = 0; slider < BuiltInControl::Count; ++slider) {
        QCOMPARE(W->Slider(slider)->value(), positions[int(slider)]);
        QCOMPARE(W->Doc().Circuit().Position(slider), positions[int(slider)]);
        QCOMPARE(W->Slider(slider)->isEnabled(), TCatalogue().Page(page).UsesControl(slider));
    }
    QCOMPARE(W->windowTitle(), NamedCaption(Path("in.cva"), false));

    const TCircuitValues &symbols = W->Doc().Circuit().Symbols;
    if (content.contains("MR1")) {
        QCOMPARE(symbols.GetValue("MR1"), 47000.0);
        QCOMPARE(W->Page(PageNamed("Marshall"))->ValueLabel("MR1")->text(), QString("47k"));
        QCOMPARE(W->Page(PageNamed("Marshall"))->ValueLabel("MR3")->text(), QString("500k"));
        QCOMPARE(W->Controls()->TaperLabel(BuiltInControl::Bass)->text(), QString("Linear"));
    } else {
        QCOMPARE(symbols.GetValue("MR1"), 33000.0);
    }
    // Components the file does not name keep their values.
    QCOMPARE(symbols.GetValue("FR1"), 100000.0);

    // The curve shown before stays as a snapshot under the loaded one.
    QCOMPARE(W->Doc().Store().TraceCount, 2);
    QCOMPARE(W->Doc().Store().Traces[1], previous);
    QCOMPARE(W->Doc().Store().Traces[0], CoreTrace(W->Doc().Circuit()));
    QVERIFY(W->Traces().ClearButton()->isEnabled());
}

void TestFileCommands::failedOpenChangesNothing_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: the file does not exist
    QTest::addColumn<QString>("message");

    QTest::newRow("prefix letter") << QByteArray("Tab=Marshall\r\nPos1=5\r\nFR1=100k\r\n")
                                   << "bad.cva, line 3 (FR1): '100k' is not a valid floating point value";
    QTest::newRow("slider not a number") << QByteArray("Tab=Big muff\r\nPos1=5\r\nPos2=abc\r\n") << "abc";
    QTest::newRow("pot without taper") << QByteArray("Tab=Bench\r\nSR4=1000\r\nSR2=5000\r\n") << "";
    QTest::newRow("missing file") << QByteArray() << "Cannot open file";
    QTest::newRow("no circuit line") << QByteArray("Tab=Tweed\r\nnotes\r\n") << "bad.cva\". not a circuit file";
    // Files read alike in every locale: under the German one of this test,
    // "100,000" is no more a number than anywhere else.
    QTest::newRow("decimal comma") << QByteArray("Tab=Fender\r\nPos1=5\r\nFR1=100,000\r\n")
                                   << "bad.cva, line 3 (FR1): '100,000' is not a valid floating point value";
}

void TestFileCommands::failedOpenChangesNothing()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const std::unique_ptr<void, void (*)(void *)> restoreLocale(this, [](void *) { QLocale::setDefault(QLocale::c()); });

    WriteFile(Path("good.cva"), "Tab=Vox\r\nPos1=30\r\nPos3=60\r\n");
    W->OpenAnswer = Path("good.cva");
    W->Action("actFileOpen")->trigger();
    QVERIFY(W->Errors.isEmpty());
    W->Slider(BuiltInControl::Treble)->setValue(70);
    W->Traces().SnapshotButton()->click();
    const TCircuit before = W->Doc().Circuit();
    const TTraceStore store = W->Doc().Store();
    const QString caption = NamedCaption(Path("good.cva"), true);
    QCOMPARE(W->windowTitle(), caption);

    const QString bad = Path("bad.cva");
    if (!content.isEmpty())
        WriteFile(bad, content);
    W->OpenAnswer = bad;
    W->SaveQuestionAnswer = QMessageBox::No;
    W->Action("actFileOpen")->trigger();

    QCOMPARE(W->Errors.size(), 1);
    QVERIFY2(W->Errors[0].contains(message), qPrintable(W->Errors[0]));
    QCOMPARE(W->windowTitle(), caption);
    QCOMPARE(W->Pages()->currentIndex(), int(PageNamed("Vox")));
    QCOMPARE(W->Doc().Circuit().Active, PageNamed("Vox"));
    QCOMPARE(W->Slider(BuiltInControl::Bass)->value(), 30);
    QCOMPARE(W->Slider(BuiltInControl::Mid)->value(), 50);
    QCOMPARE(W->Slider(BuiltInControl::Treble)->value(), 70);
    QVERIFY(!W->Slider(BuiltInControl::Mid)->isEnabled());
    for (const auto *entry : before.Symbols.InNameOrder()) {
        QCOMPARE(W->Doc().Circuit().Symbols.GetValue(entry->Name), entry->Symbol->GetValue());
        QCOMPARE(W->Doc().Circuit().Symbols.Find(entry->Name).GetInfo(), entry->Symbol->GetInfo());
    }
    QCOMPARE(W->Page(PageNamed("Fender"))->ValueLabel("FR1")->text(), QString("100k"));
    QCOMPARE(W->Doc().Store().TraceCount, store.TraceCount);
    QCOMPARE(W->Doc().Store().Traces, store.Traces);

    // Revert still names the good file.
    W->Action("actFileRevert")->trigger();
    QCOMPARE(W->Errors.size(), 1);
    QCOMPARE(W->Slider(BuiltInControl::Treble)->value(), 60);
    QCOMPARE(W->windowTitle(), NamedCaption(Path("good.cva"), false));
}

void TestFileCommands::specialFilesAreRefusedWithoutWaiting_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("writer"); // the pipe has a writer that never ends

    QTest::newRow("Save As, no reader") << "save" << false;
    QTest::newRow("Export CSV, no reader") << "export.csv" << false;
    QTest::newRow("Export PNG, no reader") << "export.png" << false;
    QTest::newRow("Open, endless writer") << "open" << true;
    QTest::newRow("recent file, endless writer") << "recent" << true;
}

// A named pipe would freeze the window until its other end acts, which may
// be never: each command refuses it before opening it.
void TestFileCommands::specialFilesAreRefusedWithoutWaiting()
{
    QFETCH(QString, command);
    QFETCH(bool, writer);
    const QString fifo = Path("pipe.cva");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const int end = writer ? ::open(QFile::encodeName(fifo).constData(), O_RDWR) : -1;
    const QString caption = W->windowTitle();

    ::alarm(30); // a wait ends the test instead of hanging it
    if (command == "save") {
        W->SaveAnswer = fifo;
        W->Action("actFileSaveAs")->trigger();
    } else if (command.startsWith("export")) {
        W->ExportAnswer = fifo;
        W->ExportFilterAnswer = command.endsWith("csv") ? "Traces as CSV table (*.csv)" : "PNG picture (*.png)";
        W->Action("actFileExport")->trigger();
    } else if (command == "open") {
        W->OpenAnswer = fifo;
        W->Action("actFileOpen")->trigger();
    } else {
        W->Files().OpenFile(fifo);
    }
    ::alarm(0);
    if (end >= 0)
        ::close(end);
    QCOMPARE(W->Errors.size(), 1);
    QVERIFY2(W->Errors[0].endsWith(QStringLiteral("\"%1\". not a regular file").arg(fifo)), qPrintable(W->Errors[0]));
    QCOMPARE(W->windowTitle(), caption);
}

void TestFileCommands::unknownTaperIsLabelledAndWarnedOfOnce()
{
    WriteFile(Path("odd.cva"), "Tab=Fender\r\nFR2=250000|255\r\n");
    W->OpenAnswer = Path("odd.cva");
    W->Action("actFileOpen")->trigger();
    QCOMPARE(W->Warnings.size(), 1);
    QVERIFY2(W->Warnings[0].startsWith("FR2 has taper number 255"), qPrintable(W->Warnings[0]));
    QCOMPARE(W->Controls()->TaperLabel(BuiltInControl::Treble)->text(), QString("Linear (255)"));
    // Later refreshes of the labels neither fail nor warn again.
    W->Slider(BuiltInControl::Treble)->setValue(20);
    W->Pages()->setCurrentIndex(int(PageNamed("Vox")));
    W->Pages()->setCurrentIndex(int(PageNamed("Fender")));
    QCOMPARE(W->Controls()->TaperLabel(BuiltInControl::Treble)->text(), QString("Linear (255)"));
    QVERIFY2(W->Errors.isEmpty(), qPrintable(W->Errors.join('\n')));
    QCOMPARE(W->Warnings.size(), 1);
}

void TestFileCommands::revertReloadsCaptionFile()
{
    // Nothing to revert to before a file is named.
    QVERIFY(!W->Action("actFileRevert")->isEnabled());
    W->Files().Revert();
    QVERIFY(W->Errors.isEmpty());
    QCOMPARE(W->Doc().Store().TraceCount, 1);

    WriteFile(Path("a.cva"), "Tab=Fender\r\nPos2=70\r\n");
    W->OpenAnswer = Path("a.cva");
    W->Action("actFileOpen")->trigger();
    QVERIFY(W->Action("actFileRevert")->isEnabled());

    W->Slider(BuiltInControl::Mid)->setValue(10);
    W->SaveAnswer = Path("b.cva");
    W->Action("actFileSaveAs")->trigger();
    W->Slider(BuiltInControl::Mid)->setValue(90);
    W->Pages()->setCurrentIndex(int(PageNamed("Vox")));
    const int count = W->Doc().Store().TraceCount;

    // Revert reloads the file the caption names, without asking.
    W->Action("actFileRevert")->trigger();
    QCOMPARE(W->SaveQuestions, 0);
    QVERIFY(W->Errors.isEmpty());
    QCOMPARE(W->Pages()->currentIndex(), int(PageNamed("Fender")));
    QCOMPARE(W->Slider(BuiltInControl::Mid)->value(), 10);
    QCOMPARE(W->windowTitle(), NamedCaption(Path("b.cva"), false));
    QCOMPARE(W->Doc().Store().TraceCount, count + 1);
    QCOMPARE(W->Doc().Store().Traces[0], CoreTrace(CircuitAt(PageNamed("Fender"), 50, 10, 50)));
}

void TestFileCommands::openBeforeFirstPaintKeepsSnapshotVisible()
{
    // As at start-up with a file named on the command line: the load comes
    // before the plot has painted once.
    WriteFile(Path("in.cva"), "Tab=Vox\r\n");
    TTestWindow window;
    window.show();
    QVERIFY(window.Files().OpenFile(Path("in.cva")));
    QCOMPARE(window.Doc().Store().TraceCount, 2);
    QCOMPARE(window.Doc().Store().TraceColours[1], window.Plotter()->TraceColour());
    QCOMPARE(window.Doc().Store().Traces[1], CoreTrace(TCircuit()));
}

void TestFileCommands::saveQuestionOnClose_data()
{
    QTest::addColumn<bool>("modified");
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<QString>("saveTo"); // empty: Save As cancelled
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("saved");

    QTest::newRow("unmodified") << false << QMessageBox::Cancel << "" << true << false;
    QTest::newRow("No") << true << QMessageBox::No << "" << true << false;
    QTest::newRow("Cancel") << true << QMessageBox::Cancel << "" << false << false;
    QTest::newRow("Yes, saved") << true << QMessageBox::Yes << "out.cva" << true << true;
    QTest::newRow("Yes, Save As cancelled") << true << QMessageBox::Yes << "" << false << false;
}

void TestFileCommands::saveQuestionOnClose()
{
    QFETCH(bool, modified);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QString, saveTo);
    QFETCH(bool, closes);
    QFETCH(bool, saved);

    if (modified)
        W->Slider(BuiltInControl::Bass)->setValue(33);
    W->SaveQuestionAnswer = answer;
    W->SaveAnswer = saveTo.isEmpty() ? QString() : Path(saveTo);

    QCOMPARE(W->close(), closes);
    QCOMPARE(W->isVisible(), !closes);
    QCOMPARE(W->SaveQuestions, modified ? 1 : 0);
    QCOMPARE(W->SaveDialogs, answer == QMessageBox::Yes ? 1 : 0);
    QCOMPARE(QFile::exists(Path("out.cva")), saved);
    if (saved)
        QVERIFY(ReadFile(Path("out.cva")).contains("\r\nPos1=33\r\n"));
}

void TestFileCommands::saveQuestionOnOpen_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<QString>("saveTo");
    QTest::addColumn<bool>("opens");

    QTest::newRow("No") << QMessageBox::No << "" << true;
    QTest::newRow("Cancel") << QMessageBox::Cancel << "" << false;
    QTest::newRow("Yes, saved") << QMessageBox::Yes << "out.cva" << true;
    QTest::newRow("Yes, Save As cancelled") << QMessageBox::Yes << "" << false;
}

void TestFileCommands::saveQuestionOnOpen()
{
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QString, saveTo);
    QFETCH(bool, opens);

    WriteFile(Path("in.cva"), "Tab=James\r\n");
    W->Slider(BuiltInControl::Bass)->setValue(33);
    W->SaveQuestionAnswer = answer;
    W->SaveAnswer = saveTo.isEmpty() ? QString() : Path(saveTo);
    W->OpenAnswer = Path("in.cva");

    W->Action("actFileOpen")->trigger();
    QCOMPARE(W->SaveQuestions, 1);
    QCOMPARE(W->OpenDialogs, opens ? 1 : 0);
    QCOMPARE(W->Pages()->currentIndex(), int(opens ? PageNamed("James") : PageNamed("Fender")));
    if (opens) {
        QCOMPARE(W->windowTitle(), NamedCaption(Path("in.cva"), false));
    } else {
        QCOMPARE(W->windowTitle(), EmptyCaption + " *");
        QCOMPARE(W->Doc().Store().TraceCount, 1);
    }
    QCOMPARE(QFile::exists(Path("out.cva")), !saveTo.isEmpty());
}

void TestFileCommands::exportWritesTheChosenFormat()
{
    W->Traces().Snapshot();
    W->Slider(BuiltInControl::Treble)->setValue(90);

    // The typed extension decides; without one, the chosen filter does.
    W->ExportAnswer = Path("plot.png");
    W->Action("actFileExport")->trigger();
    const QImage picture(Path("plot.png"));
    QCOMPARE(picture.size() / picture.devicePixelRatio(), W->Plotter()->size());

    QCOMPARE(W->OfferedExportSize, W->Plotter()->size() * W->Plotter()->devicePixelRatioF());

    W->ExportAnswer = Path("plot");
    W->ExportFilterAnswer = "SVG drawing (*.svg)";
    W->Action("actFileExport")->trigger();
    const QByteArray svg = ReadFile(Path("plot"));
    QVERIFY(svg.startsWith("<?xml"));
    // The title line names the topology and the slider settings.
    QVERIFY(svg.contains("Fender: Bass 50% (Log A), Mid 50% (Linear), Treble 90% (Log A)"));

    // A chosen size, the plot enlarged as a whole.
    W->ExportAnswer = Path("big.png");
    W->ExportSizeAnswer = QSize(3000, 2250);
    W->Action("actFileExport")->trigger();
    const QImage big(Path("big.png"));
    QCOMPARE(big.width(), 3000);
    QVERIFY2(std::abs(big.height() - 2250) <= 4, qPrintable(QString::number(big.height())));
    W->ExportAnswer = Path("big.svg");
    W->Action("actFileExport")->trigger();
    // Drawn at the plot's width, in the chosen proportions.
    const QSvgRenderer drawing(Path("big.svg"));
    QCOMPARE(drawing.viewBox().width(), W->Plotter()->width());
    QVERIFY(std::abs(double(drawing.viewBox().height()) / drawing.viewBox().width() - 0.75) < 0.01);
    W->ExportSizeAnswer.reset();

    W->ExportAnswer = Path("traces.csv");
    W->Action("actFileExport")->trigger();
    const QStringList rows = QString::fromLatin1(ReadFile(Path("traces.csv"))).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(rows.size(), 446);
    QCOMPARE(rows[0], QString("frequency_hz,Live,Snapshot 1"));
    QVERIFY(W->Errors.isEmpty());

    // A failed export reports and leaves the modified mark and the traces alone.
    W->ExportAnswer = Path("missing/plot.png");
    W->Action("actFileExport")->trigger();
    QCOMPARE(W->Errors.size(), 1);
    QVERIFY(W->Errors[0].contains("missing"));
    QCOMPARE(W->Doc().Store().TraceCount, 2);
}

void TestFileCommands::newReturnsToTheDefaultsAfterTheSaveQuestion()
{
    QCOMPARE(W->Action("actFileNew")->shortcut(), QKeySequence("Ctrl+N"));
    QCOMPARE(W->Action("actFileSaveAs")->shortcut(), QKeySequence("Ctrl+Shift+S"));

    W->Pages()->setCurrentIndex(int(PageNamed("Vox")));
    W->Slider(BuiltInControl::Treble)->setValue(80);
    W->SaveAnswer = Path("amp.cva");
    QVERIFY(W->Files().SaveAs());
    W->Action("High1")->trigger();
    W->Slider(BuiltInControl::Bass)->setValue(10);
    QVERIFY(WithEditDialog([&] { DoubleClickComponent(*W, "VR1"); },
                           [](TEditDialog &dialog) { TypeAndOk(dialog, "1k"); }));
    QCOMPARE(W->Doc().Circuit().Symbols.GetValue("VR1"), 1000.0);

    // Cancelling the save question keeps everything.
    W->SaveQuestionAnswer = QMessageBox::Cancel;
    W->Action("actFileNew")->trigger();
    QCOMPARE(W->SaveQuestions, 1);
    QCOMPARE(W->Slider(BuiltInControl::Bass)->value(), 10);
    QCOMPARE(W->windowTitle(), NamedCaption(Path("amp.cva"), true));

    W->SaveQuestionAnswer = QMessageBox::No;
    W->Action("actFileNew")->trigger();
    QCOMPARE(W->SaveQuestions, 2);
    TCircuit defaults;
    defaults.ResolutionStep = ResolutionHigh; // the session's resolution stays
    QCOMPARE(W->Doc().Circuit().Symbols.GetValue("VR1"), defaults.Symbols.GetValue("VR1"));
    QCOMPARE(W->Pages()->currentIndex(), int(defaults.Active));
    for (int slider = 0; slider < BuiltInControl::Count; ++slider)
        QCOMPARE(W->Slider(slider)->value(), 50);
    QCOMPARE(W->Doc().Store().Traces[0], CoreTrace(defaults));
    QVERIFY(W->Action("High1")->isChecked());
    QCOMPARE(W->windowTitle(), EmptyCaption);
    QVERIFY(!W->Action("actFileSave")->isEnabled());
    // The file saved before is left as it was.
    QVERIFY(ReadFile(Path("amp.cva")).contains("Pos3=80"));
}

void TestFileCommands::recentFilesFollowOpenAndSave()
{
    for (const QString &file : W->Files().RecentFiles().Files())
        TRecentFiles().Remove(file);
    W->SaveAnswer = Path("a.cva");
    QVERIFY(W->Files().SaveAs());
    WriteFile(Path("b.cva"), ReadFile(Path("a.cva")));
    QVERIFY(W->Files().OpenFile(Path("b.cva")));
    QCOMPARE(W->Files().RecentFiles().Files(), (QStringList{Path("b.cva"), Path("a.cva")}));
    QVERIFY(W->Files().OpenFile(Path("a.cva")));
    QCOMPARE(W->Files().RecentFiles().Files(), (QStringList{Path("a.cva"), Path("b.cva")}));

    QMenu *menu = W->findChild<QMenu *>("mnuFileRecent");
    QVERIFY(menu);
    emit menu->aboutToShow();
    QCOMPARE(menu->actions().at(1)->text(), QString("&2 b.cva"));
    // Opening one asks about unsaved changes first.
    W->Slider(BuiltInControl::Bass)->setValue(3);
    W->SaveQuestionAnswer = QMessageBox::Cancel;
    menu->actions().at(1)->trigger();
    QCOMPARE(W->SaveQuestions, 1);
    QCOMPARE(W->Doc().State().FileName(), Path("a.cva").toStdString());

    // A file that is gone is said so and leaves the list.
    QVERIFY(QFile::remove(Path("b.cva")));
    W->Files().OpenRecentFile(Path("b.cva"));
    QCOMPARE(W->Errors.size(), 1);
    QVERIFY2(W->Errors[0].contains("no longer exists"), qPrintable(W->Errors[0]));
    QCOMPARE(W->Files().RecentFiles().Files(), QStringList{Path("a.cva")});

    TRecentFiles recent;
    for (int i = 0; i < 10; ++i)
        recent.Add(Path(QStringLiteral("%1.cva").arg(i)));
    QCOMPARE(recent.Files().size(), TRecentFiles::MaximumCount);
    QCOMPARE(recent.Files().constFirst(), Path("9.cva"));
}

void TestFileCommands::aDroppedCircuitFileOpensAfterTheSaveQuestion()
{
    SaveCircuitFile(Path("dropped.cva").toStdString(), CircuitAt(PageNamed("Vox"), 10, 50, 90));
    WriteFile(Path("picture.png"), "not a circuit");
    auto drop = [this](const QString &path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(W.get(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(W.get(), &dropped);
        return true;
    };
    // Anything else is refused with a word; the circuit stays.
    const TCircuit before = W->Doc().Circuit();
    for (const QString &name : {QStringLiteral("picture.png"), QStringLiteral("dropped.cva picture.png")}) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString &file : name.split(' '))
            urls << QUrl::fromLocalFile(Path(file));
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(W.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(W.get(), &dropped);
        QVERIFY2(W->statusBar()->currentMessage().contains("opened"), qPrintable(W->statusBar()->currentMessage()));
        QVERIFY(W->Doc().Circuit() == before);
    }
    QVERIFY(W->statusBar()->currentMessage().startsWith("2 files were dropped"));
    W->Slider(BuiltInControl::Bass)->setValue(3);
    W->SaveQuestionAnswer = QMessageBox::No;
    QVERIFY(drop(Path("dropped.cva")));
    QCOMPARE(W->SaveQuestions, 1);
    QCOMPARE(W->Doc().Circuit(), CircuitAt(PageNamed("Vox"), 10, 50, 90));
    QCOMPARE(W->windowTitle(), NamedCaption(Path("dropped.cva"), false));
}

void TestFileCommands::theWindowSizeIsKeptBetweenRuns()
{
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    // Room for a frame and a title bar around it.
    const QSize fits = W->minimumSizeHint().expandedTo(screen - QSize(100, 100)).boundedTo(screen);
    W->resize(fits);
    QVERIFY(W->close());
    TTestWindow next;
    next.RestoreWindowSize();
    QCOMPARE(next.size(), fits);

    // Larger than the screen it comes back within it, with room for its title bar.
    next.resize(screen * 2);
    QVERIFY(next.close());
    TTestWindow third;
    third.RestoreWindowSize();
    QVERIFY(third.width() <= screen.width() && third.height() < screen.height());
    QVERIFY(third.width() > fits.width() - 100 && third.height() > fits.height() - 100);
}

QTEST_MAIN(TestFileCommands)
#include "test_filecommands.moc"
