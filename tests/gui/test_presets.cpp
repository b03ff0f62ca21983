// Comparing presets in the desktop program: the menu and the choice above
// the schematic follow the page; applying one keeps the old curve, marks the
// circuit modified and says where the values come from; each snapshot is
// labelled with what it shows and can be renamed, hidden and removed.

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <memory>

#include "pages/BuiltInCircuits.h"
#include "TestWindow.h"
#include "document/CircuitFile.h"

using namespace cva;
using namespace cva::test;

class TestPresets : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        W = std::make_unique<TTestWindow>();
        W->Presets().SetLibrary(LoadPresetFolder(CORVANTA_PRESET_DIR));
        W->show();
    }
    void cleanup() { W.reset(); }

    void choicesFollowTheActivePage();
    void applyingKeepsTheOldCurveAndMarksTheCircuit();
    void onlyAnExplicitChoiceApplies();
    void unusableFilesAreReportedOnceTheWindowIsUp();
    void labelsSayWhatEachSnapshotShows();
    void eachSnapshotCanBeRenamedHiddenAndRemoved();

private:
    QStringList MenuItems() const
    {
        QStringList items;
        for (QAction *action : PresetActions())
            items << action->text().replace("&&", "&"); // as the menu shows it
        return items;
    }
    // The menu's presets, without the Examples below them.
    QList<QAction *> PresetActions() const
    {
        QList<QAction *> actions = W->Presets().Menu()->actions();
        actions.removeIf([](QAction *action) { return action->isSeparator() || action->menu(); });
        return actions;
    }
    QStringList ComboItems() const
    {
        QStringList items;
        for (int i = 0; i < W->Presets().Choice()->count(); ++i)
            items << W->Presets().Choice()->itemText(i);
        return items;
    }

    QStringList Labels() const
    {
        QStringList labels;
        for (int slot = 1; slot < W->Doc().Store().TraceCount; ++slot)
            labels << QString::fromStdString(W->Doc().Store().Labels[slot]);
        return labels;
    }
    // The actions of snapshot `slot` in the Snapshots menu: Show, Rename, Remove.
    QList<QAction *> ItemActions(QMenu &menu, int slot)
    {
        W->Traces().FillSnapshotMenu(&menu);
        return menu.actions().at(slot - 1)->menu()->actions();
    }

    std::unique_ptr<TTestWindow> W;
};

void TestPresets::choicesFollowTheActivePage()
{
    for (const TCircuitDef &info : BuiltInCircuits()) {
        W->Pages()->setCurrentIndex(static_cast<int>(PageNamed(info.TabCaption)));
        QStringList expected;
        for (const TPreset *preset : W->Presets().Library().ForPage(PageNamed(info.TabCaption)))
            expected << QString::fromStdString(preset->Name);
        QCOMPARE(ComboItems(), expected);
        QCOMPARE(W->Presets().Choice()->isEnabled(), !expected.isEmpty());
        if (expected.isEmpty()) {
            QCOMPARE(PresetActions().size(), 1);
            QVERIFY(!PresetActions().front()->isEnabled());
        } else {
            QCOMPARE(MenuItems(), expected);
        }
    }
    W->Pages()->setCurrentIndex(static_cast<int>(PageNamed("Marshall")));
    QVERIFY(ComboItems().contains("Bassman 5F6-A"));
}

void TestPresets::applyingKeepsTheOldCurveAndMarksTheCircuit()
{
    W->Pages()->setCurrentIndex(static_cast<int>(PageNamed("Marshall")));
    W->Doc().SetModified(false);
    const TTrace before = W->Doc().Store().Traces[0];
    const int index = W->Presets().Choice()->findText("JCM800 2203");
    QVERIFY(index >= 0);
    W->Presets().Choice()->activated(index);

    QCOMPARE(W->Doc().Store().TraceCount, 2);
    QCOMPARE(W->Doc().Store().Traces[1], before);
    QCOMPARE(W->Doc().Circuit().Symbols.GetValue("MR4"), 22000.0);
    QCOMPARE(W->Doc().Store().Traces[0], CoreTrace(W->Doc().Circuit()));
    QVERIFY(W->windowTitle().endsWith(" *"));
    QCOMPARE(W->Presets().Choice()->currentIndex(), -1);
    const QString status = W->statusBar()->currentMessage();
    QVERIFY2(status.contains("JCM800 2203") && status.contains("tonestacks.lib"), qPrintable(status));

    // The menu applies the same way; the values are the preset's whatever came before.
    PresetActions().at(MenuItems().indexOf("Bassman 5F6-A"))->trigger();
    QCOMPARE(W->Doc().Store().TraceCount, 3);
    QCOMPARE(W->Doc().Circuit().Symbols.GetValue("MR1"), 56000.0);
    QCOMPARE(W->Doc().Circuit().Active, PageNamed("Marshall"));

    // Taking a preset back takes its message with it.
    QVERIFY(W->statusBar()->currentMessage().contains("Bassman 5F6-A"));
    W->Doc().UndoStack()->undo();
    QVERIFY(W->statusBar()->currentMessage().isEmpty());
}

void TestPresets::onlyAnExplicitChoiceApplies()
{
    W->Pages()->setCurrentIndex(PageNamed("Marshall"));
    QComboBox *box = W->Presets().Choice();
    const TCircuit before = W->Doc().Circuit();
    QVERIFY(QTest::qWaitForWindowActive(W.get()));
    QVERIFY(!box->hasFocus()); // a window-wide key must not reach it at start
    box->setFocus();
    // Wheel notches and navigation keys on the closed box apply nothing.
    QWheelEvent wheel(QPointF(5, 5), box->mapToGlobal(QPointF(5, 5)), {}, QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(box, &wheel);
    for (Qt::Key key : {Qt::Key_End, Qt::Key_Home, Qt::Key_Down, Qt::Key_J}) {
        QTest::keyClick(box, key);
        box->hidePopup();
    }
    QCOMPARE(W->Doc().Store().TraceCount, 1);
    QVERIFY(W->Doc().Circuit() == before);
    // Enter on an entry of the open list applies it.
    box->showPopup();
    box->view()->setCurrentIndex(box->model()->index(box->findText("JCM800 2203"), 0));
    QTest::keyClick(box->view(), Qt::Key_Return);
    QCOMPARE(W->Doc().Store().TraceCount, 2);
    QCOMPARE(W->Doc().Store().Labels[0], std::string("JCM800 2203"));
}

void TestPresets::unusableFilesAreReportedOnceTheWindowIsUp()
{
    TPresetLibrary library;
    library.Warnings = {"Preset a.cvp left out: x", "Preset b.cvp left out: y"};
    W->Presets().SetLibrary(library);
    QCOMPARE(ComboItems(), QStringList());
    W->Presets().ReportWarnings();
    QCOMPARE(W->Warnings, QStringList{"Preset a.cvp left out: x\nPreset b.cvp left out: y"});
}

void TestPresets::labelsSayWhatEachSnapshotShows()
{
    W->Traces().SnapshotButton()->click();
    W->Traces().SnapshotButton()->click();
    QCOMPARE(Labels(), (QStringList{"Snapshot 2", "Snapshot 1"}));

    // A preset's curve is labelled with its name once a snapshot keeps it.
    W->Pages()->setCurrentIndex(int(PageNamed("Marshall")));
    W->Presets().Apply("JTM45");
    W->Presets().Apply("Bassman 5F6-A");
    QCOMPARE(Labels().mid(0, 2), (QStringList{"JTM45", "Snapshot 3"}));
    W->Traces().SnapshotButton()->click();
    QCOMPARE(Labels().front(), "Bassman 5F6-A");

    // So is an opened file's; a change makes the live curve anonymous again.
    QTemporaryDir dir;
    const QString path = dir.filePath("mine.cva");
    SaveCircuitFile(path.toStdString(), TCircuit());
    QVERIFY(W->Files().OpenFile(path));
    QCOMPARE(Labels().front(), "Bassman 5F6-A");
    W->Traces().SnapshotButton()->click();
    QCOMPARE(Labels().front(), "mine.cva");
    // Save As gives the live curve the file's new name, and so its snapshots.
    W->SaveAnswer = dir.filePath("yours.cva");
    QVERIFY(W->Files().SaveAs());
    QCOMPARE(W->Doc().Store().Labels[0], std::string("yours.cva"));
    W->Slider(BuiltInControl::Bass)->setValue(10);
    W->Traces().SnapshotButton()->click();
    QCOMPARE(Labels().front(), "Snapshot 4");

    // A sweep names each position; Clear starts the numbers afresh.
    W->Pages()->setCurrentIndex(int(PageNamed("Big muff")));
    W->Traces().SweepButton()->click();
    QCOMPARE(Labels(), (QStringList{"Mid 100%", "Mid 50%", "Mid 0%"}));
    W->Traces().ClearButton()->click();
    W->Traces().SnapshotButton()->click();
    QCOMPARE(Labels(), QStringList{"Snapshot 1"});
}

void TestPresets::eachSnapshotCanBeRenamedHiddenAndRemoved()
{
    for (int i = 0; i < 3; ++i)
        W->Traces().SnapshotButton()->click();
    QMenu menu;
    W->SnapshotLabelAnswer = "  Before the mod ";
    ItemActions(menu, 2).at(1)->trigger();
    QCOMPARE(Labels(), (QStringList{"Snapshot 3", "Before the mod", "Snapshot 1"}));
    W->SnapshotLabelAnswer = std::nullopt; // cancelled: the label stays
    ItemActions(menu, 2).at(1)->trigger();
    QCOMPARE(Labels().at(1), "Before the mod");

    ItemActions(menu, 1).at(0)->setChecked(false);
    QVERIFY(!W->Doc().Store().Shown(1));
    QCOMPARE(menu.actions().at(0)->text(), "Snapshot 3"); // the menu built before the change
    W->Traces().FillSnapshotMenu(&menu);
    QCOMPARE(menu.actions().at(0)->text(), "Snapshot 3 (hidden)");

    ItemActions(menu, 2).at(2)->trigger();
    QCOMPARE(Labels(), (QStringList{"Snapshot 3", "Snapshot 1"}));
    QVERIFY(!W->Doc().Store().Shown(1));
    ItemActions(menu, 1).at(2)->trigger();
    ItemActions(menu, 1).at(2)->trigger();
    QCOMPARE(W->Doc().Store().TraceCount, 1);
    QVERIFY(!W->Traces().ClearButton()->isEnabled());
    W->Traces().FillSnapshotMenu(&menu);
    QCOMPARE(menu.actions().size(), 1);
    QVERIFY(!menu.actions().front()->isEnabled());
}

QTEST_MAIN(TestPresets)
#include "test_presets.moc"
