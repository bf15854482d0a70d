#pragma once
#include <functional>

namespace Lumo::Objects {

class UString;
class ARefCounted;

/// Process-wide registry of creators by interned class name, so that a library can
/// supply the object the graphics system makes for a given name.
class ClassFactory {
public:
    using Creator = std::function<ARefCounted*()>;

    static ClassFactory& Get();

    /// Registers (or replaces) the creator for name; a null creator unregisters.
    void Register(UString* name, Creator creator);
    void Unregister(UString* name);
    bool IsRegistered(UString* name) const;
    /// A new object of the named class, or null when none is registered.
    ARefCounted* Create(UString* name) const;

private:
    ClassFactory();
    ~ClassFactory();
    struct Impl;
    Impl* m_impl;
};

} // namespace Lumo::Objects
