#pragma once

// The tolerance band of the circuit on screen, computed away from the GUI
// thread: each change of the circuit or of the settings starts a new band
// and cancels the one still running, whose result is never shown.

#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QObject>
#include <QString>

#include "document/Circuit.h"
#include "document/Tolerance.h"

namespace cva {

// What Plot > Tolerance band chooses. A kind's or a part's percentage, where
// set, replaces the default; a part's wins over its kind's. Names of parts
// another page has are kept and simply not used here.
struct TToleranceSettings {
    bool Shown = false;
    std::map<std::string, double> KindPercent;
    std::map<std::string, double> PartPercent;
    int Runs = 1000;
    std::uint64_t Seed = DefaultToleranceSeed;

    bool operator==(const TToleranceSettings &) const = default;
};

// The active page's parts with the settings' percentages.
std::vector<TPartTolerance> TolerancesFor(const TCircuit &circuit, const TToleranceSettings &settings);

class TToleranceBandWorker : public QObject {
    Q_OBJECT

public:
    explicit TToleranceBandWorker(QObject *parent = nullptr);
    // Cancels the running band and waits for it: it reads nothing of this object.
    ~TToleranceBandWorker() override;

    // Starts the band of this circuit; the band shown so far is dropped.
    void Start(const TCircuit &circuit, const TToleranceSettings &settings);
    // Drops the band and stops the one running.
    void Stop();

    // The last finished band of the circuit last started, if any.
    const std::optional<TToleranceBand> &Band() const { return FBand; }
    bool Busy() const { return FRunning != nullptr; }

signals:
    // A band is ready (Band()), or could not be computed and why.
    void Finished();
    void Failed(const QString &reason);

private:
    struct TJob;
    void Done(const std::shared_ptr<TJob> &job);
    void CancelRunning();

    std::shared_ptr<TJob> FRunning;
    // Cancelled jobs still winding down, waited for on destruction.
    std::vector<std::shared_ptr<TJob>> FCancelled;
    std::optional<TToleranceBand> FBand;
};

} // namespace cva
