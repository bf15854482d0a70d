#include <Scene/Attributes/AmbraTranslator.h>

#include <Brio/Base/StringConversion.h>
#include <Lumo/Devices/BasicMaterialEffectInstance.h>
#include <Lumo/Objects/UString.h>
#include <Scene/Attributes/AmbraAsset.h>
#include <Scene/Attributes/AmbraManager.h>

#include <iostream>

namespace Lumo::Scene {

using Lumo::Devices::AVirtualDevice;
using Lumo::Devices::BasicMaterialEffectInstance;
using Lumo::Objects::vec3;
using Lumo::Objects::vec4;

namespace {
Brio::Color HostColor(const vec4<float>& c) {
    return Brio::Color(c.x, c.y, c.z, c.w);
}
vec3<float> Rgb(const Brio::Color& c) {
    return {c.red(), c.green(), c.blue()};
}
} // namespace

AmbraTranslator* AmbraTranslator::GetAmbraTranslator() {
    static AmbraTranslator translator;
    return &translator;
}

Lumo::Devices::EffectInstance* AmbraTranslator::GetMaterialEI(AVirtualDevice* device,
                                                              const Lumo::Objects::UString& identifier,
                                                              bool useCustomizedColor, const vec4<float>& color,
                                                              float rotation, float scale) {
    Brio::AmbraManager* manager = Brio::AmbraManager::GetAmbraManager(true);
    const std::string id = Brio::Utility::toUtf8(identifier.Text());
    std::optional<Brio::AmbraAsset> asset = manager->GetAssetInstance(
        manager->VisualLibraryId(), id, useCustomizedColor, HostColor(color), rotation, scale);
    if (!asset) {
        std::lock_guard<std::mutex> lock(m_mutex);
        // Once per identifier: a missing material would otherwise be reported every frame.
        if (!manager->LibraryStatus().failed() && m_reported.insert(id).second)
            std::cerr << "BrioScene: material \"" << id << "\" is not in the material library\n";
        return nullptr;
    }
    return TranslateMaterial(device, *asset);
}

Lumo::Devices::EffectInstance* AmbraTranslator::GetDefaultFrontFaceEI(AVirtualDevice* device, bool useCustomizedColor,
                                                                      const vec4<float>& color) {
    Brio::AmbraManager* manager = Brio::AmbraManager::GetAmbraManager(true);
    return TranslateMaterial(device, manager->DefaultFrontFace(useCustomizedColor, HostColor(color)));
}

BasicMaterialEffectInstance* AmbraTranslator::TranslateMaterial(AVirtualDevice* device, const Brio::AmbraAsset& asset) {
    std::lock_guard<std::mutex> lock(m_mutex);
    BasicMaterialEffectInstance* m = BasicMaterialEffectInstance::Make(device);
    if (!m)
        return nullptr;
    m->Emissive(Rgb(asset.emissive));
    m->Ambient(Rgb(asset.ambient));
    m->Diffuse(Rgb(asset.diffuse));
    m->Specular(Rgb(asset.specular));
    m->Shininess(asset.shininess);
    m->Opacity(asset.opacity);
    m->ReflectionBlend(asset.reflection * asset.opacity);
    return m;
}

} // namespace Lumo::Scene
