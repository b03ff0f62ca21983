#include "app/ToleranceBandWorker.h"

#include <algorithm>

#include <QFuture>
#include <QtConcurrent/QtConcurrentRun>

#include "numerics/Error.h"

namespace cva {

struct TToleranceBandWorker::TJob {
    std::atomic<bool> Cancel{false};
    QFuture<void> Future;
    std::optional<TToleranceBand> Band;
    std::string Error;
};

std::vector<TPartTolerance> TolerancesFor(const TCircuit &circuit, const TToleranceSettings &settings)
{
    std::vector<TPartTolerance> parts = DefaultTolerances(circuit);
    for (TPartTolerance &part : parts) {
        if (const auto kind = settings.KindPercent.find(part.Kind); kind != settings.KindPercent.end())
            part.Percent = kind->second;
        if (const auto own = settings.PartPercent.find(part.Name); own != settings.PartPercent.end())
            part.Percent = own->second;
    }
    return parts;
}

TToleranceBandWorker::TToleranceBandWorker(QObject *parent) : QObject(parent) {}

TToleranceBandWorker::~TToleranceBandWorker()
{
    CancelRunning();
    for (const std::shared_ptr<TJob> &job : FCancelled)
        job->Future.waitForFinished();
}

void TToleranceBandWorker::CancelRunning()
{
    if (!FRunning)
        return;
    FRunning->Cancel = true;
    FCancelled.push_back(std::move(FRunning));
    FRunning.reset();
}

void TToleranceBandWorker::Stop()
{
    CancelRunning();
    FBand.reset();
}

void TToleranceBandWorker::Start(const TCircuit &circuit, const TToleranceSettings &settings)
{
    Stop();
    std::erase_if(FCancelled, [](const std::shared_ptr<TJob> &job) { return job->Future.isFinished(); });
    auto job = std::make_shared<TJob>();
    FRunning = job;
    job->Future = QtConcurrent::run([this, job, circuit, parts = TolerancesFor(circuit, settings),
                                     runs = settings.Runs, seed = settings.Seed] {
        try {
            job->Band = CalcToleranceBand(circuit, parts, runs, seed, &job->Cancel);
        } catch (const TCancelled &) {
            return;
        } catch (const std::exception &error) {
            job->Error = error.what();
        }
        // Runs on the GUI thread; dropped with this object, which waits
        // for the job before it goes.
        QMetaObject::invokeMethod(this, [this, job] { Done(job); }, Qt::QueuedConnection);
    });
}

void TToleranceBandWorker::Done(const std::shared_ptr<TJob> &job)
{
    // A band of a circuit that has changed since is of no use.
    if (job != FRunning)
        return;
    FRunning.reset();
    if (!job->Error.empty()) {
        emit Failed(QString::fromStdString(job->Error));
        return;
    }
    FBand = std::move(job->Band);
    emit Finished();
}

} // namespace cva
