#include <Brio/AddInMgr/IAddIn.h>

#include <Brio/Base/UniqueString.h>

namespace Brio {

std::wstring IAddIn::toString() const {
    return interfaceId()->text();
}

const UniqueString* IAddIn::interfaceId() {
    static const UniqueString* id = UniqueString::find("Brio::IAddIn");
    return id;
}

} // namespace Brio
