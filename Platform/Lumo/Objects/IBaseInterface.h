#pragma once

namespace Lumo::Objects {

class UString;

/// Root of every graphics-system object: interface lookup by interned class name.
class IBaseInterface {
public:
    virtual ~IBaseInterface() = default;
    /// The object seen as the named interface, or null when it does not offer it.
    virtual void* GetInterface(UString* name) = 0;
    /// The interned name of the object's most derived class.
    virtual UString* ClassName() const = 0;
};

/// Typed interface lookup: `QueryInterface<T>(obj)` asks for T's interned class name.
template <class T> T* QueryInterface(IBaseInterface* obj) {
    return obj ? static_cast<T*>(obj->GetInterface(T::StaticClassName())) : nullptr;
}

} // namespace Lumo::Objects
