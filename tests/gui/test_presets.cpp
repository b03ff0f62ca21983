// Presets in the desktop program: the menu and the choice above the
// schematic follow the page, and applying one keeps the old curve, marks the
// circuit modified and says where the values come from.

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QStatusBar>
#include <memory>

#include "TestWindow.h"

using namespace cva;
using namespace cva::test;

class TestPresets : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        W = std::make_unique<TTestWindow>();
        W->SetPresetLibrary(LoadPresetFolder(CORVANTA_PRESET_DIR));
        W->show();
    }
    void cleanup() { W.reset(); }

    void choicesFollowTheActivePage();
    void applyingKeepsTheOldCurveAndMarksTheCircuit();
    void unusableFilesAreReportedOnceTheWindowIsUp();

private:
    QStringList MenuItems() const
    {
        QStringList items;
        for (QAction *action : W->PresetMenu()->actions())
            items << action->text();
        return items;
    }
    QStringList ComboItems() const
    {
        QStringList items;
        for (int i = 0; i < W->PresetChoice()->count(); ++i)
            items << W->PresetChoice()->itemText(i);
        return items;
    }

    std::unique_ptr<TTestWindow> W;
};

void TestPresets::choicesFollowTheActivePage()
{
    for (const TTopologyInfo &info : Topologies()) {
        W->Pages()->setCurrentIndex(static_cast<int>(info.Id));
        QStringList expected;
        for (const TPreset *preset : W->Presets().ForPage(info.Id))
            expected << QString::fromStdString(preset->Name);
        QCOMPARE(ComboItems(), expected);
        QCOMPARE(W->PresetChoice()->isEnabled(), !expected.isEmpty());
        if (expected.isEmpty()) {
            QCOMPARE(W->PresetMenu()->actions().size(), 1);
            QVERIFY(!W->PresetMenu()->actions().front()->isEnabled());
        } else {
            QCOMPARE(MenuItems(), expected);
        }
    }
    W->Pages()->setCurrentIndex(static_cast<int>(Topology::Marshall));
    QVERIFY(ComboItems().contains("Bassman 5F6-A"));
}

void TestPresets::applyingKeepsTheOldCurveAndMarksTheCircuit()
{
    W->Pages()->setCurrentIndex(static_cast<int>(Topology::Marshall));
    W->SetModified(false);
    const TTrace before = W->Store().Traces[0];
    const int index = W->PresetChoice()->findText("JCM800 2203");
    QVERIFY(index >= 0);
    W->PresetChoice()->activated(index);

    QCOMPARE(W->Store().TraceCount, 2);
    QCOMPARE(W->Store().Traces[1], before);
    QCOMPARE(W->Circuit().Symbols.GetValue("MR4"), 22000.0);
    QCOMPARE(W->Store().Traces[0], CoreTrace(W->Circuit()));
    QVERIFY(W->windowTitle().endsWith(" *"));
    QCOMPARE(W->PresetChoice()->currentIndex(), -1);
    const QString status = W->statusBar()->currentMessage();
    QVERIFY2(status.contains("JCM800 2203") && status.contains("tonestacks.lib"), qPrintable(status));

    // The menu applies the same way; the values are the preset's whatever came before.
    W->PresetMenu()->actions().at(MenuItems().indexOf("Bassman 5F6-A"))->trigger();
    QCOMPARE(W->Store().TraceCount, 3);
    QCOMPARE(W->Circuit().Symbols.GetValue("MR1"), 56000.0);
    QCOMPARE(W->Circuit().Active, Topology::Marshall);
}

void TestPresets::unusableFilesAreReportedOnceTheWindowIsUp()
{
    TPresetLibrary library;
    library.Warnings = {"Preset a.cvp left out: x", "Preset b.cvp left out: y"};
    W->SetPresetLibrary(library);
    QCOMPARE(ComboItems(), QStringList());
    W->ReportPresetWarnings();
    QCOMPARE(W->Errors, QStringList{"Preset a.cvp left out: x\nPreset b.cvp left out: y"});
}

QTEST_MAIN(TestPresets)
#include "test_presets.moc"
