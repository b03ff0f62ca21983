// Every text of the window and its dialogs fits its widget, nothing sticks
// out of its parent or hides a neighbour, and every tab can be reached, at
// whatever font resolution or scale CTest runs this with (96 to 192 dpi,
// QT_SCALE_FACTOR=2). Also at the window's smallest size. With
// CORVANTA_SCREENSHOTS set to a folder, each page and dialog is saved there.

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTextDocument>

#include "pages/BuiltInCircuits.h"
#include "TestWindow.h"
#include "app/AboutDialog.h"
#include "app/ExportSizeDialog.h"
#include "app/SweepPointsDialog.h"
#include "app/ToleranceBandDialog.h"
#include "app/TubeStageDialog.h"
#include "plot/PlotPainter.h"
#include "plot/Plotter.h"

using namespace cva;
using namespace cva::test;

namespace {

QString Describe(const QWidget *widget)
{
    QString name = widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                                  : widget->objectName();
    const QRect r = widget->geometry();
    return QStringLiteral("%1 (%2, %3, %4 x %5)").arg(name).arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// The size a label's text takes, wrapped at the label's width where it wraps.
QSizeF LabelTextSize(const QLabel &label)
{
    QTextDocument document;
    document.setDocumentMargin(0);
    document.setDefaultFont(label.font());
    const bool rich = label.textFormat() == Qt::RichText ||
                      (label.textFormat() == Qt::AutoText && Qt::mightBeRichText(label.text()));
    if (rich)
        document.setHtml(label.text());
    else // a label with a buddy shows its mnemonic underlined, not as "&"
        document.setPlainText(label.buddy() ? QString(label.text()).remove('&') : label.text());
    if (label.wordWrap()) {
        document.setTextWidth(label.contentsRect().width());
        return {0, document.size().height()};
    }
    return {document.idealWidth(), QFontMetricsF(label.font()).height()};
}

bool TextFits(const QFontMetrics &metrics, const QString &text, const QRect &room)
{
    return metrics.horizontalAdvance(QString(text).remove('&')) <= room.width() && metrics.height() <= room.height();
}

QStringList TextMisfits(const QWidget &widget)
{
    QStringList misfits;
    const QFontMetrics metrics = widget.fontMetrics();
    if (auto *label = qobject_cast<const QLabel *>(&widget); label && !label->text().isEmpty()) {
        const QSizeF need = LabelTextSize(*label);
        const QRect room = label->contentsRect();
        if (std::ceil(need.width()) > room.width() + 1 || std::ceil(need.height()) > room.height() + 1)
            misfits << QStringLiteral("text \"%1\" of %2 needs %3 x %4")
                           .arg(label->text().left(30), Describe(label))
                           .arg(need.width())
                           .arg(need.height());
    } else if (auto *button = qobject_cast<const QPushButton *>(&widget)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        if (!TextFits(metrics, button->text(), room))
            misfits << "text of " + Describe(button);
    } else if (auto *radio = qobject_cast<const QRadioButton *>(&widget)) {
        QStyleOptionButton option;
        option.initFrom(radio);
        option.text = radio->text();
        const QRect room = radio->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, radio);
        if (!TextFits(metrics, radio->text(), room))
            misfits << "text of " + Describe(radio);
    } else if (auto *group = qobject_cast<const QGroupBox *>(&widget)) {
        if (metrics.horizontalAdvance(group->title()) > group->width())
            misfits << "title of " + Describe(group);
    } else if (auto *edit = qobject_cast<const QLineEdit *>(&widget)) {
        // A frameless edit (as inside a spin box) needs no room for a frame.
        if ((edit->hasFrame() && edit->height() < edit->minimumSizeHint().height()) ||
            metrics.horizontalAdvance(edit->text()) > edit->width())
            misfits << "text of " + Describe(edit);
    } else if (auto *bar = qobject_cast<const QTabBar *>(&widget)) {
        for (int i = 0; i < bar->count(); ++i) {
            const QRect tab = bar->tabRect(i);
            // The tab, its text and the bar itself all in view.
            if (tab.isEmpty() || !bar->rect().contains(tab) || metrics.horizontalAdvance(bar->tabText(i)) > tab.width())
                misfits << QStringLiteral("tab \"%1\" of %2").arg(bar->tabText(i), Describe(bar));
        }
    }
    return misfits;
}

bool IsControl(const QWidget *widget)
{
    return qobject_cast<const QLabel *>(widget) || qobject_cast<const QAbstractButton *>(widget) ||
           qobject_cast<const QAbstractSlider *>(widget) || qobject_cast<const QLineEdit *>(widget) ||
           qobject_cast<const QGroupBox *>(widget);
}

// Everything wrong with the widgets shown in a window.
QStringList Misfits(const QWidget &window)
{
    QStringList misfits;
    const QList<QWidget *> widgets = window.findChildren<QWidget *>();
    for (const QWidget *widget : widgets) {
        if (widget->isWindow() || !widget->isVisibleTo(&window))
            continue;
        misfits << TextMisfits(*widget);
        const QWidget *parent = widget->parentWidget();
        if (!parent->rect().contains(widget->geometry()))
            misfits << Describe(widget) + " sticks out of " + Describe(parent);
        if (widget->width() <= 0 || widget->height() <= 0)
            misfits << Describe(widget) + " has no area";
        if (!IsControl(widget))
            continue;
        for (const QWidget *other : widgets)
            if (other != widget && other->parentWidget() == parent && IsControl(other) && other->isVisibleTo(&window) &&
                widget < other && widget->geometry().intersects(other->geometry()))
                misfits << Describe(widget) + " overlaps " + Describe(other);
    }
    return misfits;
}

void SaveScreenshot(QWidget &widget, const QString &name)
{
    const QString folder = qEnvironmentVariable("CORVANTA_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    const QString file = QStringLiteral("%1/%2-%3dpi.png").arg(folder, name).arg(widget.logicalDpiX());
    QVERIFY2(widget.grab().save(file), qPrintable(file));
}

void Show(QWidget &widget)
{
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    QApplication::processEvents();
}

} // namespace

class TestFontFit : public QObject {
    Q_OBJECT

private slots:
    void everyPageFits();
    void smallestWindowKeepsEveryControl();
    void dialogsFit();
};

void TestFontFit::everyPageFits()
{
    TTestWindow window;
    Show(window);
    for (const TCircuitDef &info : BuiltInCircuits()) {
        window.Pages()->setCurrentIndex(int(PageNamed(info.TabCaption)));
        QApplication::processEvents();
        const QStringList misfits = Misfits(window);
        QVERIFY2(misfits.isEmpty(), qPrintable(info.TabCaption.data() + QStringLiteral(": ") + misfits.join("; ")));
        SaveScreenshot(window, QString::fromLatin1(info.TabCaption.data()).remove(' ').toLower());
    }
    // A circuit without a curve says why in the plot and the status bar, which still fit.
    window.Pages()->setCurrentIndex(int(PageNamed("Fender")));
    window.Doc().Apply({.Edit = [](TCircuit &circuit) { circuit.Symbols.AddCapacitor("FC1", 0); }});
    QApplication::processEvents();
    QVERIFY(!window.AccuracyWarning()->isHidden());
    const QStringList misfits = Misfits(window);
    QVERIFY2(misfits.isEmpty(), qPrintable(misfits.join("; ")));
    SaveScreenshot(window, "no-curve");
    window.Doc().UndoStack()->undo();

    // Every label of the plot's scale is drawn whole, the minus signs too.
    TPlotter &plotter = *window.Plotter();
    const QFontMetrics metrics(PlotLabelFont(), &plotter);
    const std::vector<TPlotLabel> labels = PlotLabels(plotter.Geometry(), window.Views().Scale(), metrics);
    QStringList texts;
    for (const TPlotLabel &label : labels)
        texts << label.Text;
    QCOMPARE(texts.join(' '), QString("-50dB -40dB -30dB -20dB -10dB 0dB 10Hz 100Hz 1000Hz 10000Hz"));
}

void TestFontFit::smallestWindowKeepsEveryControl()
{
    TTestWindow window;
    Show(window);
    window.resize(250, 150);
    QTRY_VERIFY(window.size() == window.minimumSize());
    QVERIFY(window.minimumSize().width() > 250 && window.minimumSize().height() > 150);
    const QStringList misfits = Misfits(window);
    QVERIFY2(misfits.isEmpty(), qPrintable(misfits.join("; ")));
    QVERIFY(window.Plotter()->width() >= window.Plotter()->minimumWidth());
}

void TestFontFit::dialogsFit()
{
    TTestWindow window;
    const std::pair<TElementKind, const char *> kinds[] = {{TElementKind::Resistor, "resistor"},
                                                           {TElementKind::Capacitor, "capacitor"},
                                                           {TElementKind::Inductor, "inductor"},
                                                           {TElementKind::Pot, "potentiometer"},
                                                           {TElementKind::Generator, "generator"}};
    for (const auto &[kind, name] : kinds) {
        TEditDialog &dialog = window.EditDialogs().Dialog(kind);
        dialog.SetFields({"250k", "20", 1});
        Show(dialog);
        QStringList misfits = Misfits(dialog);
        QVERIFY2(misfits.isEmpty(), qPrintable(QString(name) + ": " + misfits.join("; ")));
        SaveScreenshot(dialog, QStringLiteral("dialog-%1").arg(name));

        // The refusal of an entry fits as well.
        dialog.SourceEdit()->setText("4k7");
        dialog.OkButton()->click();
        QApplication::processEvents();
        QVERIFY(dialog.isVisible());
        misfits = Misfits(dialog);
        QVERIFY2(misfits.isEmpty(), qPrintable(QString(name) + " refusing: " + misfits.join("; ")));
        if (kind == TElementKind::Resistor)
            SaveScreenshot(dialog, "dialog-resistor-refused");
        dialog.reject();
    }
    TExportSizeDialog exportSize(QSize(407, 417), &window);
    Show(exportSize);
    QStringList sizeMisfits = Misfits(exportSize);
    QVERIFY2(sizeMisfits.isEmpty(), qPrintable("Export size: " + sizeMisfits.join("; ")));
    SaveScreenshot(exportSize, "dialog-export-size");
    // The screen's size first, the presets up to 3000 pixels wide.
    QCOMPARE(exportSize.ChosenSize(), QSize(407, 417));
    QCOMPARE(exportSize.Presets()->itemData(exportSize.Presets()->count() - 1).toSize().width(), 3000);
    exportSize.reject();

    TSweepPointsDialog sweepPoints({0, 25, 50, 75, 100}, 3, &window);
    Show(sweepPoints);
    sweepPoints.PointsEdit()->setText("0, 50, 150");
    sweepPoints.OkButton()->click();
    QApplication::processEvents();
    QStringList sweepMisfits = Misfits(sweepPoints);
    QVERIFY2(sweepMisfits.isEmpty(), qPrintable("Sweep points: " + sweepMisfits.join("; ")));
    SaveScreenshot(sweepPoints, "dialog-sweep-points");
    sweepPoints.reject();

    TTubeStageDialog tubeStage(&window);
    Show(tubeStage);
    const QStringList tubeMisfits = Misfits(tubeStage);
    QVERIFY2(tubeMisfits.isEmpty(), qPrintable("Tube stage: " + tubeMisfits.join("; ")));
    SaveScreenshot(tubeStage, "dialog-tube-stage");
    tubeStage.reject();

    TToleranceBandDialog band(window.Doc().Circuit(), {}, &window);
    Show(band);
    QTRY_VERIFY(band.SensitivityShown());
    const QStringList bandMisfits = Misfits(band);
    QVERIFY2(bandMisfits.isEmpty(), qPrintable("Tolerance band: " + bandMisfits.join("; ")));
    SaveScreenshot(band, "dialog-tolerance-band");
    band.reject();

    TdlgAbout &about = *window.About();
    Show(about);
    const QStringList misfits = Misfits(about);
    QVERIFY2(misfits.isEmpty(), qPrintable("About: " + misfits.join("; ")));
    SaveScreenshot(about, "dialog-about");
    about.reject();
}

QTEST_MAIN(TestFontFit)
#include "test_fontfit.moc"
