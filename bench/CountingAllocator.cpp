// Replaces the global allocation functions to count live bytes.

#include "CountingAllocator.h"

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {

std::atomic<std::size_t> g_live{0};
std::atomic<std::size_t> g_peak{0};

void* Allocate(std::size_t size)
{
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr)
        throw std::bad_alloc();
    const std::size_t live = g_live += malloc_usable_size(p);
    std::size_t peak = g_peak.load();
    while (live > peak && !g_peak.compare_exchange_weak(peak, live)) {
    }
    return p;
}

void Release(void* p) noexcept
{
    if (p == nullptr)
        return;
    g_live -= malloc_usable_size(p);
    std::free(p);
}

} // namespace

namespace heap {

std::size_t LiveBytes() { return g_live.load(); }
std::size_t PeakBytes() { return g_peak.load(); }
void ResetPeak() { g_peak.store(g_live.load()); }

} // namespace heap

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
