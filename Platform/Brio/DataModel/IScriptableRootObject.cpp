#include <Brio/DataModel/IScriptableRootObject.h>

#include <Brio/Base/UniqueString.h>

namespace Brio {

const UniqueString* IScriptableRootObject::interfaceId() {
    static const UniqueString* id = UniqueString::find(L"Brio::IScriptableRootObject");
    return id;
}

} // namespace Brio
