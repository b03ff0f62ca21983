#include "audio/RecordingLoad.h"

#include <algorithm>
#include <new>

#include "audio/Resampler.h"
#include "numerics/Error.h"

namespace cva {

TRecordingLoad::TRecordingLoad(std::unique_ptr<TAudioFileReader> reader, double outputRate)
    : Reader(std::move(reader)), Total(std::max<std::int64_t>(1, Reader->Frames())),
      Thread([this, outputRate] { Run(outputRate); })
{
}

TRecordingLoad::~TRecordingLoad()
{
    Cancel();
    Thread.join();
}

void TRecordingLoad::Run(double outputRate)
{
    constexpr std::size_t BlockFrames = 1 << 14;
    try {
        TResampler resampler(Reader->SampleRate(), outputRate);
        try {
            Output.reserve(static_cast<std::size_t>(resampler.OutputLength(static_cast<std::uint64_t>(Total))));
        } catch (const std::bad_alloc &) {
            throw CorvantaError("Not enough memory to hold the recording at " + std::to_string(int(outputRate)) +
                                " Hz.");
        }
        std::vector<float> block(BlockFrames);
        while (!Cancelling.load()) {
            const std::size_t count = Reader->Read(block);
            if (count == 0)
                break;
            resampler.Push(std::span(block).first(count), Output);
            Done.fetch_add(static_cast<std::int64_t>(count));
        }
        if (Cancelling.load())
            Output = {};
        else
            resampler.Finish(Output);
        if (Output.empty() && !Cancelling.load())
            Failure = "Cannot read audio file \"" + Reader->FilePath().string() + "\". It holds no samples.";
    } catch (const std::bad_alloc &) {
        Output = {};
        Failure = "Not enough memory to read the recording.";
    } catch (const std::exception &error) {
        Output = {};
        Failure = error.what();
    }
    Reader.reset();
    Ended.store(true);
}

} // namespace cva
