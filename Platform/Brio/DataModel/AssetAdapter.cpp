#include <Brio/DataModel/AssetAdapter.h>

#include <Brio/Base/UniqueString.h>

namespace Brio {

AssetAdapter::~AssetAdapter() = default;

const UniqueString* AssetAdapter::interfaceId() {
    static const UniqueString* id = UniqueString::find(L"Brio::AssetAdapter");
    return id;
}

void* AssetAdapter::queryInterface(const UniqueString* id) const {
    return id == interfaceId() ? const_cast<AssetAdapter*>(this) : nullptr;
}

} // namespace Brio
