#pragma once
// Replaces the global allocation operators with ones that count, per thread, every allocation
// made through them: the standard library's, the host framework's and the scene's. Include it
// in one source file of an executable. Graphics objects bypass these operators (their heap
// calls malloc): add HeapOperators' count to see every heap allocation.
#include <cstdint>
#include <cstdlib>
#include <new>

namespace CountingNew {

inline thread_local std::int64_t allocations = 0;

inline void* Counted(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

inline void* CountedAligned(std::size_t size, std::align_val_t align) {
    ++allocations;
    const std::size_t a = static_cast<std::size_t>(align);
    if (void* p = std::aligned_alloc(a, (size + a - 1) / a * a))
        return p;
    throw std::bad_alloc();
}

} // namespace CountingNew

void* operator new(std::size_t size) {
    return CountingNew::Counted(size);
}
void* operator new[](std::size_t size) {
    return CountingNew::Counted(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return CountingNew::Counted(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& t) noexcept {
    return operator new(size, t);
}
void* operator new(std::size_t size, std::align_val_t align) {
    return CountingNew::CountedAligned(size, align);
}
void* operator new[](std::size_t size, std::align_val_t align) {
    return CountingNew::CountedAligned(size, align);
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
void operator delete(void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}
