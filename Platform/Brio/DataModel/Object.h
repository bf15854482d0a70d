#pragma once
#include <Brio/Base/RefCounted.h>

namespace Brio {

class UniqueString;

/// A host model object: counted, and asked for its interfaces by interface id.
class Object : public RefCounted {
public:
    /// The object seen as the interface of that id, or null.
    virtual void* queryInterface(const UniqueString* id) const;
    /// This kind's interface id ("Brio::Object").
    static const UniqueString* interfaceId();

protected:
    Object() = default;
    ~Object() override = default;
};

} // namespace Brio
