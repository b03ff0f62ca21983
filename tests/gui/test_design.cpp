// The design aids of the main window: snapping to E-series values as one
// undo step, a measured curve as a snapshot, and the tolerance band that a
// worker computes behind the live curve.

#include <cmath>
#include <memory>

#include <QAction>
#include <QDoubleSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QUndoStack>

#include "TestWindow.h"
#include "app/ToleranceBandDialog.h"
#include "document/Catalogue.h"
#include "plot/Plotter.h"

using namespace cva;
using namespace cva::test;

namespace {

bool IsSnappable(const TSymbol &symbol)
{
    return dynamic_cast<const TSymbolResistor *>(&symbol) || dynamic_cast<const TSymbolCapacitor *>(&symbol);
}

} // namespace

class TestDesign : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        W = std::make_unique<TTestWindow>();
        W->show();
        QVERIFY(QTest::qWaitForWindowExposed(W.get()));
    }
    void cleanup() { W.reset(); }

    void snapIsOneUndoStep();
    void importShowsTheCurveAsASnapshot();
    void importRefusesABadFile_data();
    void importRefusesABadFile();
    void bandEnclosesTheLiveCurve_data();
    void bandEnclosesTheLiveCurve();
    void aChangeDropsTheBandUntilTheNextIsReady();
    void aCircuitWithoutBandSaysWhy();
    void exportCarriesTheBand();
    void dialogKeepsKindAndPartTolerances();

private:
    void SetFr1(double value)
    {
        W->Doc().Apply({.What = "Change FR1", .Edit = [value](TCircuit &circuit) {
                            circuit.Symbols.Page(circuit.Active).AddResistor("FR1", value);
                        }});
    }
    QString WriteFile(const QString &name, const QByteArray &text)
    {
        const QString path = Dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            return {};
        return path;
    }

    std::unique_ptr<TTestWindow> W;
    QTemporaryDir Dir;
};

void TestDesign::snapIsOneUndoStep()
{
    SetFr1(50e3);
    const TCircuit before = W->Doc().Circuit();
    const int steps = W->Doc().UndoStack()->count();
    W->Action("actEditSnapE12")->trigger();
    QCOMPARE(W->Doc().UndoStack()->count(), steps + 1);
    QCOMPARE(W->Doc().Circuit().ActiveValues().Find("FR1").GetValue(), 47e3);
    // Every resistor and capacitor is an E12 value now; pots and the source stay.
    for (const auto &entry : W->Doc().Circuit().ActiveValues()) {
        const double value = entry.Symbol->GetValue();
        if (IsSnappable(*entry.Symbol))
            QCOMPARE(NearestESeriesValue(value, TESeries::E12), value);
        else
            QCOMPARE(value, before.ActiveValues().Find(entry.Name).GetValue());
    }
    QCOMPARE(W->Doc().Store().Traces[0], CoreTrace(W->Doc().Circuit()));
    const TCircuit snapped = W->Doc().Circuit();
    W->Doc().UndoStack()->undo();
    QCOMPARE(W->Doc().Circuit(), before);
    W->Doc().UndoStack()->redo();
    QCOMPARE(W->Doc().Circuit(), snapped);
}

void TestDesign::importShowsTheCurveAsASnapshot()
{
    // Out of order, with a comment and a header; a straight line in log
    // frequency, 10 dB a decade, between two frequencies off the grid.
    const auto line = [](double frequency) { return 10 * (std::log10(frequency) - 3); };
    const QString path = WriteFile("bench.csv", "# measured on the bench\nfrequency,dB,phase\n12000," +
                                                    QByteArray::number(line(12000), 'g', 17) + ",-90\n55," +
                                                    QByteArray::number(line(55), 'g', 17) + ",0\n");
    QVERIFY(W->Design().ImportCurve(path));
    QCOMPARE(W->Doc().Store().TraceCount, 2);
    QCOMPARE(W->Doc().Store().Labels[1], std::string("bench"));
    QVERIFY(W->Doc().Store().TraceColours[1] != W->Plotter()->TraceColour());
    for (int k = 0; k < GridPoints; ++k) {
        const double frequency = GridFrequency(GridFirstStep + k);
        const double gain = W->Doc().Store().Traces[1][std::size_t(k)];
        const double phase = W->Doc().Store().Quantities[1].PhaseDeg[std::size_t(k)];
        QVERIFY(std::isnan(W->Doc().Store().Quantities[1].GroupDelayS[std::size_t(k)]));
        if (frequency < 55 || frequency > 12000) {
            QVERIFY2(std::isnan(gain) && std::isnan(phase), qPrintable(QString::number(frequency)));
        } else {
            QVERIFY2(std::abs(gain - line(frequency)) < 1e-9, qPrintable(QString::number(frequency)));
            // -90 degrees over the same span in log frequency.
            const double share = std::log(frequency / 55) / std::log(12000.0 / 55);
            QVERIFY2(std::abs(phase + 90 * share) < 1e-9, qPrintable(QString::number(frequency)));
        }
    }
    // The live curve is untouched.
    QCOMPARE(W->Doc().Store().Traces[0], CoreTrace(W->Doc().Circuit()));
}

void TestDesign::importRefusesABadFile_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("reason");
    QTest::newRow("word in a row") << QByteArray("100,-3\n200,loud\n") << "line 2";
    QTest::newRow("one point") << QByteArray("100,-3\n") << "two";
    QTest::newRow("frequency twice") << QByteArray("100,-3\n100,-4\n") << "line 2";
}

void TestDesign::importRefusesABadFile()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, reason);
    QVERIFY(!W->Design().ImportCurve(WriteFile("bad.csv", text)));
    QCOMPARE(W->Doc().Store().TraceCount, 1);
    QCOMPARE(W->Errors.size(), 1);
    QVERIFY2(W->Errors[0].contains("bad.csv") && W->Errors[0].contains(reason), qPrintable(W->Errors[0]));
}

void TestDesign::bandEnclosesTheLiveCurve_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("step");
    QTest::newRow("Fender medium") << "Fender" << ResolutionMedium;
    QTest::newRow("Bench high") << "Bench" << ResolutionHigh;
    QTest::newRow("Big muff low") << "Big muff" << ResolutionLow;
}

void TestDesign::bandEnclosesTheLiveCurve()
{
    QFETCH(QString, page);
    QFETCH(int, step);
    W->Pages()->setCurrentIndex(PageNamed(page.toStdString()));
    W->SetResolution(step);
    TToleranceSettings settings;
    settings.Shown = true;
    W->Design().SetToleranceSettings(settings);
    QTRY_VERIFY_WITH_TIMEOUT(W->Design().ToleranceBand().Band().has_value(), 20000);
    QCOMPARE(W->Plotter()->Extras().Band, &*W->Design().ToleranceBand().Band());
    const TToleranceBand &band = *W->Design().ToleranceBand().Band();
    const TTrace &live = W->Doc().Store().Traces[0];
    bool wide = false;
    for (std::size_t k = 0; k < GridPoints; ++k) {
        const double rows[] = {band.Min[k], band.P5[k], band.Median[k], band.P95[k], band.Max[k]};
        for (std::size_t i = 0; i < std::size(rows); ++i) {
            QVERIFY(std::isfinite(rows[i]));
            if (i > 0)
                QVERIFY(rows[i - 1] <= rows[i]);
        }
        // The loop model and the engine agree within a micro-dB.
        QVERIFY2(band.Min[k] <= live[k] + 1e-5 && live[k] <= band.Max[k] + 1e-5, qPrintable(QString::number(k)));
        wide = wide || band.Max[k] - band.Min[k] > 0.5;
    }
    QVERIFY(wide);

    const QString shots = qEnvironmentVariable("CORVANTA_SCREENSHOTS");
    if (!shots.isEmpty() && page == "Fender") {
        W->statusBar()->clearMessage();
        QVERIFY(W->grab().save(shots + "/tolerance-band.png"));
    }
}

void TestDesign::aChangeDropsTheBandUntilTheNextIsReady()
{
    TToleranceSettings settings;
    settings.Shown = true;
    settings.Runs = 100;
    W->Design().SetToleranceSettings(settings);
    QTRY_VERIFY_WITH_TIMEOUT(W->Design().ToleranceBand().Band().has_value(), 20000);
    const TTrace firstMax = W->Design().ToleranceBand().Band()->Max;
    // Each move cancels the band before it; none of theirs is shown.
    for (int position : {10, 20, 30, 100}) {
        W->Slider(BuiltInControl::Bass)->setValue(position);
        QVERIFY(!W->Design().ToleranceBand().Band());
        QVERIFY(!W->Plotter()->Extras().Band);
    }
    QTRY_VERIFY_WITH_TIMEOUT(W->Design().ToleranceBand().Band().has_value(), 20000);
    QVERIFY(W->Design().ToleranceBand().Band()->Max != firstMax);
    const TTrace &live = W->Doc().Store().Traces[0];
    for (std::size_t k = 0; k < GridPoints; ++k)
        QVERIFY(W->Design().ToleranceBand().Band()->Min[k] <= live[k] + 1e-5 && live[k] <= W->Design().ToleranceBand().Band()->Max[k] + 1e-5);
    settings.Shown = false;
    W->Design().SetToleranceSettings(settings);
    QVERIFY(!W->Design().ToleranceBand().Band());
    QVERIFY(!W->Design().ToleranceBand().Busy());
}

void TestDesign::aCircuitWithoutBandSaysWhy()
{
    // A negative resistor makes a circuit that is not passive: the engine
    // refuses it, and so does the band.
    SetFr1(-100e3);
    TToleranceSettings settings;
    settings.Shown = true;
    settings.Runs = 10;
    W->Design().SetToleranceSettings(settings);
    QTRY_VERIFY_WITH_TIMEOUT(W->statusBar()->currentMessage().startsWith("No tolerance band"), 20000);
    QVERIFY(!W->Design().ToleranceBand().Band());
    QVERIFY(!W->Plotter()->Extras().Band);
}

void TestDesign::exportCarriesTheBand()
{
    const auto exported = [this](const QString &name) {
        W->ExportAnswer = Dir.filePath(name);
        W->Action("actFileExport")->trigger();
        return QImage(W->ExportAnswer);
    };
    const QImage plain = exported("plain.png");
    TToleranceSettings settings;
    settings.Shown = true;
    W->Design().SetToleranceSettings(settings);
    QTRY_VERIFY_WITH_TIMEOUT(W->Design().ToleranceBand().Band().has_value(), 20000);
    const QImage banded = exported("band.png");
    QVERIFY(!plain.isNull() && plain.size() == banded.size());
    QVERIFY(plain != banded);
    settings.Shown = false;
    W->Design().SetToleranceSettings(settings);
    QCOMPARE(exported("plain-again.png"), plain);
}

void TestDesign::dialogKeepsKindAndPartTolerances()
{
    TToleranceSettings settings;
    settings.PartPercent["XR9"] = 3; // a part of another page stays
    TToleranceBandDialog dialog(W->Doc().Circuit(), settings);
    QCOMPARE(dialog.KindSpin("R")->value(), 5.0);
    QCOMPARE(dialog.KindSpin("pot")->value(), 20.0);
    QVERIFY(!dialog.KindSpin("L")); // the Fender page has no inductor
    dialog.KindSpin("C")->setValue(2);
    dialog.PartSpin("FR1")->setValue(1);
    dialog.RunsSpin()->setValue(50);
    const TToleranceSettings chosen = dialog.Settings();
    QCOMPARE(chosen.KindPercent.at("C"), 2.0);
    QCOMPARE(chosen.PartPercent.at("FR1"), 1.0);
    QCOMPARE(chosen.PartPercent.at("XR9"), 3.0);
    QCOMPARE(chosen.PartPercent.count("FR2"), std::size_t(0)); // follows its kind
    QCOMPARE(chosen.Runs, 50);
    for (const TPartTolerance &part : TolerancesFor(W->Doc().Circuit(), chosen)) {
        const double expected = part.Name == "FR1" ? 1 : part.Kind == "C" ? 2 : part.Kind == "R" ? 5 : part.Kind == "pot" ? 20 : 0;
        QCOMPARE(part.Percent, expected);
    }
    // The parts that move the curve most, worked out beside the dialog.
    QTRY_VERIFY_WITH_TIMEOUT(dialog.SensitivityShown(), 20000);
    QCOMPARE(dialog.SensitivityTable()->rowCount(), int(W->Doc().Circuit().ActiveValues().Count()));
}

QTEST_MAIN(TestDesign)
#include "test_design.moc"
