#pragma once

#include <atomic>

namespace Brio {

/// Base of intrusively reference-counted host objects. The count starts at zero; the object
/// deletes itself when the last reference is released. Hold instances with StrongRef.
class RefCounted {
public:
    RefCounted() = default;
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    /// Returns the new count.
    int addRef() noexcept;
    /// Returns the new count; the object is gone when it returns 0.
    int release() noexcept;
    int refCount() const noexcept { return m_refCount.load(std::memory_order_relaxed); }

protected:
    // Only release() deletes, so that nobody frees an object others still reference.
    virtual ~RefCounted();

private:
    std::atomic<int> m_refCount{0};
};

} // namespace Brio
