#include "audio/SourceHandOver.h"

#include <algorithm>

namespace cva {

void TSourceHandOver::Replace(std::unique_ptr<TSignalSource> next)
{
    FreeRetired();
    Current.store(next.get(), std::memory_order_seq_cst);
    // A cycle that took the old source before the store above finishes with
    // a count above the one read after it.
    const std::uint64_t cycles = Cycles.load(std::memory_order_seq_cst);
    if (Owned)
        Retired.emplace_back(std::move(Owned), cycles);
    Owned = std::move(next);
}

void TSourceHandOver::FreeRetired()
{
    const std::uint64_t cycles = Cycles.load(std::memory_order_seq_cst);
    std::erase_if(Retired, [cycles](const auto &retired) { return cycles > retired.second; });
}

void TSourceHandOver::FreeAll()
{
    Retired.clear();
    Current.store(nullptr);
    Owned.reset();
}

} // namespace cva
