#pragma once
#include <string>

namespace Brio {

class UniqueString;

/// What the host holds of a loaded add-in library: the object its exported C entry
/// `GetIAddIn` answers. The library owns it; the host never deletes it. The host calls load
/// once after opening the library and unload once before closing it.
class IAddIn {
public:
    /// A description for diagnostics.
    virtual std::wstring toString() const;
    /// Starts the add-in; false leaves it unusable and the host closes the library again.
    virtual bool load() = 0;
    /// Stops the add-in: after this nothing of the library may be in use when it is closed.
    virtual bool unload() = 0;

    /// "Brio::IAddIn".
    static const UniqueString* interfaceId();

protected:
    IAddIn() = default;
    ~IAddIn() = default;
    IAddIn(const IAddIn&) = delete;
    IAddIn& operator=(const IAddIn&) = delete;
};

/// The type of the C entry `GetIAddIn` every add-in library exports; it answers the same
/// object on every call.
using GetIAddInFunction = IAddIn* (*)();

} // namespace Brio
