#include <Brio/AddInMgr/IServerAddIn.h>
#include <Brio/DataModel/ObjectPath.h>
#include <Scene/View/Provider.h>

#include <cstdint>

namespace Brio::Scene {

namespace {

/// The add-in the host drives: its load starts the provider and tells the host's object
/// paths which of the scene's selection kinds stand for a sub-object that can be popped to
/// reach its owner; its unload stops the provider.
class SceneAddIn final : public Brio::IServerAddIn {
public:
    bool load() override {
        Provider::provider()->initialize();
        for (std::uint32_t type : {0x40u, 0x80u, 0x100u, 0x200u, 0x20000u, 0x40000u, 0x8000000u})
            Brio::ObjectPath::addQualifiedAndPoppableClientType(type);
        return true;
    }
    bool unload() override {
        Provider::provider()->terminate();
        return true;
    }
};

SceneAddIn g_addIn; // made when the library loads, destroyed when it unloads

} // namespace

} // namespace Brio::Scene

extern "C" __attribute__((visibility("default"))) Brio::IAddIn* GetIAddIn() {
    return &Brio::Scene::g_addIn;
}
