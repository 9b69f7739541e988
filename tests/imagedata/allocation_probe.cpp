#include "allocation_probe.h"

#include <atomic>
#include <cstdlib>
#include <new>

// Replacing the global operators is the one way to see every allocation the
// readers and the standard library make on their behalf.
namespace {
std::atomic<bool> g_armed{false};
std::atomic<std::size_t> g_largest{0};

void* allocate(std::size_t size) {
    if (g_armed.load(std::memory_order_relaxed)) {
        std::size_t seen = g_largest.load(std::memory_order_relaxed);
        while (size > seen && !g_largest.compare_exchange_weak(seen, size)) {
        }
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

AllocationProbe::AllocationProbe() {
    g_largest = 0;
    g_armed = true;
}

AllocationProbe::~AllocationProbe() {
    g_armed = false;
}

std::size_t AllocationProbe::largest() const {
    return g_largest.load();
}
