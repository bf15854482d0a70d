#pragma once
#include <utility>

namespace Brio::Scene {

/// Whether the add-in has stopped: set when the provider terminates, cleared when it
/// initializes again.
class AddInStaticBase {
public:
    static bool addInStopped();
    static void addInStopped(bool stopped);
};

/// A process-wide object of the library, made on first use. While the add-in runs, and at
/// the exit of a process that never stopped it, the object is never destroyed: statics that
/// unwind later may still reach it, and graphics objects must not be released behind their
/// devices. Once the add-in has stopped (and released what such objects hold) it is freed
/// with the library, so that unloading the library leaves nothing of it on the heap.
template <class T> class AddInStatic : public AddInStaticBase {
public:
    template <class... Args> explicit AddInStatic(Args&&... args) : m_object(new T(std::forward<Args>(args)...)) {}
    ~AddInStatic() {
        if (addInStopped())
            delete m_object;
    }
    AddInStatic(const AddInStatic&) = delete;
    AddInStatic& operator=(const AddInStatic&) = delete;

    T& operator*() const { return *m_object; }
    T* operator->() const { return m_object; }

private:
    T* m_object;
};

} // namespace Brio::Scene
