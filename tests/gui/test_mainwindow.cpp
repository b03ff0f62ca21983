// The main window driven through its real widgets: start-up state, sliders,
// pages, component edits by double-click and keyboard, the trace commands,
// resolution, auto scale, resizing and the cursor readout.

#include <memory>

#include <QAction>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabBar>

#include "TestWindow.h"
#include "app/SweepPointsDialog.h"
#include "plot/CursorReadout.h"
#include "plot/PlotColours.h"
#include "plot/PlotGeometry.h"
#include "models/NodalEngine.h"
#include "plot/PlotPainter.h"
#include "plot/Plotter.h"

using namespace cva;
using namespace cva::test;


namespace {

const QString EmptyCaption = QStringLiteral("Corvanta 1.3 <empty file>");

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startUpState();
    void sliderMoveRecalculatesAndMarks();
    void eachChangeSweepsTheEngineOnce();
    void pageChangeSetsSlidersAndTapers_data();
    void pageChangeSetsSlidersAndTapers();

    void confirmedEdit_data();
    void confirmedEdit();
    void cancelledEditChangesNothingButMarks_data();
    void cancelledEditChangesNothingButMarks();
    void escapeDoesNotCloseDialog();
    void unconvertibleEntryKeepsDialogOpen_data();
    void unconvertibleEntryKeepsDialogOpen();
    void valueLabelOpensDialogFromKeyboard();
    void editedValueSurvivesPageChange();

    void sweep_data();
    void sweep();
    void sweepOnFenderFromOwnPositions();
    void sweepOverChosenPoints();
    void snapshotsFillStoreAndClearEmptiesIt();
    void cycleColoursAdvancesWithEachSnapshot();
    void setColourTurnsCyclingOff();

    void resolutionItems();
    void autoYScaleTogglesPlotScale();
    void resizeGrowsPlotAndSchematic();
    void cursorReadoutInStatusBar();
    void accuracyWarningFollowsTheValues();
    void helpKeyOpensTheContextOfWhereItIsPressed();

private:
    void SelectPage(int topology);
    QString LabelText(int topology, const QString &symbol) const;

    std::unique_ptr<TTestWindow> W;
};

void TestMainWindow::init()
{
    W = std::make_unique<TTestWindow>();
    W->show();
    QVERIFY(QTest::qWaitForWindowExposed(W.get()));
}

void TestMainWindow::cleanup()
{
    W.reset();
}

void TestMainWindow::SelectPage(int topology)
{
    W->Pages()->setCurrentIndex(static_cast<int>(topology));
}

QString TestMainWindow::LabelText(int topology, const QString &symbol) const
{
    return W->Page(topology)->ValueLabel(symbol)->text();
}

void TestMainWindow::startUpState()
{
    QCOMPARE(W->windowTitle(), EmptyCaption);
    QVERIFY(W->Action("Medium1")->isChecked());
    QVERIFY(!W->Action("Low1")->isChecked());
    QVERIFY(!W->Action("High1")->isChecked());
    QVERIFY(!W->Action("Autoscale1")->isChecked());
    QVERIFY(!W->Action("actPlotCycleColour")->isChecked());
    QVERIFY(!W->Action("actFileSave")->isEnabled());
    QCOMPARE(W->Pages()->currentIndex(), int(PageNamed("Fender")));
    QCOMPARE(W->Pages()->tabText(0), QString("Fender"));
    for (int slider = 0; slider < BuiltInControl::Count; ++slider) {
        QCOMPARE(W->Slider(slider)->value(), 50);
        QVERIFY(W->Slider(slider)->isEnabled());
    }

    const QStringList symbols{"FG", "FR1", "FR2", "FR3", "FR4", "FR5", "FC1", "FC2", "FC3"};
    const QStringList shown{"38k", "100k", "250k", "250k", "10k", "1M", "250p", "100n", "47n"};
    for (int i = 0; i < symbols.size(); ++i)
        QCOMPARE(LabelText(PageNamed("Fender"), symbols[i]), shown[i]);
    // Every page's labels are filled, not only the visible one.
    QCOMPARE(LabelText(PageNamed("Bench"), "SL2"), QString("20"));
    QCOMPARE(LabelText(PageNamed("Marshall"), "MG"), QString("1.3k"));

    QCOMPARE(W->Controls()->TaperLabel(BuiltInControl::Bass)->text(), QString("Log A"));
    QCOMPARE(W->Controls()->TaperLabel(BuiltInControl::Mid)->text(), QString("Linear"));
    QCOMPARE(W->Controls()->TaperLabel(BuiltInControl::Treble)->text(), QString("Log A"));

    QCOMPARE(W->Doc().Store().TraceCount, 1);
    QVERIFY(W->Traces().SnapshotButton()->isEnabled());
    QCOMPARE(W->Doc().Store().Traces[0], CoreTrace(TCircuit()));
    QCOMPARE(W->Plotter()->TraceColour(), clLime);
}

void TestMainWindow::sliderMoveRecalculatesAndMarks()
{
    QSlider *treble = W->Slider(BuiltInControl::Treble);
    treble->setValue(75);
    QCOMPARE(treble->toolTip(), QString("75%"));
    QCOMPARE(W->Doc().Circuit().Position(BuiltInControl::Treble), 75);
    QCOMPARE(W->Doc().Store().Traces[0], CoreTrace(CircuitAt(PageNamed("Fender"), 50, 50, 75)));
    QVERIFY(W->Doc().Store().Traces[0] != CoreTrace(TCircuit()));
    QCOMPARE(W->windowTitle(), EmptyCaption + " *");

    // The keyboard moves the same slider through the same handling.
    treble->setFocus();
    QTest::keyClick(treble, Qt::Key_Home);
    QCOMPARE(treble->value(), 0);
    QCOMPARE(treble->toolTip(), QString("0%"));
    QCOMPARE(W->Doc().Store().Traces[0], CoreTrace(CircuitAt(PageNamed("Fender"), 50, 50, 0)));
}

void TestMainWindow::eachChangeSweepsTheEngineOnce()
{
    // The accuracy check, the views and the sound share one sweep.
    const std::pair<const char *, std::function<void()>> changes[] = {
        {"slider", [this] { W->Slider(BuiltInControl::Bass)->setValue(80); }},
        {"page", [this] { W->Pages()->setCurrentIndex(PageNamed("Bench")); }},
        {"undo", [this] { W->Doc().UndoStack()->undo(); }},
        {"resolution", [this] { W->Action("High1")->trigger(); }},
        {"phase view shown", [this] {
             W->Action("actPlotViewPhase")->trigger();
             W->Slider(BuiltInControl::Treble)->setValue(10);
         }},
    };
    for (const auto &[what, change] : changes) {
        const long before = EngineSweepCount();
        change();
        QVERIFY2(EngineSweepCount() - before == 1, what);
    }
}

void TestMainWindow::pageChangeSetsSlidersAndTapers_data()
{
    QTest::addColumn<int>("topology");
    QTest::addColumn<QStringList>("tapers"); // Bass, Mid, Treble; "n/a" = disabled

    QTest::newRow("Vox") << PageNamed("Vox") << QStringList{"Log A", "n/a", "Log A"};
    QTest::newRow("Marshall") << PageNamed("Marshall") << QStringList{"Log B", "Linear", "Linear"};
    QTest::newRow("James") << PageNamed("James") << QStringList{"Log B", "n/a", "Log B"};
    QTest::newRow("E series") << PageNamed("E series") << QStringList{"Log A", "n/a", "Log A"};
    QTest::newRow("Bench") << PageNamed("Bench") << QStringList{"Log B", "Log B", "Log B"};
    QTest::newRow("Big muff") << PageNamed("Big muff") << QStringList{"n/a", "Linear", "n/a"};
}

void TestMainWindow::pageChangeSetsSlidersAndTapers()
{
    QFETCH(int, topology);
    QFETCH(QStringList, tapers);

    W->Slider(BuiltInControl::Bass)->setValue(20);
    W->Slider(BuiltInControl::Mid)->setValue(30);
    W->Slider(BuiltInControl::Treble)->setValue(40);
    W->Doc().SetModified(false);

    // The user clicks the page's tab.
    QTabBar *bar = W->Pages()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(int(topology)).center());
    QCOMPARE(W->Pages()->currentIndex(), int(topology));
    QCOMPARE(W->windowTitle(), EmptyCaption + " *");

    for (int slider = 0; slider < BuiltInControl::Count; ++slider) {
        const int i = int(slider);
        const bool inUse = tapers[i] != "n/a";
        QCOMPARE(W->Controls()->TaperLabel(slider)->text(), tapers[i]);
        QCOMPARE(W->Slider(slider)->isEnabled(), inUse);
        QCOMPARE(W->Controls()->Caption(slider)->isEnabled(), inUse);
        QCOMPARE(W->Controls()->TaperLabel(slider)->isEnabled(), inUse);
    }
    // Positions are shared by all pages, used or not.
    QCOMPARE(W->Slider(BuiltInControl::Bass)->value(), 20);
    QCOMPARE(W->Slider(BuiltInControl::Mid)->value(), 30);
    QCOMPARE(W->Slider(BuiltInControl::Treble)->value(), 40);
    QCOMPARE(W->Doc().Store().Traces[0], CoreTrace(CircuitAt(topology, 20, 30, 40)));

    SelectPage(PageNamed("Fender"));
    for (int slider = 0; slider < BuiltInControl::Count; ++slider)
        QVERIFY(W->Slider(slider)->isEnabled());
    QCOMPARE(W->Controls()->TaperLabel(BuiltInControl::Mid)->text(), QString("Linear"));
    QCOMPARE(W->Slider(BuiltInControl::Mid)->value(), 30);
    QCOMPARE(W->Doc().Store().Traces[0], CoreTrace(CircuitAt(PageNamed("Fender"), 20, 30, 40)));
}

// One row per kind of component dialog.
void TestMainWindow::confirmedEdit_data()
{
    QTest::addColumn<int>("topology");
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("shownBefore");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shownAfter");

    QTest::newRow("resistor") << PageNamed("Fender") << "FR1" << int(TElementKind::Resistor) << "100k" << "47k"
                              << 47000.0 << "47k";
    QTest::newRow("capacitor") << PageNamed("Fender") << "FC3" << int(TElementKind::Capacitor) << "47n" << "22n"
                               << 22e-9 << "22n";
    QTest::newRow("pot") << PageNamed("Fender") << "FR2" << int(TElementKind::Pot) << "250k" << "1M" << 1e6 << "1M";
    QTest::newRow("generator") << PageNamed("Fender") << "FG" << int(TElementKind::Generator) << "38k" << "1.5k"
                               << 1500.0 << "1.5k";
    QTest::newRow("inductor") << PageNamed("Bench") << "SL1" << int(TElementKind::Inductor) << "6" << "8" << 8.0
                              << "8";
    QTest::newRow("Big muff resistor") << PageNamed("Big muff") << "PR4" << int(TElementKind::Resistor) << "1M"
                                       << "470k" << 470000.0 << "470k";
}

void TestMainWindow::confirmedEdit()
{
    QFETCH(int, topology);
    QFETCH(QString, symbol);
    QFETCH(int, kind);
    QFETCH(QString, shownBefore);
    QFETCH(QString, typed);
    QFETCH(double, value);
    QFETCH(QString, shownAfter);

    SelectPage(topology);
    W->Doc().SetModified(false);
    int shownKind = -1;
    QString selected;
    const bool opened = WithEditDialog([&] { DoubleClickComponent(*W, symbol); },
                                       [&](TEditDialog &dialog) {
                                           shownKind = int(dialog.Kind());
                                           selected = dialog.SourceEdit()->selectedText();
                                           if (dialog.Kind() == TElementKind::Pot)
                                               dialog.StyleButton(PotLogB)->setChecked(true);
                                           if (dialog.Kind() == TElementKind::Inductor) {
                                               dialog.ResEdit()->setText("300");
                                               dialog.SourceEdit()->setFocus();
                                           }
                                           TypeAndOk(dialog, typed);
                                       });
    QVERIFY(opened);
    QCOMPARE(shownKind, kind);
    // The whole value is selected, so typing replaces it.
    QCOMPARE(selected, shownBefore);

    const TCircuitValues &symbols = W->Doc().Circuit().Symbols;
    QCOMPARE(symbols.GetValue(symbol.toStdString()), value);
    QCOMPARE(LabelText(topology, symbol), shownAfter);
    if (kind == int(TElementKind::Pot)) {
        QCOMPARE(int(symbols.GetPotType(symbol.toStdString())), int(PotLogB));
        QCOMPARE(W->Controls()->TaperLabel(BuiltInControl::Treble)->text(), QString("Log B"));
    }
    if (kind == int(TElementKind::Inductor))
        QCOMPARE(symbols.GetValueR(symbol.toStdString()), 300.0);
    QCOMPARE(W->Doc().Store().Traces[0], CoreTrace(W->Doc().Circuit()));
    QCOMPARE(W->windowTitle(), EmptyCaption + " *");
}

void TestMainWindow::cancelledEditChangesNothingButMarks_data()
{
    QTest::addColumn<int>("topology");
    QTest::addColumn<QString>("symbol");

    QTest::newRow("resistor") << PageNamed("Vox") << "VR5";
    QTest::newRow("capacitor") << PageNamed("James") << "BC2";
    QTest::newRow("pot") << PageNamed("Marshall") << "MR3";
    QTest::newRow("generator") << PageNamed("E series") << "EG";
    QTest::newRow("inductor") << PageNamed("Bench") << "SL2";
}

void TestMainWindow::cancelledEditChangesNothingButMarks()
{
    QFETCH(int, topology);
    QFETCH(QString, symbol);

    SelectPage(topology);
    W->Doc().SetModified(false);
    const std::string name = symbol.toStdString();
    const TCircuit before = W->Doc().Circuit();
    const QString shown = LabelText(topology, symbol);

    const bool opened = WithEditDialog([&] { DoubleClickComponent(*W, symbol); },
                                       [&](TEditDialog &dialog) {
                                           QTest::keyClicks(dialog.SourceEdit(), "1k");
                                           if (dialog.Kind() == TElementKind::Pot)
                                               dialog.StyleButton(PotLinear)->setChecked(true);
                                           QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
                                       });
    QVERIFY(opened);
    const TCircuitValues &symbols = W->Doc().Circuit().Symbols;
    QCOMPARE(symbols.GetValue(name), before.Symbols.GetValue(name));
    QCOMPARE(symbols.GetValueR(name), before.Symbols.GetValueR(name));
    if (symbol == "MR3")
        QCOMPARE(W->Controls()->TaperLabel(BuiltInControl::Bass)->text(), QString("Log B"));
    QCOMPARE(LabelText(topology, symbol), shown);
    QCOMPARE(W->Doc().Store().Traces[0], CoreTrace(before));
    QCOMPARE(W->windowTitle(), EmptyCaption + " *");
}

void TestMainWindow::escapeDoesNotCloseDialog()
{
    bool openAfterEscape = false;
    const bool opened = WithEditDialog([&] { DoubleClickComponent(*W, "FR5"); },
                                       [&](TEditDialog &dialog) {
                                           QTest::keyClicks(dialog.SourceEdit(), "2M");
                                           QTest::keyClick(dialog.SourceEdit(), Qt::Key_Escape);
                                           openAfterEscape = dialog.isVisible();
                                           // Enter still confirms what was typed.
                                           QTest::keyClick(dialog.SourceEdit(), Qt::Key_Return);
                                       });
    QVERIFY(opened);
    QVERIFY(openAfterEscape);
    QCOMPARE(W->Doc().Circuit().Symbols.GetValue("FR5"), 2e6);
}

void TestMainWindow::unconvertibleEntryKeepsDialogOpen_data()
{
    QTest::addColumn<int>("topology");
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<bool>("resField");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("fixed");
    QTest::addColumn<double>("value");

    QTest::newRow("resistor") << PageNamed("Fender") << "FR1" << false << "4k7" << "4.7k" << 4700.0;
    QTest::newRow("capacitor") << PageNamed("Fender") << "FC3" << false << "22nF" << "22n" << 22e-9;
    QTest::newRow("inductor resistance") << PageNamed("Bench") << "SL1" << true << "lots" << "300" << 300.0;
}

void TestMainWindow::unconvertibleEntryKeepsDialogOpen()
{
    QFETCH(int, topology);
    QFETCH(QString, symbol);
    QFETCH(bool, resField);
    QFETCH(QString, typed);
    QFETCH(QString, fixed);
    QFETCH(double, value);

    SelectPage(topology);
    const std::string name = symbol.toStdString();
    const TCircuit before = W->Doc().Circuit();
    for (const bool cancelAfterwards : {true, false}) {
        bool openAfterOk = false;
        QString reason, selected;
        bool marked = false, focused = false, cleared = false;
        const bool opened = WithEditDialog([&] { DoubleClickComponent(*W, symbol); },
                                           [&](TEditDialog &dialog) {
                                               QLineEdit *field = resField ? dialog.ResEdit() : dialog.SourceEdit();
                                               field->setText(typed);
                                               dialog.OkButton()->click();
                                               openAfterOk = dialog.isVisible();
                                               reason = dialog.Reason();
                                               marked = !field->styleSheet().isEmpty();
                                               focused = dialog.focusWidget() == field;
                                               selected = field->selectedText();
                                               if (cancelAfterwards) {
                                                   dialog.CancelButton()->click();
                                                   return;
                                               }
                                               QTest::keyClicks(field, fixed);
                                               cleared = field->styleSheet().isEmpty();
                                               dialog.OkButton()->click();
                                           });
        QVERIFY(opened);
        QVERIFY(openAfterOk);
        QCOMPARE(reason, QStringLiteral("Unable to convert \"%1\": a number with one of p n u m k M, such as 4.7k")
                             .arg(typed));
        QVERIFY(marked);
        QVERIFY(focused);
        QCOMPARE(selected, typed);
        const TCircuitValues &symbols = W->Doc().Circuit().Symbols;
        const double shown = resField ? symbols.GetValueR(name) : symbols.GetValue(name);
        const double old = resField ? before.Symbols.GetValueR(name) : before.Symbols.GetValue(name);
        if (cancelAfterwards) {
            QCOMPARE(shown, old);
        } else {
            QVERIFY(cleared);
            QCOMPARE(shown, value);
        }
    }
    // The next edit starts without the old complaint.
    QString reasonOnReopen = "unset";
    QVERIFY(WithEditDialog([&] { DoubleClickComponent(*W, symbol); },
                           [&](TEditDialog &dialog) { reasonOnReopen = dialog.Reason(); }));
    QCOMPARE(reasonOnReopen, QString());
}

void TestMainWindow::valueLabelOpensDialogFromKeyboard()
{
    QApplication::setActiveWindow(W.get());
    QVERIFY(QTest::qWaitForWindowActive(W.get()));
    TValueLabel *label = W->Page(PageNamed("Fender"))->ValueLabel("FC1");
    QVERIFY(label->focusPolicy() & Qt::TabFocus);
    label->setFocus();
    QVERIFY(label->hasFocus());

    TElementKind kind{};
    const bool opened = WithEditDialog([&] { QTest::keyClick(label, Qt::Key_Return); },
                                       [&](TEditDialog &dialog) {
                                           kind = dialog.Kind();
                                           QTest::keyClicks(dialog.SourceEdit(), "330p");
                                           QTest::keyClick(dialog.SourceEdit(), Qt::Key_Enter);
                                       });
    QVERIFY(opened);
    QCOMPARE(int(kind), int(TElementKind::Capacitor));
    QCOMPARE(W->Doc().Circuit().Symbols.GetValue("FC1"), 330e-12);
    QCOMPARE(label->text(), QString("330p"));
}

void TestMainWindow::editedValueSurvivesPageChange()
{
    QVERIFY(WithEditDialog([&] { DoubleClickComponent(*W, "FR1"); },
                           [&](TEditDialog &dialog) { TypeAndOk(dialog, "68k"); }));
    SelectPage(PageNamed("Vox"));
    QCOMPARE(W->Doc().Store().Traces[0], CoreTrace(CircuitAt(PageNamed("Vox"), 50, 50, 50)));
    SelectPage(PageNamed("Fender"));
    QCOMPARE(LabelText(PageNamed("Fender"), "FR1"), QString("68k"));
    QCOMPARE(W->Doc().Circuit().Symbols.GetValue("FR1"), 68000.0);
}

void TestMainWindow::sweep_data()
{
    QTest::addColumn<int>("topology");
    QTest::addColumn<int>("snapshots");
    // The slider moved in the first and in the last snapshot of the sweep.
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");

    const int bass = int(BuiltInControl::Bass), mid = int(BuiltInControl::Mid), treble = int(BuiltInControl::Treble);
    QTest::newRow("Fender") << PageNamed("Fender") << 9 << bass << treble;
    QTest::newRow("Vox") << PageNamed("Vox") << 6 << bass << treble;
    QTest::newRow("Marshall") << PageNamed("Marshall") << 9 << bass << treble;
    QTest::newRow("James") << PageNamed("James") << 6 << bass << treble;
    QTest::newRow("E series") << PageNamed("E series") << 6 << bass << treble;
    QTest::newRow("Bench") << PageNamed("Bench") << 9 << bass << treble;
    QTest::newRow("Big muff") << PageNamed("Big muff") << 3 << mid << mid;
}

void TestMainWindow::sweep()
{
    QFETCH(int, topology);
    QFETCH(int, snapshots);
    QFETCH(int, first);
    QFETCH(int, last);

    SelectPage(topology);
    W->Slider(BuiltInControl::Bass)->setValue(10);
    W->Slider(BuiltInControl::Mid)->setValue(80);
    W->Slider(BuiltInControl::Treble)->setValue(35);
    W->Traces().SnapshotButton()->click(); // thrown away by the sweep's Clear
    W->Doc().SetModified(false);

    QTest::mouseClick(W->Traces().SweepButton(), Qt::LeftButton);

    const TTraceStore &store = W->Doc().Store();
    QCOMPARE(store.TraceCount, snapshots + 1);
    QCOMPARE(W->Slider(BuiltInControl::Bass)->value(), 10);
    QCOMPARE(W->Slider(BuiltInControl::Mid)->value(), 80);
    QCOMPARE(W->Slider(BuiltInControl::Treble)->value(), 35);
    QCOMPARE(store.Traces[0], CoreTrace(CircuitAt(topology, 10, 80, 35)));
    QVERIFY(W->windowTitle().endsWith(" *"));
    QVERIFY(W->Traces().ClearButton()->isEnabled());

    std::array<int, 3> newest{50, 50, 50};
    newest[last] = 100;
    QCOMPARE(store.Traces[1], CoreTrace(CircuitAt(topology, newest[0], newest[1], newest[2])));
    std::array<int, 3> oldest{50, 50, 50};
    oldest[first] = 0;
    QCOMPARE(store.Traces[snapshots], CoreTrace(CircuitAt(topology, oldest[0], oldest[1], oldest[2])));
    // With cycling off every snapshot keeps the one live colour.
    for (int j = 1; j <= snapshots; ++j)
        QCOMPARE(store.TraceColours[j], clLime);
}

void TestMainWindow::sweepOnFenderFromOwnPositions()
{
    W->Slider(BuiltInControl::Bass)->setValue(20);
    W->Slider(BuiltInControl::Mid)->setValue(30);
    W->Slider(BuiltInControl::Treble)->setValue(40);
    W->Action("actPlotExample")->trigger();
    QCOMPARE(W->Doc().Store().TraceCount, 10);
    QCOMPARE(W->Doc().Store().Traces[1], CoreTrace(CircuitAt(PageNamed("Fender"), 50, 50, 100)));
    QCOMPARE(W->Doc().Store().Traces[0], CoreTrace(CircuitAt(PageNamed("Fender"), 20, 30, 40)));
    QCOMPARE(W->Slider(BuiltInControl::Treble)->toolTip(), QString("40%"));
}

void TestMainWindow::sweepOverChosenPoints()
{
    W->SweepPointsAnswer = std::vector<int>{0, 25, 50, 75, 100};
    W->Action("actPlotSweepPoints")->trigger();
    W->Action("actPlotExample")->trigger();
    QCOMPARE(W->Doc().Store().TraceCount, 16);
    QCOMPARE(W->Doc().Store().Labels[15], std::string("Bass 0%"));
    QCOMPARE(W->Doc().Store().Labels[2], std::string("Treble 75%"));
    QCOMPARE(W->Doc().Store().Traces[2], CoreTrace(CircuitAt(PageNamed("Fender"), 50, 50, 75)));

    // Eight positions of three controls would overflow the plot: said first,
    // and the plot keeps what it shows. One control has room for them.
    W->SweepPointsAnswer = std::vector<int>{0, 10, 20, 30, 40, 60, 80, 100};
    W->Action("actPlotSweepPoints")->trigger();
    W->Action("actPlotExample")->trigger();
    QCOMPARE(W->Warnings.size(), 1);
    QVERIFY2(W->Warnings[0].contains("takes 24 snapshots"), qPrintable(W->Warnings[0]));
    QCOMPARE(W->Doc().Store().TraceCount, 16);
    SelectPage(PageNamed("Big muff"));
    W->Action("actPlotExample")->trigger();
    QCOMPARE(W->Doc().Store().TraceCount, 9);

    // A cancelled choice keeps the positions.
    W->SweepPointsAnswer.reset();
    W->Action("actPlotSweepPoints")->trigger();
    QCOMPARE(W->Traces().SweepPoints().size(), std::size_t(8));

    // The dialog stays open on a text that does not read, or on positions
    // that overflow the plot with the page's three controls.
    TSweepPointsDialog dialog(W->Traces().SweepPoints(), 3, W.get());
    dialog.show();
    QCOMPARE(dialog.PointsEdit()->text(), QString("0, 10, 20, 30, 40, 60, 80, 100"));
    const std::pair<QString, QString> refused[] = {{"0, 50, 150", "\"150\""},
                                                   {"0, 10, 20, 30, 40, 60, 80, 100", "take 24 snapshots"}};
    for (const auto &[text, reason] : refused) {
        dialog.PointsEdit()->setText(text);
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        QVERIFY2(dialog.Problem()->text().contains(reason), qPrintable(dialog.Problem()->text()));
        QCOMPARE(dialog.PointsEdit()->selectedText(), text);
    }
    dialog.PointsEdit()->setText("100 0");
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.Points(), (std::vector<int>{0, 100}));
}

void TestMainWindow::snapshotsFillStoreAndClearEmptiesIt()
{
    QVERIFY(W->Traces().SnapshotButton()->isEnabled());
    for (int i = 1; i <= 23; ++i) {
        W->Slider(BuiltInControl::Bass)->setValue(i * 4);
        QTest::mouseClick(W->Traces().SnapshotButton(), Qt::LeftButton);
    }
    QCOMPARE(W->Doc().Store().TraceCount, MaxTraces);
    QVERIFY(!W->Traces().SnapshotButton()->isEnabled());
    QCOMPARE(W->statusBar()->currentMessage(), PlotFullText);
    QVERIFY(W->Traces().ClearButton()->isEnabled());
    QCOMPARE(W->Doc().Store().Traces[1], CoreTrace(CircuitAt(PageNamed("Fender"), 92, 50, 50)));

    // The menu item stays enabled but a full store takes nothing more.
    W->Slider(BuiltInControl::Bass)->setValue(0);
    const TTraceStore before = W->Doc().Store();
    W->Action("actPlotSnapshot")->trigger();
    QCOMPARE(W->Doc().Store().TraceCount, MaxTraces);
    QCOMPARE(W->Doc().Store().Traces, before.Traces);

    QTest::mouseClick(W->Traces().ClearButton(), Qt::LeftButton);
    QCOMPARE(W->Doc().Store().TraceCount, 1);
    QVERIFY(W->Traces().SnapshotButton()->isEnabled());
    QVERIFY(!W->Traces().ClearButton()->isEnabled());
    QCOMPARE(W->Doc().Store().Traces[0], CoreTrace(CircuitAt(PageNamed("Fender"), 0, 50, 50)));
    // Snapshots and Clear leave the circuit as saved.
    W->Doc().SetModified(false);
    W->Action("actPlotSnapshot")->trigger();
    W->Action("actPlotClear")->trigger();
    QCOMPARE(W->windowTitle(), EmptyCaption);
}

void TestMainWindow::cycleColoursAdvancesWithEachSnapshot()
{
    TPlotter *plotter = W->Plotter();
    const int start = plotter->ColourIndex();
    const TColor startColour = plotter->TraceColour();
    W->Action("actPlotCycleColour")->trigger();
    QVERIFY(W->Action("actPlotCycleColour")->isChecked());

    W->Action("actPlotExample")->trigger();
    const int n = int(PlotColours.size());
    QCOMPARE(plotter->ColourIndex(), (start + 9) % n);
    QCOMPARE(plotter->TraceColour(), PlotColours[(start + 9) % n]);
    // Each snapshot keeps the colour the live trace had when it was taken.
    const TTraceStore &store = W->Doc().Store();
    QCOMPARE(store.TraceColours[9], startColour);
    for (int k = 1; k < 9; ++k)
        QCOMPARE(store.TraceColours[9 - k], PlotColours[(start + k) % n]);

    // Twelve more steps wrap round the cycle.
    for (int i = 0; i < 12; ++i)
        W->Action("actPlotSnapshot")->trigger();
    QCOMPARE(plotter->ColourIndex(), (start + 21) % n);
}

void TestMainWindow::setColourTurnsCyclingOff()
{
    QAction *cycle = W->Action("actPlotCycleColour");
    cycle->trigger();
    W->ColourAnswer.reset(); // the user cancels the colour dialog
    W->Action("actPlotSetColour")->trigger();
    QVERIFY(cycle->isChecked());
    QCOMPARE(W->Plotter()->TraceColour(), clLime);

    W->ColourAnswer = QColor(200, 10, 30);
    W->Action("actPlotSetColour")->trigger();
    QVERIFY(!cycle->isChecked());
    QCOMPARE(W->Plotter()->TraceColour(), RGBColour(200, 10, 30));
    W->Plotter()->repaint();
    W->Action("actPlotSnapshot")->trigger();
    QCOMPARE(W->Doc().Store().TraceColours[1], RGBColour(200, 10, 30));
    // Cycling is off, so the snapshot did not move the live colour on.
    QCOMPARE(W->Plotter()->TraceColour(), RGBColour(200, 10, 30));
    QCOMPARE(W->windowTitle(), EmptyCaption);
}

void TestMainWindow::resolutionItems()
{
    auto checked = [this] {
        return QList<bool>{W->Action("Low1")->isChecked(), W->Action("Medium1")->isChecked(),
                           W->Action("High1")->isChecked()};
    };
    W->Slider(BuiltInControl::Mid)->setValue(70);
    W->Doc().SetModified(false);

    W->Action("Low1")->trigger();
    QCOMPARE(checked(), (QList<bool>{true, false, false}));
    const TTrace low = CoreTrace(CircuitAt(PageNamed("Fender"), 50, 70, 50, ResolutionLow));
    QCOMPARE(W->Doc().Store().Traces[0], low);
    QVERIFY(low != CoreTrace(CircuitAt(PageNamed("Fender"), 50, 70, 50, ResolutionMedium)));

    W->Action("High1")->trigger();
    QCOMPARE(checked(), (QList<bool>{false, false, true}));
    QCOMPARE(W->Doc().Store().Traces[0], CoreTrace(CircuitAt(PageNamed("Fender"), 50, 70, 50, ResolutionHigh)));

    // Choosing the checked item again keeps it checked.
    W->Action("High1")->trigger();
    QCOMPARE(checked(), (QList<bool>{false, false, true}));
    // The resolution is not part of the circuit.
    QCOMPARE(W->windowTitle(), EmptyCaption);

    // Page changes keep the chosen resolution.
    SelectPage(PageNamed("Bench"));
    QCOMPARE(W->Doc().Store().Traces[0], CoreTrace(CircuitAt(PageNamed("Bench"), 50, 70, 50, ResolutionHigh)));
}

void TestMainWindow::autoYScaleTogglesPlotScale()
{
    const TPlotScale fixed = W->Views().Scale();
    QCOMPARE(fixed.PlotTopDB, 0);
    QCOMPARE(fixed.PlotBottomDB, -50);

    W->Action("Autoscale1")->trigger();
    QVERIFY(W->Action("Autoscale1")->isChecked());
    QVERIFY(W->Views().Scale().AutoYScale);
    W->Plotter()->repaint();
    // The default Fender curve lies well below 0 dB, so a fitted scale moves.
    QVERIFY(W->Views().Scale().PlotTopDB < 0);
    double highest = W->Doc().Store().Traces[0][0];
    for (double db : W->Doc().Store().Traces[0])
        highest = std::max(highest, db);
    QVERIFY(W->Views().Scale().PlotTopDB >= highest);

    W->Action("Autoscale1")->trigger();
    QVERIFY(!W->Views().Scale().AutoYScale);
    W->Plotter()->repaint();
    QCOMPARE(W->Views().Scale().PlotTopDB, 0);
    QCOMPARE(W->Views().Scale().PlotBottomDB, -50);
    QCOMPARE(W->windowTitle(), EmptyCaption);
}

void TestMainWindow::resizeGrowsPlotAndSchematic()
{
    TPlotter *plotter = W->Plotter();
    const QRect before = plotter->geometry();
    const QPoint corner = plotter->mapTo(W->centralWidget(), QPoint(0, 0));
    const QRect pages = W->Pages()->geometry();
    const QPoint snapshot = W->Traces().SnapshotButton()->pos();

    W->ColourAnswer = QColor(255, 0, 255);
    W->Action("actPlotSetColour")->trigger();
    W->Traces().SnapshotButton()->click();

    W->resize(W->size() + QSize(100, 50));
    // The plot takes the new height and a share of the width, at the same top.
    QTRY_COMPARE(plotter->height(), before.height() + 50);
    QVERIFY(plotter->width() > before.width() + 30);
    QCOMPARE(plotter->mapTo(W->centralWidget(), QPoint(0, 0)).y(), corner.y());
    QCOMPARE(W->Plotter(), plotter);
    QCOMPARE(plotter->TraceColour(), clFuchsia);
    QCOMPARE(W->Doc().Store().TraceCount, 2);
    // The grid follows the new width: 10 Hz on the frame's left edge at any size.
    QCOMPARE(plotter->FreqToX(10.0), plotter->Geometry().FrameLeft);
    QVERIFY(plotter->FreqToX(1000.0) > (PlotGeometry(before.size(), W->Views().Scale(), QFontMetrics(PlotLabelFont()))
                                            .FreqToX(1000.0)));

    // The schematic grows from where it was; the buttons stay above the plot.
    QCOMPARE(W->Pages()->pos(), pages.topLeft());
    QVERIFY(W->Pages()->width() > pages.width() && W->Pages()->height() > pages.height());
    QCOMPARE(W->Traces().SnapshotButton()->y(), snapshot.y());
}

void TestMainWindow::cursorReadoutInStatusBar()
{
    TPlotter *plotter = W->Plotter();
    QStatusBar *status = W->statusBar();
    const TPlotGeometry geometry = plotter->Geometry();
    const int x = plotter->FreqToX(1000.0) + 3;
    // Qt drops a move to where the pointer already is, so start elsewhere.
    QTest::mouseMove(plotter, QPoint(x, 2));
    QTest::mouseMove(plotter, QPoint(x, 200));
    const double frequency = geometry.XToFreq(x);
    QTRY_COMPARE(status->currentMessage(),
                 LiveReadoutText(W->Doc().Store(), frequency));

    // Moving a slider under a resting pointer updates the readout too.
    W->Slider(BuiltInControl::Bass)->setValue(100);
    plotter->repaint();
    QCOMPARE(status->currentMessage(), LiveReadoutText(W->Doc().Store(), frequency));

    QTest::mouseMove(plotter, QPoint(x, 2)); // above the frame
    QTRY_COMPARE(status->currentMessage(), QString());
}


void TestMainWindow::helpKeyOpensTheContextOfWhereItIsPressed()
{
    QApplication::setActiveWindow(W.get());
    QVERIFY(QTest::qWaitForWindowActive(W.get()));
    // At start-up the focus is on the page tabs: F1 is the window's.
    QVERIFY(W->Pages()->isAncestorOf(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    W->Page(PageNamed("Fender"))->ValueLabel("FR1")->setFocus();
    QTest::keyClick(W->Page(PageNamed("Fender"))->ValueLabel("FR1"), Qt::Key_F1);
    // The menu item opens the contents wherever the focus is.
    W->Action("Contents1")->trigger();
    QCOMPARE(W->HelpContexts, (QList<int>{1, 3, 1}));

    // Each dialog asks for its own topic; the inductor dialog has none.
    const std::pair<const char *, int> dialogs[] = {{"FR1", 20}, {"FG", 21}, {"FC1", 22}, {"FR2", 23}, {"SL1", 0}};
    for (const auto &[symbol, context] : dialogs) {
        SelectPage(QString(symbol).startsWith('S') ? PageNamed("Bench") : PageNamed("Fender"));
        W->HelpContexts.clear();
        const bool opened = WithEditDialog([&] { DoubleClickComponent(*W, symbol); },
                                           [&](TEditDialog &dialog) {
                                               QTest::keyClick(dialog.SourceEdit(), Qt::Key_F1);
                                               dialog.CancelButton()->click();
                                           });
        QVERIFY(opened);
        QCOMPARE(W->HelpContexts, context ? QList<int>{context} : QList<int>{});
    }
}


// A Bench load of 1e12 ohm is beyond what the loop model computes
// accurately: the status bar says so until the value is back in range.
void TestMainWindow::accuracyWarningFollowsTheValues()
{
    SelectPage(PageNamed("Bench"));
    QVERIFY(W->AccuracyWarning()->isHidden());
    auto edit = [&](const QString &value) {
        QVERIFY(WithEditDialog([&] { DoubleClickComponent(*W, "SR5"); },
                               [&](TEditDialog &dialog) { TypeAndOk(dialog, value); }));
    };
    edit("1000000M");
    QVERIFY(W->AccuracyWarning()->isVisible());
    QVERIFY(W->AccuracyWarning()->Notice().startsWith("The values are outside the range the model computes accurately"));
    QCOMPARE(W->AccuracyWarning()->toolTip(), W->AccuracyWarning()->Notice());
    edit("5.1k");
    QVERIFY(W->AccuracyWarning()->isHidden());
}

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
