#pragma once

namespace Lumo::Objects {

/// List element policy: the list does nothing to its elements (values, or AutoPtr
/// elements that count for themselves).
struct NoLifetime {
    template <class T> static void Acquire(const T&) {}
    template <class T> static void Release(const T&) {}
};

/// List element policy: the list holds one reference on each non-null element pointer.
struct RefCountedLifetime {
    template <class T> static void Acquire(T* p) {
        if (p)
            p->AddRef();
    }
    template <class T> static void Release(T* p) {
        if (p)
            p->ReleaseRef();
    }
};

} // namespace Lumo::Objects
