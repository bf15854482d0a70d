#include <Brio/Base/UniqueString.h>
#include <Brio/DataModel/Object.h>

namespace Brio {

const UniqueString* Object::interfaceId() {
    static const UniqueString* id = UniqueString::find(L"Brio::Object");
    return id;
}

void* Object::queryInterface(const UniqueString* id) const {
    return id == interfaceId() ? const_cast<Object*>(this) : nullptr;
}

} // namespace Brio
