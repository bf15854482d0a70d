#pragma once
#include <cstddef>
#include <utility>

namespace Lumo::Objects {

/// Intrusive smart pointer over AddRef/ReleaseRef: holds one reference while non-null.
template <class T> class AutoPtr {
public:
    AutoPtr() = default;
    AutoPtr(std::nullptr_t) {}
    AutoPtr(T* p) : m_p(p) {
        if (m_p)
            m_p->AddRef();
    }
    AutoPtr(const AutoPtr& o) : AutoPtr(o.m_p) {}
    AutoPtr(AutoPtr&& o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
    template <class U> AutoPtr(const AutoPtr<U>& o) : AutoPtr(o.get()) {}
    ~AutoPtr() {
        if (m_p)
            m_p->ReleaseRef();
    }

    AutoPtr& operator=(const AutoPtr& o) {
        reset(o.m_p);
        return *this;
    }
    AutoPtr& operator=(AutoPtr&& o) noexcept {
        if (this != &o) {
            T* old = std::exchange(m_p, std::exchange(o.m_p, nullptr));
            if (old)
                old->ReleaseRef();
        }
        return *this;
    }
    AutoPtr& operator=(T* p) {
        reset(p);
        return *this;
    }

    void reset(T* p = nullptr) {
        if (p)
            p->AddRef(); // first, in case p is the object being released
        T* old = std::exchange(m_p, p);
        if (old)
            old->ReleaseRef();
    }
    /// Gives up the reference without releasing it.
    T* release() { return std::exchange(m_p, nullptr); }

    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    T& operator*() const { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    operator T*() const { return m_p; }

private:
    T* m_p = nullptr;
};

} // namespace Lumo::Objects
