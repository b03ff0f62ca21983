#pragma once

// The design aids: snapping the page's parts to E-series values, importing a
// measured curve beside the computed ones, and the tolerance band behind the
// live curve, recomputed on a worker after every change.

#include <QObject>
#include <QString>

#include "app/ToleranceBandWorker.h"
#include "components/ESeries.h"

class QMenu;

namespace cva {

class TCircuitDocument;
class TfrmMain;

class TDesignCommands : public QObject {
    Q_OBJECT

public:
    explicit TDesignCommands(TfrmMain &window);

    // Edit > Snap values to.
    void CreateSnapMenu(QMenu *edit);
    // File > Import curve.
    void CreateImportAction(QMenu *file);
    // Plot > Tolerance band.
    void CreateToleranceAction(QMenu *plot);

    // Every resistor and capacitor of the page to its nearest value of the
    // series, in one undo step.
    void SnapValues(TESeries series);
    // A measured curve as a snapshot named after its file; false, the plot
    // unchanged and the reason shown, when it cannot be.
    bool ImportCurve(const QString &path);
    void SetToleranceSettings(const TToleranceSettings &settings);
    const TToleranceSettings &ToleranceSettings() const { return FTolerance; }
    const TToleranceBandWorker &ToleranceBand() const { return *FBandWorker; }

private:
    void RestartToleranceBand();

    TfrmMain &FWindow;
    TCircuitDocument &FDoc;
    TToleranceSettings FTolerance;
    TToleranceBandWorker *FBandWorker;
};

} // namespace cva
