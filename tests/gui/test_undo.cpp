// Undo and redo in the desktop program: every change that marks the circuit
// modified is one step, taken back and done again whole (circuit, controls,
// curve, file name), and the modified mark follows where the circuit was
// loaded or saved.

#include <QAction>
#include <QComboBox>
#include <QTemporaryDir>
#include <QUndoStack>
#include <memory>

#include "TestWindow.h"
#include "document/CircuitFile.h"

using namespace cva;
using namespace cva::test;

namespace {

const QString EmptyCaption = QStringLiteral("Corvanta 1.3 <empty file>");

} // namespace

class TestUndo : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        W = std::make_unique<TTestWindow>();
        W->Presets().SetLibrary(LoadPresetFolder(CORVANTA_PRESET_DIR));
        W->show();
        // The keys reach the Edit menu's shortcuts in the active window.
        QApplication::setActiveWindow(W.get());
        QVERIFY(QTest::qWaitForWindowActive(W.get()));
        QVERIFY(Dir.isValid());
    }
    void cleanup() { W.reset(); }

    void everyChangeIsOneStep_data();
    void everyChangeIsOneStep();
    void aDragIsOneStep();
    void theMarkFollowsTheSavedState();

private:
    // The window shows the circuit it holds: page, sliders, labels and curve.
    void VerifyShown(const TCircuit &circuit)
    {
        QCOMPARE(W->Doc().Circuit(), circuit);
        QCOMPARE(W->Pages()->currentIndex(), int(circuit.Active));
        for (int slider = 0; slider < BuiltInControl::Count; ++slider)
            QCOMPARE(W->Slider(slider)->value(), circuit.Position(slider));
        auto *page = W->Page(circuit.Active);
        for (const QString &symbol : page->Symbols())
            QCOMPARE(page->ValueLabel(symbol)->text(),
                     QString::fromStdString(circuit.Symbols.GetCaption(symbol.toStdString())));
        QCOMPARE(W->Doc().Store().Traces[0], CoreTrace(circuit));
    }

    std::unique_ptr<TTestWindow> W;
    QTemporaryDir Dir;
};

void TestUndo::everyChangeIsOneStep_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("undoText");
    QTest::newRow("slider key") << "key" << "&Undo Move Treble to 51%";
    QTest::newRow("page") << "page" << "&Undo Change to Vox";
    QTest::newRow("component") << "component" << "&Undo Change FR1";
    QTest::newRow("preset") << "preset" << "&Undo Preset JCM800 2203";
    QTest::newRow("open") << "open" << "&Undo Open other.cva";
    QTest::newRow("new") << "new" << "&Undo New circuit";
}

void TestUndo::everyChangeIsOneStep()
{
    QFETCH(QString, change);
    QFETCH(QString, undoText);

    W->Slider(BuiltInControl::Bass)->setValue(20);
    if (change == "preset")
        W->Pages()->setCurrentIndex(int(PageNamed("Marshall")));
    W->Doc().SetModified(false);
    const TCircuit before = W->Doc().Circuit();
    const QString caption = W->windowTitle();
    const int steps = W->Doc().UndoStack()->count();

    if (change == "key") {
        W->Slider(BuiltInControl::Treble)->setFocus();
        QTest::keyClick(W->Slider(BuiltInControl::Treble), Qt::Key_Right);
    } else if (change == "page") {
        W->Pages()->setCurrentIndex(int(PageNamed("Vox")));
    } else if (change == "component") {
        QVERIFY(WithEditDialog([&] { DoubleClickComponent(*W, "FR1"); },
                               [](TEditDialog &dialog) { TypeAndOk(dialog, "47k"); }));
    } else if (change == "preset") {
        W->Presets().Choice()->activated(W->Presets().Choice()->findText("JCM800 2203"));
    } else if (change == "open") {
        const QString path = Dir.filePath("other.cva");
        SaveCircuitFile(path.toStdString(), CircuitAt(PageNamed("James"), 5, 60, 95));
        QVERIFY(W->Files().OpenFile(path));
    } else if (change == "new") {
        W->Files().New();
    }
    const TCircuit after = W->Doc().Circuit();
    const QString afterCaption = W->windowTitle();
    const std::string afterLabel = W->Doc().Store().Labels[0];
    QVERIFY(after != before);
    QCOMPARE(W->Doc().UndoStack()->count(), steps + 1);
    QCOMPARE(W->Action("actEditUndo")->text(), undoText);

    // Ctrl+Z as the user presses it, back in the window after any dialog.
    QApplication::setActiveWindow(W.get());
    QTest::keyClick(W.get(), Qt::Key_Z, Qt::ControlModifier);
    VerifyShown(before);
    const bool fileChange = change == "open" || change == "new";
    // Back before a load the circuit is no longer the one on disk.
    QCOMPARE(W->windowTitle(), fileChange ? caption + " *" : caption);
    QVERIFY(W->Doc().Store().Labels[0].empty());

    QTest::keyClick(W.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    VerifyShown(after);
    QCOMPARE(W->windowTitle(), afterCaption);
    QCOMPARE(W->Doc().Store().Labels[0], afterLabel);
}

void TestUndo::aDragIsOneStep()
{
    QSlider *bass = W->Slider(BuiltInControl::Bass);
    const int steps = W->Doc().UndoStack()->count();
    bass->setSliderDown(true);
    for (int position : {40, 30, 20, 10})
        bass->setValue(position);
    bass->setSliderDown(false);
    QCOMPARE(W->Doc().UndoStack()->count(), steps + 1);
    QCOMPARE(W->Action("actEditUndo")->text(), "&Undo Move Bass to 10%");
    W->Action("actEditUndo")->trigger();
    VerifyShown(CircuitAt(PageNamed("Fender"), 50, 50, 50));

    // A drag back to where it began is no step, but it moved the slider.
    bass->setSliderDown(true);
    bass->setValue(70);
    bass->setValue(50);
    bass->setSliderDown(false);
    QCOMPARE(W->Doc().UndoStack()->count(), steps + 1);
    QCOMPARE(W->windowTitle(), EmptyCaption + " *");
}

void TestUndo::theMarkFollowsTheSavedState()
{
    W->Slider(BuiltInControl::Mid)->setValue(70);
    W->SaveAnswer = Dir.filePath("saved.cva");
    QVERIFY(W->Files().SaveAs());
    const QString saved = W->windowTitle();
    QVERIFY(!saved.endsWith(" *"));

    W->Slider(BuiltInControl::Mid)->setValue(80);
    QCOMPARE(W->windowTitle(), saved + " *");
    W->Action("actEditUndo")->trigger();
    QCOMPARE(W->windowTitle(), saved);
    W->Action("actEditUndo")->trigger();
    QCOMPARE(W->windowTitle(), saved + " *");
    W->Action("actEditRedo")->trigger();
    QCOMPARE(W->windowTitle(), saved);

    // A cancelled dialog changes nothing to take back, yet counts as an edit;
    // the curve keeps its label.
    QVERIFY(W->Files().OpenFile(Dir.filePath("saved.cva")));
    const int steps = W->Doc().UndoStack()->count();
    QVERIFY(WithEditDialog([&] { DoubleClickComponent(*W, "FR1"); }, [](TEditDialog &dialog) { dialog.reject(); }));
    QCOMPARE(W->Doc().UndoStack()->count(), steps);
    QCOMPARE(W->windowTitle(), saved + " *");
    QCOMPARE(W->Doc().Store().Labels[0], std::string("saved.cva"));
}

QTEST_MAIN(TestUndo)
#include "test_undo.moc"
