#pragma once

// Reading a recording for the Listen bar: decoded and resampled to the
// device's rate on a thread of its own, block by block, so that the window
// stays responsive, shows how far it got and can stop it.

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "audio/AudioFile.h"

namespace cva {

class TRecordingLoad {
public:
    // Starts at once on the reader, whose header has been checked.
    TRecordingLoad(std::unique_ptr<TAudioFileReader> reader, double outputRate);
    // Cancels and waits for the thread.
    ~TRecordingLoad();
    TRecordingLoad(const TRecordingLoad &) = delete;
    TRecordingLoad &operator=(const TRecordingLoad &) = delete;

    // The share read so far, 0..1.
    double Progress() const { return Done.load() / double(Total); }
    // Asks the thread to stop after its current block.
    void Cancel() { Cancelling.store(true); }
    bool Finished() const { return Ended.load(); }

    // Once Finished: the samples at the output rate, or the reason they are
    // not there ('Cannot read audio file ...', 'Not enough memory to ...'),
    // or neither when cancelled.
    std::vector<float> &Samples() { return Output; }
    const std::string &Error() const { return Failure; }
    bool Cancelled() const { return Cancelling.load() && Failure.empty() && Output.empty(); }

private:
    void Run(double outputRate);

    std::unique_ptr<TAudioFileReader> Reader;
    std::int64_t Total;
    std::vector<float> Output;
    std::string Failure;
    std::atomic<std::int64_t> Done{0};
    std::atomic<bool> Cancelling{false};
    std::atomic<bool> Ended{false};
    std::thread Thread; // last: starts when everything else is ready
};

} // namespace cva
