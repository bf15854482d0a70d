#include <Brio/AddInMgr/IServerAddIn.h>

#include <Brio/Base/UniqueString.h>

namespace Brio {

const UniqueString* IServerAddIn::interfaceId() {
    static const UniqueString* id = UniqueString::find("Brio::IServerAddIn");
    return id;
}

const UniqueString* IServerAddIn::getInterfaceId() const {
    return interfaceId();
}

void* IServerAddIn::queryInterface(const UniqueString* id) {
    if (!id)
        return nullptr;
    if (id == interfaceId() || id == getInterfaceId())
        return static_cast<IServerAddIn*>(this);
    if (id == IAddIn::interfaceId())
        return static_cast<IAddIn*>(this);
    return nullptr;
}

} // namespace Brio
