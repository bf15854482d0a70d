#pragma once

#include <Brio/Base/RefCounted.h>
#include <Brio/Base/StrongRefBase.h>

#include <cstddef>
#include <type_traits>

namespace Brio {

/// Counted reference to a T derived from RefCounted; how host entities are held.
template <class T> class StrongRef : public StrongRefBase {
public:
    StrongRef() noexcept = default;
    StrongRef(std::nullptr_t) noexcept {}
    StrongRef(T* target) noexcept : StrongRefBase(target) {}

    /// Upcast from a reference to a derived type.
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    StrongRef(const StrongRef<U>& other) noexcept : StrongRefBase(static_cast<T*>(other.getTarget())) {}

    StrongRef& operator=(T* target) noexcept {
        assign(target);
        return *this;
    }

    using StrongRefBase::reset;
    void reset(T* target) noexcept { assign(target); }

    T* getTarget() const noexcept { return static_cast<T*>(m_target); }
    T* operator->() const noexcept { return getTarget(); }
    T& operator*() const noexcept { return *getTarget(); }

    friend bool operator==(const StrongRef& a, const T* b) noexcept { return a.getTarget() == b; }
    friend bool operator==(const StrongRef& a, std::nullptr_t) noexcept { return a.isNull(); }
};

} // namespace Brio
