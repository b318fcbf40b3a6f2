// SPDX-License-Identifier: GPL-3.0-or-later
#include "workshop/Memory.h"

#include <sys/mman.h>

#include <new>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace morvanta::workshop {

MemoryReserve::MemoryReserve(std::size_t bytes) : bytes_(bytes) {
    retake();
}

MemoryReserve::~MemoryReserve() {
    release();
}

// A private, writable mapping is what malloc gets for a large block: it counts against a cap on
// the address space and, where the system keeps count, against the memory it has promised, but
// no page of it is touched.
bool MemoryReserve::retake() {
    if (start_ == nullptr && bytes_ > 0) {
        void* start =
            ::mmap(nullptr, bytes_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        start_ = start == MAP_FAILED ? nullptr : start;
    }
    return held();
}

void MemoryReserve::release() {
    if (start_ != nullptr) {
        ::munmap(start_, bytes_);
        start_ = nullptr;
    }
}

void requireMemory(std::size_t bytes) {
    if (!MemoryReserve(bytes).held()) {
        throw std::bad_alloc();
    }
}

// Blocks this large or larger are mapped of their own and given back as soon as freed. Left to
// itself, malloc raises that bound to the largest block freed so far, and then keeps the freed
// room of the PDF writer's 16 MB blocks in its heap, out of reach of anything but itself.
constexpr int kMappedBlock = 1 << 20;

void shareOneMemoryArena() {
#if defined(__GLIBC__)
    mallopt(M_ARENA_MAX, 1);
    mallopt(M_MMAP_THRESHOLD, kMappedBlock);
#endif
}

}  // namespace morvanta::workshop
