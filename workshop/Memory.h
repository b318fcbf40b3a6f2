// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

namespace morvanta::workshop {

// Address space held back, untouched, so that work which cannot be stopped part way (a painter
// closing its document) finds room when memory has run short; given back when destroyed or
// released. Holding it costs no memory, only room under a cap such as `ulimit -v`.
//   MemoryReserve reserve(40 << 20);
//   if (!reserve.held()) { ... too little left to start ... }
//   ... on std::bad_alloc: reserve.release(), then close what is open ...
// A reserve of 0 bytes is always held.
class MemoryReserve {
public:
    explicit MemoryReserve(std::size_t bytes);
    ~MemoryReserve();
    MemoryReserve(const MemoryReserve&) = delete;
    MemoryReserve& operator=(const MemoryReserve&) = delete;

    bool held() const { return start_ != nullptr || bytes_ == 0; }
    void release();
    // Holds the same room again after a release; false when it is no longer to be had.
    bool retake();

private:
    void* start_ = nullptr;
    std::size_t bytes_ = 0;
};

// Throws std::bad_alloc unless `bytes` more could be had at once: asked before work that Qt does
// where running out of memory part way would end the program rather than throw.
//   requireMemory(64 << 20);  // fine with 100 MB to spare; throws with 50
void requireMemory(std::size_t bytes);

// Has every thread allocate from the one arena of the main thread. Each further thread's arena
// reserves 64 MB of address space (128 MB while it is placed) that it hardly uses; under a cap on
// the address space that reservation, not the program's data, is what runs out first, and the
// font library, which does not check what it is given, crashes. Called first thing in main().
void shareOneMemoryArena();

}  // namespace morvanta::workshop
