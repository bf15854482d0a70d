#pragma once
#include <cstddef>
#include <cstdint>

namespace Lumo::Objects {

/// Allocation statistics of the graphics heap (relaxed counters, for diagnostics and benchmarks).
struct HeapStats {
    std::int64_t liveBlocks;
    std::int64_t liveBytes;
    std::int64_t totalBlocks;
};

/// Base whose operators route every graphics object through one heap, so that
/// allocations of the render graph can be counted and measured.
class HeapOperators {
public:
    static void* operator new(std::size_t size);
    static void operator delete(void* p, std::size_t size) noexcept;
    static void* operator new[](std::size_t size);
    static void operator delete[](void* p, std::size_t size) noexcept;
    static void* operator new(std::size_t, void* where) noexcept { return where; }
    static void operator delete(void*, void*) noexcept {}

    static HeapStats Stats();
};

} // namespace Lumo::Objects
