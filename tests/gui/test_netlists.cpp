// Netlist pages in the window: opened, typed into, written back, saved,
// undone and asked about, as a user works with them.

#include <cmath>

#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QStatusBar>
#include <QUndoStack>

#include "TestWindow.h"
#include "app/NetlistEditor.h"
#include "app/NetlistPageView.h"
#include "app/NetlistPages.h"
#include "document/Catalogue.h"
#include "plot/ControlSummary.h"
#include "plot/Printout.h"

using namespace cva;

namespace {

const char *const Tilt = "Tilt control\n"
                         "* a treble lift against a bass cut\n"
                         "V1 in 0 AC 1\n"
                         "R1 in a 10k\n"
                         "Ptilt a w 0 100k control=Tilt\n"
                         "C1 w out 22n\n"
                         "R2 out 0 100k\n"
                         ".print ac vdb(out)\n"
                         ".end\n";

QString ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TestNetlists : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(Dir.isValid());
        Path = Dir.filePath("tilt.cir");
        QFile file(Path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(Tilt);
        file.close();
        W = std::make_unique<test::TTestWindow>();
        W->show();
    }
    void cleanup() { W.reset(); }

    void OpensAsAPageOfItsOwnAndFollowsTyping();
    void UnreadableTextMarksItsLineAndKeepsTheCurve();
    void ValuesAndKnobsAreWrittenBackAndSaved();
    void EachNetlistHasAHistoryOfItsOwn();
    void AValueTheNetlistCannotHoldIsRefused();
    void ClosingAsksForEveryUnsavedNetlist();
    void ExamplesOpenAsPages();
    void SweepViewsAndMapWorkOnANetlistPage();
    void ACrLfNetlistKeepsItsLineBreaks();

private:
    TNetlistPageView *ShownView() const { return W->NetlistPages()->View(W->Doc().Circuit().Active); }
    void Type(const QString &text)
    {
        ShownView()->Editor()->TextEdit()->setPlainText(text);
        QTest::qWait(TNetlistEditor::PauseMs * 3);
    }

    QTemporaryDir Dir;
    QString Path;
    std::unique_ptr<test::TTestWindow> W;
};

void TestNetlists::OpensAsAPageOfItsOwnAndFollowsTyping()
{
    const int builtIn = TCatalogue().Count();
    QVERIFY(W->Files().OpenFile(Path));
    QCOMPARE(W->Pages()->count(), builtIn + 1);
    QCOMPARE(W->Pages()->currentIndex(), builtIn);
    QCOMPARE(W->Pages()->tabText(builtIn), QString("Tilt control"));
    QCOMPARE(W->Pages()->tabToolTip(builtIn), QString("Tilt control"));
    QVERIFY(W->windowTitle().contains("tilt.cir"));
    QVERIFY(!W->windowTitle().endsWith("*"));
    QCOMPARE(ShownView()->Editor()->Text(), QString(Tilt));
    QCOMPARE(ShownView()->Parts()->rowCount(), 4);
    QCOMPARE(W->Controls()->Caption(0)->text().remove('&'), QString("Tilt"));

    const double before = W->Doc().Store().Traces[0][10];
    Type(QString(Tilt).replace("C1 w out 22n", "C1 w out 220n"));
    QVERIFY(W->Doc().Store().Traces[0][10] != before);
    QVERIFY(W->windowTitle().endsWith("*"));
    QVERIFY(W->Errors.isEmpty());
}

void TestNetlists::UnreadableTextMarksItsLineAndKeepsTheCurve()
{
    QVERIFY(W->Files().OpenFile(Path));
    const TTrace before = W->Doc().Store().Traces[0];
    const int steps = W->Doc().UndoStack()->count();
    struct TCase {
        QString Text;
        QString Message;
    };
    for (const TCase &bad : {TCase{QString(Tilt).replace("R2 out 0 100k", "R2 out 0 1x0k"), "tilt.cir:7:"},
                             TCase{QString(Tilt).replace("V1 in 0 AC 1", "* no source"), "tilt.cir"},
                             TCase{QString(Tilt).replace("C1 w out 22n", "Q1 w out 22n"), "tilt.cir:6:"}}) {
        Type(bad.Text);
        QLabel *error = ShownView()->Editor()->ErrorLabel();
        QVERIFY2(error->isVisible() && error->text().startsWith(bad.Message), qPrintable(error->text()));
        QCOMPARE(ShownView()->Editor()->Text(), bad.Text);
        QVERIFY(W->Doc().Store().Traces[0] == before);
        QCOMPARE(W->Doc().UndoStack()->count(), steps);
    }
    Type(Tilt);
    QVERIFY(!ShownView()->Editor()->ErrorLabel()->isVisible());

    // Read but beyond the engine: no curve, and the status bar says why it is not heard, until it can be.
    QString many = Tilt;
    for (int i = 0; i < 300; ++i)
        many.replace(".end\n", QString("C%1x w 0 1p\n.end\n").arg(i));
    Type(many);
    QVERIFY(!W->Doc().LiveFailure().isEmpty());
    QVERIFY(W->statusBar()->currentMessage().startsWith("Listening is silent"));
    Type(Tilt);
    QVERIFY(W->Doc().Store().Traces[0] == before);
    QVERIFY2(!W->statusBar()->currentMessage().startsWith("Listening is silent"), qPrintable(W->statusBar()->currentMessage()));
}

void TestNetlists::ValuesAndKnobsAreWrittenBackAndSaved()
{
    QVERIFY(W->Files().OpenFile(Path));
    // As the part's dialog changes it.
    W->Doc().Apply({.What = "Change R1", .Edit = [](TCircuit &circuit) {
                        circuit.Symbols.Page(circuit.Active).SetInfo("R1", "22000");
                    }});
    W->Slider(0)->setValue(80);
    const QString text = ShownView()->Editor()->Text();
    QVERIFY2(text.contains("R1 in a 22k") && text.contains("*corvanta: control Tilt=80"), qPrintable(text));
    QVERIFY(text.startsWith("Tilt control\n* a treble lift against a bass cut\n"));
    QVERIFY(W->windowTitle().endsWith("*"));

    QVERIFY(W->Files().Save());
    QCOMPARE(ReadAll(Path), text);
    QVERIFY(!W->windowTitle().endsWith("*"));
    QCOMPARE(W->SaveDialogs, 0);

    // Read back, it is the same circuit.
    test::TTestWindow again;
    QVERIFY(again.Files().OpenFile(Path));
    QCOMPARE(again.Doc().Circuit().Position(0), 80);
    QVERIFY(again.Doc().Store().Traces[0] == W->Doc().Store().Traces[0]);
}

void TestNetlists::EachNetlistHasAHistoryOfItsOwn()
{
    QVERIFY(W->Files().OpenFile(Path));
    const int netlist = W->Doc().Circuit().Active;
    const TTrace before = W->Doc().Store().Traces[0];
    Type(QString(Tilt).replace("R1 in a 10k", "R1 in a 47k"));
    W->Slider(0)->setValue(20);
    // On a built-in page, Undo takes back that page's change and leaves the netlist as typed.
    W->Pages()->setCurrentIndex(0);
    const int bass = W->Doc().Circuit().Position(BuiltInControl::Bass);
    W->Slider(BuiltInControl::Bass)->setValue(bass == 80 ? 30 : 80);
    W->Action("actEditUndo")->trigger();
    QCOMPARE(W->Doc().Circuit().Position(BuiltInControl::Bass), bass);
    QVERIFY(QString::fromStdString(W->Doc().Circuit().Pages().Page(netlist).NetlistText).contains("R1 in a 47k"));
    // Back on the netlist, Undo takes back its own steps.
    W->Pages()->setCurrentIndex(netlist);
    W->Action("actEditUndo")->trigger();
    W->Action("actEditUndo")->trigger();
    QCOMPARE(W->Doc().Circuit().Active, netlist);
    QCOMPARE(ShownView()->Editor()->Text(), QString(Tilt));
    QVERIFY(W->Doc().Store().Traces[0] == before);
    QVERIFY(!W->Action("actEditUndo")->isEnabled());
    W->Action("actEditRedo")->trigger();
    QVERIFY(ShownView()->Editor()->Text().contains("R1 in a 47k"));
}

void TestNetlists::AValueTheNetlistCannotHoldIsRefused()
{
    QVERIFY(W->Files().OpenFile(Path));
    for (const auto &[part, value] : {std::pair{"Ptilt", "-1k"}, std::pair{"C1", "0"}}) {
        const QString text = ShownView()->Editor()->Text();
        QTableWidget *parts = ShownView()->Parts();
        const int row = parts->findItems(part, Qt::MatchExactly).constFirst()->row();
        QVERIFY(test::WithEditDialog([&] { emit parts->cellDoubleClicked(row, 0); },
                                     [&](TEditDialog &dialog) {
                                         dialog.SourceEdit()->selectAll();
                                         test::TypeAndOk(dialog, value);
                                     }));
        QCOMPARE(W->Errors.size(), 1);
        QVERIFY2(W->Errors.takeFirst().startsWith("tilt.cir:"), part);
        QCOMPARE(ShownView()->Editor()->Text(), text);
        // The page goes on as before, its text written back as the knob moves.
        W->Slider(0)->setValue(W->Slider(0)->value() == 30 ? 70 : 30);
        QVERIFY(ShownView()->Editor()->Text().contains("*corvanta: control Tilt="));
    }
}

void TestNetlists::ClosingAsksForEveryUnsavedNetlist()
{
    QVERIFY(W->Files().OpenFile(Path));
    W->Files().NewNetlist();
    QCOMPARE(W->Pages()->count(), TCatalogue().Count() + 2);
    W->SaveQuestionAnswer = QMessageBox::Cancel;
    QVERIFY(!W->close());
    // The opened one is as on disk; the new one has no file yet.
    QCOMPARE(W->NetlistQuestions, QStringList{"New tone control"});

    W->SaveQuestionAnswer = QMessageBox::Yes;
    W->SaveAnswer = Dir.filePath("new.cir");
    W->NetlistQuestions.clear();
    W->Doc().SetModified(false);
    QVERIFY(W->close());
    QVERIFY(ReadAll(W->SaveAnswer).startsWith("New tone control\n"));
}

void TestNetlists::ExamplesOpenAsPages()
{
    const QFileInfoList examples = ShippedExamples(CORVANTA_PROGRAM_DIR);
    QVERIFY(examples.size() >= 12);
    for (const QFileInfo &example : examples)
        QVERIFY2(W->Files().OpenFile(example.filePath()), qPrintable(W->Errors.join('\n')));
    QCOMPARE(W->Pages()->count(), TCatalogue().Count() + int(examples.size()));
    QVERIFY(W->Errors.isEmpty());
    // Opened again, a file takes the place of its page.
    QVERIFY(W->Files().OpenFile(examples.front().filePath()));
    QCOMPARE(W->Pages()->count(), TCatalogue().Count() + int(examples.size()));
}

void TestNetlists::SweepViewsAndMapWorkOnANetlistPage()
{
    QVERIFY(W->Files().OpenFile(Path));
    W->Traces().Clear();
    W->Traces().Sweep();
    QCOMPARE(W->Doc().Store().TraceCount, 1 + int(W->Traces().SweepPoints().size()));
    QCOMPARE(QString::fromStdString(W->Doc().Store().Labels[1]), QString("Tilt 100%")); // the newest first
    QVERIFY(W->Doc().Store().Traces[1] != W->Doc().Store().Traces[W->Doc().Store().TraceCount - 1]);
    QVERIFY(W->Errors.isEmpty());

    for (const TPlotView view : {TPlotView::Phase, TPlotView::GroupDelay, TPlotView::Impedance}) {
        W->Views().SetPlotView(view);
        QCOMPARE(W->Views().PlotView(), view);
    }
    for (const double phase : W->Doc().EngineCurves().PhaseDeg)
        QVERIFY(std::isfinite(phase));
    W->Views().ShowResponseMap(0);
    QCOMPARE(W->Views().PlotView(), TPlotView::ResponseMap);
    QVERIFY(W->Errors.isEmpty());

    // The printout lists the netlist's parts and knobs as a schematic page's.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(Dir.filePath("printed.pdf"));
    PrintPlot(printer, W->Doc().Store(), W->Doc().Circuit().ActiveValues(), W->Doc().Circuit().ActiveInfo(), '.',
              ControlLines(W->Doc().Circuit()));
    QVERIFY(QFileInfo(Dir.filePath("printed.pdf")).size() > 1000);
}

void TestNetlists::ACrLfNetlistKeepsItsLineBreaks()
{
    QFile file(Path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(Tilt).replace("\n", "\r\n"));
    file.close();
    QVERIFY(W->Files().OpenFile(Path));
    QCOMPARE(ShownView()->Editor()->Text(), QString(Tilt));
    QVERIFY(!W->windowTitle().endsWith("*"));
    Type(QString(Tilt).replace("C1 w out 22n", "C1 w out 220n"));
    W->Slider(0)->setValue(80);
    QVERIFY(W->Files().Save());
    const QString saved = ReadAll(Path);
    QVERIFY2(saved.contains("C1 w out 220n\r\n") && saved.contains("Tilt=80\r\n"), qPrintable(saved));
    QCOMPARE(saved.count('\n'), saved.count(QStringLiteral("\r\n")));
}

QTEST_MAIN(TestNetlists)
#include "test_netlists.moc"
