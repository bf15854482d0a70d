#include <Scene/Model/IBodyNodeSource.h>

#include <Brio/Base/UniqueString.h>

namespace Brio::Scene {

const Brio::UniqueString* IBodyNodeSource::interfaceId() {
    static const Brio::UniqueString* id = Brio::UniqueString::find(L"Brio::Scene::IBodyNodeSource");
    return id;
}

void* IBodyNodeSource::queryInterface(const Brio::UniqueString* id) const {
    if (id == interfaceId())
        return const_cast<IBodyNodeSource*>(this);
    return INodeSource::queryInterface(id);
}

} // namespace Brio::Scene
