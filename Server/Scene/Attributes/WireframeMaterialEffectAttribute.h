#pragma once
#include <Scene/Attributes/MaterialEffectAttribute.h>

namespace Lumo::Scene {

/// A basic material drawn as a wireframe.
class WireframeMaterialEffectAttribute : public MaterialEffectAttribute,
                                         public NetObjectCountImpl<WireframeMaterialEffectAttribute> {
    LUMO_SCENE_CLASS(WireframeMaterialEffectAttribute)
public:
    static WireframeMaterialEffectAttribute* Make(const BasicColorMaterial& material, bool winTies = false,
                                                  unsigned char priority = 0);
    Lumo::Objects::KString ToString() const override;

protected:
    WireframeMaterialEffectAttribute(const BasicColorMaterial& material, bool winTies, unsigned char priority)
        : MaterialEffectAttribute(material, eSourceLiteral, winTies, priority) {}
    Lumo::Devices::EffectInstance* CreateEffectInstance(Lumo::Devices::ADrawContext& dc, bool shared) override;
};

} // namespace Lumo::Scene
