#include <Lumo/Objects/HeapOperators.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace Lumo::Objects {

namespace {
std::atomic<std::int64_t> g_liveBlocks{0};
std::atomic<std::int64_t> g_liveBytes{0};
std::atomic<std::int64_t> g_totalBlocks{0};

void* Allocate(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    g_liveBlocks.fetch_add(1, std::memory_order_relaxed);
    g_totalBlocks.fetch_add(1, std::memory_order_relaxed);
    g_liveBytes.fetch_add(static_cast<std::int64_t>(size), std::memory_order_relaxed);
    return p;
}

void Free(void* p, std::size_t size) noexcept {
    if (!p)
        return;
    g_liveBlocks.fetch_sub(1, std::memory_order_relaxed);
    g_liveBytes.fetch_sub(static_cast<std::int64_t>(size), std::memory_order_relaxed);
    std::free(p);
}
} // namespace

void* HeapOperators::operator new(std::size_t size) {
    return Allocate(size);
}
void HeapOperators::operator delete(void* p, std::size_t size) noexcept {
    Free(p, size);
}
void* HeapOperators::operator new[](std::size_t size) {
    return Allocate(size);
}
void HeapOperators::operator delete[](void* p, std::size_t size) noexcept {
    Free(p, size);
}

HeapStats HeapOperators::Stats() {
    return {g_liveBlocks.load(std::memory_order_relaxed), g_liveBytes.load(std::memory_order_relaxed),
            g_totalBlocks.load(std::memory_order_relaxed)};
}

} // namespace Lumo::Objects
