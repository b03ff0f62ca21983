#pragma once

// Hands the newest value of T from one producer thread to one consumer
// thread without locks: three slots, one written by the producer, one read
// by the consumer and one in the middle that they swap with a single atomic
// exchange. Neither side ever waits for the other, nothing is allocated,
// and values the consumer was too slow to see are simply replaced.

#include <array>
#include <atomic>
#include <type_traits>

namespace cva {

template <class T> class TLatestValue {
    static_assert(std::is_trivially_copyable_v<T>, "slots are copied while the other side may read");

public:
    // Producer: fill the slot this returns, then Publish it.
    T &Back() { return Slots[ProducerSlot]; }
    void Publish()
    {
        const unsigned previous = Middle.exchange(ProducerSlot | FreshBit, std::memory_order_acq_rel);
        ProducerSlot = previous & IndexMask;
    }
    void Publish(const T &value)
    {
        Back() = value;
        Publish();
    }

    // Consumer: the newest published value, or nullptr when nothing was
    // published since the last call. The pointer stays valid until the next call.
    const T *TakeNew()
    {
        if ((Middle.load(std::memory_order_acquire) & FreshBit) == 0)
            return nullptr;
        const unsigned previous = Middle.exchange(ConsumerSlot, std::memory_order_acq_rel);
        ConsumerSlot = previous & IndexMask;
        return &Slots[ConsumerSlot];
    }

private:
    static constexpr unsigned IndexMask = 3;
    static constexpr unsigned FreshBit = 4;

    std::array<T, 3> Slots{};
    std::atomic<unsigned> Middle{1};
    unsigned ProducerSlot = 0; // touched by the producer only
    unsigned ConsumerSlot = 2; // touched by the consumer only
};

} // namespace cva
