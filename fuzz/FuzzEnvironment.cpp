// Environment definitions (Environments/<id>/<id>.xml) through EnvironmentManager, then the
// scenery, image-based lighting and lights a view builds from them (on a draw context without
// a device: no graphics context needed).
#include "FuzzSupport.h"

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Scene/Environment/Environment.h>
#include <Scene/Environment/EnvironmentManager.h>

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Fuzz::WriteInput("Resources/Environments/Fuzz/Fuzz.xml", data, size);
    Brio::Scene::EnvironmentManager manager;
    manager.resourceDirectory(Fuzz::ScratchDirectory() / "Resources");
    std::unique_ptr<Brio::Scene::Environment> env(manager.loadEnvironment(L"Fuzz"));
    if (!env) {
        Fuzz::Check(!manager.lastError().empty(), "a definition that does not load says why");
        return 0;
    }
    Lumo::Objects::AutoPtr<Lumo::Devices::ADrawContext> dc = Lumo::Devices::ADrawContext::Make(nullptr);
    env->loadEnvironment(*dc);
    return 0;
}
