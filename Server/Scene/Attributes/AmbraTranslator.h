#pragma once
#include <Lumo/Objects/Vec.h>

#include <mutex>
#include <set>
#include <string>

namespace Brio {
struct AmbraAsset;
}
namespace Lumo::Objects {
class UString;
}
namespace Lumo::Devices {
class AVirtualDevice;
class BasicMaterialEffectInstance;
class EffectInstance;
} // namespace Lumo::Devices

namespace Lumo::Scene {

/// Turns materials of the host's material library into effect instances of a device.
class AmbraTranslator {
public:
    /// The process-wide translator, made on first use.
    static AmbraTranslator* GetAmbraTranslator();

    /// A new instance (count 0) of the library material with the customized colour (when
    /// asked), rotation and scale; null when the library has no such material or the device
    /// offers no basic material.
    Lumo::Devices::EffectInstance* GetMaterialEI(Lumo::Devices::AVirtualDevice* device,
                                                 const Lumo::Objects::UString& identifier, bool useCustomizedColor,
                                                 const Lumo::Objects::vec4<float>& color, float rotation, float scale);
    /// A new instance of the library's default front face; what unknown materials show.
    Lumo::Devices::EffectInstance* GetDefaultFrontFaceEI(Lumo::Devices::AVirtualDevice* device, bool useCustomizedColor,
                                                         const Lumo::Objects::vec4<float>& color);
    /// The material as a basic material instance (count 0); null without a device.
    Lumo::Devices::BasicMaterialEffectInstance* TranslateMaterial(Lumo::Devices::AVirtualDevice* device,
                                                                  const Brio::AmbraAsset& asset);

    AmbraTranslator(const AmbraTranslator&) = delete;
    AmbraTranslator& operator=(const AmbraTranslator&) = delete;

private:
    AmbraTranslator() = default;
    std::mutex m_mutex;               // translation is serialised process-wide
    std::set<std::string> m_reported; // unknown identifiers already logged
};

} // namespace Lumo::Scene
