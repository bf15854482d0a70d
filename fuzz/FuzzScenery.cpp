// Scenery meshes in their JSON form through EnvFeature::loadJSONScene.
#include "FuzzSupport.h"

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Scene/Environment/EnvFeature.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path file = Fuzz::WriteInput("Scenery/Fuzz.json", data, size);
    static Lumo::Objects::AutoPtr<Lumo::Devices::ADrawContext> dc = Lumo::Devices::ADrawContext::Make(nullptr);
    Brio::Scene::EnvFeature feature;
    feature.meshPath(L"Fuzz.json");
    feature.isGroundPlane(true);
    std::wstring error;
    Lumo::Objects::AutoPtr<Lumo::Graphics::GeometryNode> node(feature.loadJSONScene(file.parent_path(), *dc, &error));
    if (!node)
        Fuzz::Check(error.find(L"Fuzz.json") != std::wstring::npos, "a mesh that does not load names its file");
    return 0;
}
