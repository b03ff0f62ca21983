// The printed page and the exported pictures: page layout against the
// device's fonts and size, the component list of the active topology, black
// traces on the fixed scale, real PDF output, and files written safely.

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>

#include "document/Circuit.h"
#include "plot/ControlSummary.h"
#include "plot/PlotColours.h"
#include "plot/PlotExport.h"
#include "plot/PlotLegend.h"
#include "plot/PlotPainter.h"
#include "plot/Printout.h"
#include "plot/QuantityAxis.h"

using namespace cva;

namespace {

constexpr int Dpi = 150;

// A letter-sized page at 150 dpi, white like paper.
QImage Page(int width = 1275, int height = 1650, int dpi = Dpi)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    return image;
}

TPrintLayout Draw(QImage &image, const TTraceStore &store, const TCircuit &circuit, char separator = '.')
{
    QPainter painter(&image);
    return DrawPrintout(painter, store, circuit.ActiveValues(), circuit.ActiveInfo(), separator, ControlLines(circuit));
}

// Black and white along a row of the plot, as a string of '#' and '.'.
QString RowPattern(const QImage &image, const TPrintLayout &layout, int y)
{
    QString row;
    for (int x = layout.X0 + 8; x < layout.X1 - 8; ++x)
        row += image.pixelColor(x, y) == Qt::black ? QLatin1Char('#') : QLatin1Char('.');
    return row;
}

TTraceStore FlatStore(double db)
{
    TTraceStore store;
    store.Traces[0].fill(db);
    store.TraceColours[0] = clLime;
    return store;
}

// Whether every pixel is a grey (black and white alike); counts the dark ones.
bool GreyOnly(const QImage &image, int &dark)
{
    dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = row[x];
            if (qRed(pixel) != qGreen(pixel) || qGreen(pixel) != qBlue(pixel))
                return false;
            dark += qRed(pixel) < 128;
        }
    }
    return true;
}

QStringList Lines(const std::vector<QString> &lines)
{
    return QStringList(lines.begin(), lines.end());
}

// The text of a PDF as pdftotext extracts it.
QString PdfText(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!process.waitForFinished() || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

void CheckPageText(const QString &text)
{
    for (const char *expected : {"Tone Stack: Fender", "R1, Resistor, 100k", "C1, Capacitor, 250p", "-50dB", "0dB",
                                 "10Hz", "10000Hz", "Frequency", "Corvanta"})
        QVERIFY2(text.contains(QLatin1String(expected)), expected);
    QVERIFY(!text.contains(QLatin1String("Vox")));
}

} // namespace

class TestPrintout : public QObject {
    Q_OBJECT

private slots:
    void layoutFollowsFontsAndPage();
    void textsUnderThePlotDoNotOverlap();
    void componentList_data();
    void componentList();
    void longestLineMovesThePlotRight();
    void pageIsBlackAndWhiteOnly();
    void quantityPagesAreThePlotPage_data();
    void quantityPagesAreThePlotPage();
    void liveTraceSolidEachSnapshotItsOwnDashes();
    void pensGrowWithTheResolution_data();
    void pensGrowWithTheResolution();
    void offScaleGainsLieOnTheEdges();
    void nothingRightOfThePlot();
    void pdfWriterPage();
    void printerPdfDocument();

    void pngIsTheScreenPicture();
    void svgIsReadable();
    void csvHoldsEveryTrace();
    void failedExportKeepsTheExistingFile();
    void exportsAreWrittenAsCircuitFilesAre();
};

void TestPrintout::layoutFollowsFontsAndPage()
{
    const TCircuit circuit;
    QImage image = Page();
    const TPrintLayout layout = Draw(image, FlatStore(-20), circuit);

    const QFontMetrics text(PrintoutFont(10), &image);
    const QFontMetrics heading(PrintoutFont(14, true), &image);
    // 10 pt at 150 dpi is about 21 pixels: the fonts follow the device.
    QVERIFY(text.height() > 15 && text.height() < 40);
    QCOMPARE(layout.L10, text.height() + text.height() / 3);
    QCOMPARE(layout.L14, heading.height() + heading.height() / 3);
    QCOMPARE(layout.X0, layout.TextW + text.horizontalAdvance(QStringLiteral("0-50dB0")));
    QCOMPARE(layout.X1, image.width() - text.horizontalAdvance(QStringLiteral("10000Hz")) / 2);
    QCOMPARE(layout.Y0, text.height());
    QCOMPARE(layout.Y1, image.height() - 10 - 5 * text.height());

    QCOMPARE(layout.FreqToX(10), layout.X0);
    QCOMPARE(layout.FreqToX(GridFrequency(GridLastStep)), layout.X1);
    QCOMPARE(layout.DBToY(0), layout.Y0);
    QCOMPARE(layout.DBToY(-50), layout.Y1);
    QCOMPARE(layout.DBToY(-25), layout.Y0 + (layout.Y1 - layout.Y0) / 2);

    // A taller page lengthens only the plot.
    QImage taller = Page(1275, 1800);
    const TPrintLayout tall = Draw(taller, FlatStore(-20), circuit);
    QCOMPARE(tall.Y1 - layout.Y1, 150);
    QCOMPARE(tall.X0, layout.X0);
    QCOMPARE(tall.Y0, layout.Y0);
}

void TestPrintout::textsUnderThePlotDoNotOverlap()
{
    const TCircuit circuit;
    // A narrow page squeezes the decade labels towards the centred title.
    for (const QSize size : {QSize(1275, 1650), QSize(700, 900), QSize(2480, 1754)}) {
        QImage image = Page(size.width(), size.height());
        const TPrintLayout layout = Draw(image, FlatStore(-20), circuit);
        for (const QRect &label : layout.FrequencyLabels) {
            QVERIFY(label.top() > layout.Y1);
            QVERIFY2(!label.intersects(layout.AxisTitle), qPrintable(QString::number(size.width())));
        }
        QVERIFY(layout.AxisTitle.bottom() < layout.Notice.top());
        QVERIFY(layout.Notice.bottom() < image.height() - 10);
        QVERIFY(qAbs(layout.AxisTitle.center().x() - (layout.X0 + layout.X1) / 2) <= 1);
    }
}

void TestPrintout::componentList_data()
{
    QTest::addColumn<int>("topology");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("controls");
    QTest::newRow("Fender") << int(PageNamed("Fender")) << "Tone Stack: Fender"
                            << QStringList{"C1, Capacitor, 250p",   "C2, Capacitor, 100n",
                                           "C3, Capacitor, 47n",    "Zsrc, Source resistance, 38k",
                                           "R1, Resistor, 100k",    "R2, Potentiometer, 250k",
                                           "R3, Potentiometer, 250k", "R4, Potentiometer, 10k",
                                           "R5, Resistor, 1M"}
                            << QStringList{"Bass 50% (Log A)", "Mid 50% (Linear)", "Treble 50% (Log A)"};
    QTest::newRow("Big muff") << int(PageNamed("Big muff")) << "Tone Stack: Big Muff"
                              << QStringList{"C1, Capacitor, 4n",     "C2, Capacitor, 10n",
                                             "Zsrc, Source resistance, 1k",      "R1, Resistor, 39k",
                                             "R2, Resistor, 22k",     "R3, Potentiometer, 100k",
                                             "R4, Resistor, 1M"}
                              << QStringList{"Mid 50% (Linear)"};
    QTest::newRow("Bench") << int(PageNamed("Bench")) << "Tone Stack: Bench"
                           << QStringList{"C1, Capacitor, 22n",      "C2, Capacitor, 6.8n",
                                          "Zsrc, Source resistance, 13k",       "L1, Inductor, 6",
                                          "L2, Inductor, 20",        "R1, Potentiometer, 100k",
                                          "R2, Potentiometer, 100k", "R3, Potentiometer, 100k",
                                          "R4, Resistor, 51k",       "R5, Resistor, 5.1k"}
                           << QStringList{"Bass 50% (Log B)", "Mid 50% (Log B)", "Treble 50% (Log B)"};
}

void TestPrintout::componentList()
{
    QFETCH(int, topology);
    QFETCH(QString, heading);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, controls);
    TCircuit circuit;
    circuit.Active = int(topology);
    QImage image = Page();
    const TPrintLayout layout = Draw(image, FlatStore(-20), circuit);
    QCOMPARE(layout.Heading, heading);
    QCOMPARE(Lines(layout.ComponentLines), lines);
    // The slider settings follow the components after a blank line.
    QCOMPARE(Lines(layout.ControlLines), controls);
    QCOMPARE(layout.ControlLineTop(0), layout.ListLineTop(int(lines.size()) + 1));
}

void TestPrintout::longestLineMovesThePlotRight()
{
    TCircuit circuit;
    QImage image = Page();
    const TPrintLayout before = Draw(image, FlatStore(-20), circuit);

    circuit.Symbols.AddResistor("FR1", 123456.789012);
    image = Page();
    const TPrintLayout after = Draw(image, FlatStore(-20), circuit, ',');
    const QFontMetrics text(PrintoutFont(10), &image);
    const QString longLine = after.ComponentLines[4];
    QCOMPARE(longLine, QStringLiteral("R1, Resistor, 123,456789012k"));
    QCOMPARE(after.TextW, text.horizontalAdvance(longLine));
    QVERIFY(after.X0 > before.X0);
    QCOMPARE(after.X0, after.TextW + text.horizontalAdvance(QStringLiteral("0-50dB0")));
}

void TestPrintout::pageIsBlackAndWhiteOnly()
{
    const TCircuit circuit;
    TTraceStore store = FlatStore(-10);
    for (int t = 0; t < MaxTraces - 1; ++t) {
        store.Snapshot();
        store.Traces[0].fill(-12.5 - t);
        store.TraceColours[0] = PlotColours[t % PlotColours.size()];
    }
    QImage image = Page();
    Draw(image, store, circuit);
    int dark = 0;
    QVERIFY(GreyOnly(image, dark));
    QVERIFY(dark > 10000);
}

void TestPrintout::quantityPagesAreThePlotPage_data()
{
    QTest::addColumn<TQuantity>("quantity");
    QTest::addColumn<double>("live"); // the flat live curve, as stored
    // Values off the axes' grid lines, as the snapshot's (1.37 times as much) are.
    QTest::newRow("phase") << TQuantity::Phase << -31.3;
    QTest::newRow("group delay") << TQuantity::GroupDelay << 0.537e-3;
    QTest::newRow("impedance") << TQuantity::Impedance << 47e3;
}

void TestPrintout::quantityPagesAreThePlotPage()
{
    // The gain page's layout, pens and legend, on the quantity's own axis
    // and in black on white, the quantity named above the plot.
    QFETCH(TQuantity, quantity);
    QFETCH(double, live);
    const TCircuit circuit;
    TTraceStore store = FlatStore(-20);
    auto fill = [&](double value) {
        TTraceQuantities &quantities = store.Quantities[0];
        for (TTrace *trace : {&quantities.PhaseDeg, &quantities.GroupDelayS, &quantities.ImpedanceOhm})
            trace->fill(value);
    };
    fill(live * 1.37);
    store.Snapshot("An older curve");
    fill(live);
    store.TraceColours[0] = clRed;
    QImage image = Page();
    TPrintLayout layout;
    {
        QPainter painter(&image);
        layout = DrawQuantityPrintout(painter, store, quantity, false, circuit.ActiveValues(), circuit.ActiveInfo(), '.');
    }
    int dark = 0;
    QVERIFY(GreyOnly(image, dark));
    const TValueAxis axis = QuantityAxis(quantity, store, false);
    QCOMPARE(layout.Axis.Labels.size(), axis.Labels.size());
    QCOMPARE(layout.Axis.Labels.front().Text, axis.Labels.front().Text);
    // The live curve solid across, the snapshot dashed.
    const QString solid = RowPattern(image, layout, layout.ValueToY(live));
    QVERIFY2(solid.count('#') > solid.size() * 9 / 10, qPrintable(solid));
    const QString dashed = RowPattern(image, layout, layout.ValueToY(live * 1.37));
    QVERIFY(dashed.count('.') > dashed.size() / 10);
    // The legend's black frame, and the name above the plot.
    bool framed = false;
    for (int y = layout.Y0; y < layout.Y1 && !framed; ++y)
        framed = RowPattern(image, layout, y).contains(QString(60, '#')) && y != layout.ValueToY(live);
    QVERIFY(framed);
    int named = 0;
    for (int y = 0; y < layout.Y0 - 1; ++y)
        for (int x = layout.X0; x < layout.X0 + 200; ++x)
            named += image.pixelColor(x, y) == Qt::black;
    QVERIFY(named > 20);
}

void TestPrintout::liveTraceSolidEachSnapshotItsOwnDashes()
{
    const TCircuit circuit;
    // Levels half way between the dB lines, one per trace: live at -0.5 dB,
    // snapshot n at -(2n + 0.5) dB.
    TTraceStore store;
    for (int t = MaxTraces - 1; t >= 0; --t) {
        store.Traces[0].fill(-(2 * t + 0.5));
        store.TraceColours[0] = PlotColours[t % PlotColours.size()];
        if (t > 0)
            QVERIFY(store.Snapshot());
    }
    QCOMPARE(store.TraceCount, MaxTraces);

    QImage image = Page();
    const TPrintLayout layout = Draw(image, store, circuit);
    QStringList patterns;
    for (int t = 0; t < MaxTraces; ++t) {
        const QString row = RowPattern(image, layout, layout.DBToY(-(2 * t + 0.5)));
        QVERIFY2(row.contains('#'), qPrintable(QString::number(t)));
        QVERIFY2(row.contains('.') == (t > 0), qPrintable(QString::number(t)));
        patterns << row;
    }
    patterns.removeDuplicates();
    QCOMPARE(patterns.size(), MaxTraces);
    // The level of no trace stays white.
    QCOMPARE(image.pixelColor(layout.FreqToX(150), layout.DBToY(-47.5)), QColor(Qt::white));

    // Slots past the traces in use are not printed.
    store.TraceCount = 1;
    image = Page();
    Draw(image, store, circuit);
    QVERIFY(!RowPattern(image, layout, layout.DBToY(-0.5)).contains('.'));
    // Only the frequency lines cross the level of the dropped snapshot.
    QVERIFY(RowPattern(image, layout, layout.DBToY(-2.5)).count('#') < 60);
}

void TestPrintout::pensGrowWithTheResolution_data()
{
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("scale");
    QTest::newRow("150 dpi keeps the 300-dpi widths") << 150 << 1;
    QTest::newRow("600 dpi doubles them") << 600 << 2;
}

void TestPrintout::pensGrowWithTheResolution()
{
    QFETCH(int, dpi);
    QFETCH(int, scale);
    const TCircuit circuit;
    QImage image = Page(1275 * dpi / Dpi, 1650 * dpi / Dpi, dpi);
    const TPrintLayout layout = Draw(image, FlatStore(-25.5), circuit);
    QCOMPARE(layout.PenScale, double(scale));
    // The trace is five 300-dpi units thick.
    const int x = layout.FreqToX(150);
    const int centre = layout.DBToY(-25.5);
    int top = centre, bottom = centre;
    while (image.pixelColor(x, top - 1) == Qt::black)
        --top;
    while (image.pixelColor(x, bottom + 1) == Qt::black)
        ++bottom;
    const int thickness = bottom - top + 1;
    QVERIFY2(std::abs(thickness - 5 * scale) <= 1, qPrintable(QString::number(thickness)));
}

void TestPrintout::offScaleGainsLieOnTheEdges()
{
    const TCircuit circuit;
    auto page = [&](double db) {
        QImage image = Page();
        Draw(image, FlatStore(db), circuit);
        return image;
    };
    QCOMPARE(page(3), page(0));
    QCOMPARE(page(-70), page(-50));
    QVERIFY(page(0) != page(-50));
    QVERIFY(page(-25) != page(-50));
}

void TestPrintout::nothingRightOfThePlot()
{
    const TCircuit circuit;
    QImage image = Page();
    const TPrintLayout layout = Draw(image, FlatStore(-50), circuit);
    // Pens are at most 5 units wide, so nothing reaches past X1 + 2.
    for (int x = layout.X1 + 3; x < image.width(); ++x)
        for (int y = 0; y <= layout.Y1 + 2; ++y)
            QVERIFY2(image.pixelColor(x, y) == Qt::white, qPrintable(QStringLiteral("%1, %2").arg(x).arg(y)));
    // The axis itself reaches X1 on the thick 0 dB line.
    QCOMPARE(image.pixelColor(layout.X1, layout.Y0), QColor(Qt::black));
}

void TestPrintout::pdfWriterPage()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext is not installed");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("page.pdf"));
    const TCircuit circuit;
    {
        QPdfWriter writer(path);
        writer.setResolution(600);
        QPainter painter(&writer);
        const TPrintLayout layout =
            DrawPrintout(painter, FlatStore(-20), circuit.ActiveValues(), circuit.ActiveInfo(), '.');
        // The page is measured in the writer's device units.
        QCOMPARE(layout.X1, writer.width() - QFontMetrics(PrintoutFont(10), &writer).horizontalAdvance("10000Hz") / 2);
    }
    CheckPageText(PdfText(path));
}

void TestPrintout::printerPdfDocument()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext is not installed");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("printed.pdf"));
    const TCircuit circuit;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    PrintPlot(printer, FlatStore(-20), circuit.ActiveValues(), circuit.ActiveInfo(), '.');
    QCOMPARE(printer.docName(), QStringLiteral("Corvanta"));
    const QString text = PdfText(path);
    CheckPageText(text);
    // One page: pdftotext separates pages by form feeds.
    QCOMPARE(text.count(QLatin1Char('\f')), 1);
}

void TestPrintout::pngIsTheScreenPicture()
{
    QTemporaryDir dir;
    TTraceStore store = FlatStore(-20);
    store.Snapshot();
    store.Traces[0].fill(-30);
    TPlotScale scale;
    scale.AutoYScale = true;
    const QString path = dir.filePath(QStringLiteral("plot.png"));
    QCOMPARE(ExportPlotPng(path, QSize(407, 417), store, scale, clRed), QString());

    QImage screen(407, 417, QImage::Format_RGB32);
    {
        QPainter painter(&screen);
        TPlotScale screenScale = scale;
        RenderPlot(painter, screen.size(), store, screenScale, clRed);
    }
    QCOMPARE(QImage(path).convertToFormat(QImage::Format_RGB32), screen);
    // The window's scale is the caller's; exporting leaves it alone.
    QCOMPARE(scale.PlotTopDB, 0);

    QCOMPARE(ExportPlotPng(path, QSize(407, 417), store, scale, clRed, 2), QString());
    QCOMPARE(QImage(path).size(), QSize(814, 834));
}

void TestPrintout::svgIsReadable()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plot.svg"));
    QCOMPARE(ExportPlotSvg(path, QSize(407, 417), FlatStore(-20), TPlotScale{}, clLime), QString());
    QSvgRenderer renderer(path);
    QVERIFY(renderer.isValid());
    QCOMPARE(renderer.viewBox(), QRect(0, 0, 407, 417));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.contains("<svg"));
    QVERIFY(text.contains("10000Hz"));
}

void TestPrintout::csvHoldsEveryTrace()
{
    // Columns named as the legend names the shown curves, quoted where the
    // name needs it; a hidden snapshot is left out.
    QTemporaryDir dir;
    TTraceStore store = FlatStore(-20);
    store.Snapshot("Hidden");
    store.Hidden[1] = true;
    store.Snapshot("Bassman, \"5F6-A\"");
    store.Labels[0] = "JCM800";
    const QString path = dir.filePath(QStringLiteral("traces.csv"));
    QCOMPARE(ExportTraceCsv(path, store), QString());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QCOMPARE(lines.size(), GridPoints + 2); // the header, the points and an empty end
    QCOMPARE(lines[0], QByteArray("frequency_hz,JCM800 (live),\"Bassman, \"\"5F6-A\"\"\""));
    QCOMPARE(lines[1], QByteArray("10,-20,-20"));
    // Tab-separated for the clipboard; the quote still needs quoting.
    const std::string copied = ShownCurvesTable(store, '\t');
    QCOMPARE(copied.substr(0, copied.find('\n')), std::string("frequency_hz\tJCM800 (live)\t\"Bassman, \"\"5F6-A\"\"\""));
}

void TestPrintout::failedExportKeepsTheExistingFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plot.png"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old picture");
    }
    // A plot without area fails after the temporary file was opened.
    const QString error = ExportPlotPng(path, QSize(0, 417), FlatStore(-20), TPlotScale{}, clLime);
    QVERIFY(error.startsWith(QStringLiteral("Cannot create file \"%1\".").arg(path)));
    QVERIFY(!ExportPlotSvg(path, QSize(407, 0), FlatStore(-20), TPlotScale{}, clLime).isEmpty());
    QFile old(path);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old picture"));
    // No temporary file is left behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("plot.png")});

    const QString missing = dir.filePath(QStringLiteral("no-such-dir/plot.svg"));
    const QString svgError = ExportPlotSvg(missing, QSize(407, 417), FlatStore(-20), TPlotScale{}, clLime);
    QVERIFY(svgError.startsWith(QStringLiteral("Cannot create file \"%1\".").arg(missing)));
    QVERIFY(!ExportTraceCsv(missing, FlatStore(-20)).isEmpty());
    QVERIFY(!QFile::exists(missing));
}

// The exports go through the circuit files' writer: a dangling link leads
// to the file it names. A pipe is refused at once, as the window would wait
// for its reader.
void TestPrintout::exportsAreWrittenAsCircuitFilesAre()
{
    QTemporaryDir dir;
    const QByteArray fifo = QFile::encodeName(dir.filePath(QStringLiteral("traces.fifo")));
    QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
    ::alarm(30); // a wait ends the test instead of hanging it
    QCOMPARE(ExportTraceCsv(QFile::decodeName(fifo), FlatStore(-20)),
             QStringLiteral("Cannot create file \"%1\". not a regular file").arg(QFile::decodeName(fifo)));
    ::alarm(0);
    QVERIFY(!QFileInfo(QFile::decodeName(fifo)).isFile());

    const QString link = dir.filePath(QStringLiteral("plot.svg"));
    QVERIFY(QFile::link(QStringLiteral("drawn.svg"), link));
    QCOMPARE(ExportPlotSvg(link, QSize(407, 417), FlatStore(-20), TPlotScale{}, clLime), QString());
    QVERIFY(QFileInfo(link).isSymLink());
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("drawn.svg"))).size() > 0);
}

QTEST_MAIN(TestPrintout)
#include "test_printout.moc"
