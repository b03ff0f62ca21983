// The design aids in the edit dialogs: the taper choice and its drawing, the
// E-series buttons and the source from a tube stage.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "app/EditDialogs.h"
#include "app/LocaleSeparator.h"
#include "app/TaperDrawing.h"
#include "app/TubeStageDialog.h"

using namespace cva;

namespace {

QString Decimal(const char *whole, const char *fraction)
{
    return QString::fromLatin1(whole) + QChar::fromLatin1(LocaleDecimalSeparator()) + QString::fromLatin1(fraction);
}

} // namespace

class TestDialogsDesign : public QObject {
    Q_OBJECT

private slots:
    void EveryTaperSurvivesOk_data();
    void EveryTaperSurvivesOk();
    void ChoosingALawDrawsIt();
    void SeriesButtonsSetTheNearestValue_data();
    void SeriesButtonsSetTheNearestValue();
    void SeriesButtonRefusesAValueWithoutNearest();
    void TubeStageGivesTheStagesResistance();
};

void TestDialogsDesign::EveryTaperSurvivesOk_data()
{
    QTest::addColumn<int>("taper");
    for (int taper = 0; taper <= LastKnownTaper; ++taper)
        QTest::addRow("%s", TaperName(std::uint8_t(taper)).c_str()) << taper;
    // A number a newer program may write: no choice shows it, and it stays.
    QTest::addRow("unknown 200") << 200;
}

void TestDialogsDesign::EveryTaperSurvivesOk()
{
    QFETCH(int, taper);
    TEditDialog dialog(TElementKind::Pot);
    TDialogFields fields;
    fields.Source = "250k";
    fields.Style = taper;
    dialog.SetFields(fields);
    QCOMPARE(int(dialog.TaperDrawing()->Taper()), taper);
    dialog.OkButton()->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.Fields().Style, taper);
}

void TestDialogsDesign::ChoosingALawDrawsIt()
{
    TEditDialog dialog(TElementKind::Pot);
    dialog.SetFields({"250k", "", PotRevAudio15});
    QCOMPARE(dialog.StyleButton(PotAudio15)->text(), QStringLiteral("Audio 15%"));
    dialog.StyleButton(PotAudio10)->click();
    QCOMPARE(int(dialog.TaperDrawing()->Taper()), int(PotAudio10));
    QCOMPARE(dialog.Fields().Style, int(PotAudio10));

    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QString shots = qEnvironmentVariable("CORVANTA_SCREENSHOTS");
    if (!shots.isEmpty())
        QVERIFY(dialog.grab().save(shots + "/taper-dialog.png"));
}

void TestDialogsDesign::SeriesButtonsSetTheNearestValue_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("series");
    QTest::addColumn<QString>("nearest");
    const int resistor = int(TElementKind::Resistor), capacitor = int(TElementKind::Capacitor);
    QTest::addRow("50k E12") << resistor << "50k" << int(TESeries::E12) << "47k";
    QTest::addRow("50k E24") << resistor << "50k" << int(TESeries::E24) << "51k";
    QTest::addRow("50k E96") << resistor << "50k" << int(TESeries::E96) << Decimal("49", "9k");
    // 5.14n lies nearer 5.6n than 4.7n by ratio, though not by difference.
    QTest::addRow("5.14n E12") << capacitor << Decimal("5", "14n") << int(TESeries::E12) << Decimal("5", "6n");
    QTest::addRow("pot 240k E12") << int(TElementKind::Pot) << "240k" << int(TESeries::E12) << "220k";
}

void TestDialogsDesign::SeriesButtonsSetTheNearestValue()
{
    QFETCH(int, kind);
    QFETCH(QString, typed);
    QFETCH(int, series);
    QFETCH(QString, nearest);
    TEditDialog dialog(static_cast<TElementKind>(kind));
    dialog.SourceEdit()->setText(typed);
    dialog.SeriesButton(static_cast<TESeries>(series))->click();
    QCOMPARE(dialog.SourceEdit()->text(), nearest);
    QVERIFY(dialog.Reason().isEmpty());
}

void TestDialogsDesign::SeriesButtonRefusesAValueWithoutNearest()
{
    TEditDialog dialog(TElementKind::Resistor);
    for (const QString &typed : {QStringLiteral("-1k"), QStringLiteral("0"), QStringLiteral("abc")}) {
        dialog.SourceEdit()->setText(typed);
        dialog.SeriesButton(TESeries::E24)->click();
        QCOMPARE(dialog.SourceEdit()->text(), typed);
        QVERIFY2(!dialog.Reason().isEmpty(), qPrintable(typed));
    }
    QVERIFY(TEditDialog(TElementKind::Generator).SeriesButton(TESeries::E12) == nullptr);
    QVERIFY(TEditDialog(TElementKind::Resistor).TubeStageButton() == nullptr);
}

void TestDialogsDesign::TubeStageGivesTheStagesResistance()
{
    // 12AX7: rp 62.5k, mu 100, gm 1.6 mA/V. 100k || 62.5k is the usual
    // 38k of a bypassed stage; unbypassed 1.5k adds 101 x 1.5k to rp.
    TTubeStageDialog dialog;
    QCOMPARE(dialog.TubeChoice()->currentText(), QStringLiteral("12AX7"));
    dialog.PlateEdit()->setText("100k");
    dialog.CathodeEdit()->setText(Decimal("1", "5k"));
    QCOMPARE(qRound(*dialog.Resistance()), 38462);
    QCOMPARE(dialog.ResultLabel()->text(), Decimal("38", "5k"));
    QVERIFY(!dialog.CathodeEdit()->isEnabled());
    dialog.BypassedBox()->setChecked(false);
    QCOMPARE(qRound(*dialog.Resistance()), 68153);
    // 12AU7: rp 7.7k, mu 17.
    dialog.TubeChoice()->setCurrentText("12AU7");
    QCOMPARE(qRound(*dialog.Resistance()), 25761);
    dialog.TubeChoice()->setCurrentText("12AX7");
    dialog.FollowerButton()->setChecked(true);
    dialog.CathodeEdit()->setText("100k");
    QCOMPARE(qRound(*dialog.Resistance()), 621);
    QVERIFY(!dialog.PlateEdit()->isEnabled());
    for (const char *bad : {"x", "0", "-1k"}) {
        dialog.CathodeEdit()->setText(bad);
        QVERIFY2(!dialog.Resistance(), bad);
    }
}

QTEST_MAIN(TestDialogsDesign)
#include "test_dialogs_design.moc"
