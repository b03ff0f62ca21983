#include "audio/RecordingSource.h"

#include <algorithm>

namespace cva {

void TRecordingSource::Render(std::span<float> out)
{
    const std::size_t count = std::min(out.size(), Samples.size() - Position);
    std::copy_n(Samples.begin() + std::ptrdiff_t(Position), count, out.begin());
    std::fill(out.begin() + std::ptrdiff_t(count), out.end(), 0.0f);
    Position += count;
}

} // namespace cva
