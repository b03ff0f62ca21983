#pragma once

// The view shown, out of the program: printed, exported as a picture or a
// table, copied to the clipboard.

#include <memory>

#include <QObject>

class QMenu;
class QPrinter;

namespace cva {

class TCircuitDocument;
class TfrmMain;
class TPlotViews;

class TOutputCommands : public QObject {
    Q_OBJECT

public:
    TOutputCommands(TfrmMain &window, TPlotViews &views);
    ~TOutputCommands() override;

    // Print, Print preview and Print setup in the File menu.
    void CreatePrintActions(QMenu *file);
    // Copy plot and Copy data in the Edit menu.
    void CreateCopyActions(QMenu *edit);

    void Print();
    void PrintPreview();
    void PrintSetup();
    // A picture (PNG, SVG) at a chosen size or a CSV table of the view shown.
    void Export();
    // Edit > Copy plot and Copy data: the view shown to the clipboard.
    void CopyPlot();
    void CopyData();

private:
    // False, after telling the user why, when the view shown has nothing to give.
    bool Refused(const QString &refusal);
    QPrinter &Printer();
    void PrintShownView(QPrinter &printer);

    TfrmMain &FWindow;
    TCircuitDocument &FDoc;
    TPlotViews &FViews;
    // Kept for the whole run so that Print setup's choices carry over.
    std::unique_ptr<QPrinter> FPrinter;
};

} // namespace cva
