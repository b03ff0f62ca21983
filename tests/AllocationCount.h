#pragma once

// Counts every allocation of the program, for the tests that hold code to
// allocating nothing. Replaces the global operator new, so it is included by
// one source file of a test program only.

#include <atomic>
#include <cstdlib>
#include <new>

namespace cva::test {

inline std::atomic<long> Allocations{0};

} // namespace cva::test

void *operator new(std::size_t size)
{
    ++cva::test::Allocations;
    if (void *memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}

// Every form that pairs with the deletes below, so that no allocation made by
// another form (the library's nothrow buffers, say) is freed by them.
void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    ++cva::test::Allocations;
    return std::malloc(size ? size : 1);
}

void operator delete(void *memory) noexcept { std::free(memory); }
void operator delete(void *memory, const std::nothrow_t &) noexcept { std::free(memory); }
void operator delete(void *memory, std::size_t) noexcept { std::free(memory); }
