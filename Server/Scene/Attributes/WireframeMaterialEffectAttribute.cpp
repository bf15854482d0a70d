#include <Scene/Attributes/WireframeMaterialEffectAttribute.h>

#include <Lumo/Devices/ARasterizerState.h>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(WireframeMaterialEffectAttribute, MaterialEffectAttribute)

WireframeMaterialEffectAttribute* WireframeMaterialEffectAttribute::Make(const BasicColorMaterial& material,
                                                                         bool winTies, unsigned char priority) {
    return new WireframeMaterialEffectAttribute(material, winTies, priority);
}

Lumo::Devices::EffectInstance* WireframeMaterialEffectAttribute::CreateEffectInstance(Lumo::Devices::ADrawContext& dc,
                                                                                      bool shared) {
    Lumo::Devices::EffectInstance* m = MaterialEffectAttribute::CreateEffectInstance(dc, shared);
    if (!m)
        return nullptr;
    Lumo::Objects::AutoPtr<Lumo::Devices::ARasterizerState> wire(
        Lumo::Devices::ARasterizerState::Make(Lumo::Devices::eCullBack, Lumo::Devices::eFillWireframe));
    m->OverrideState(wire.get());
    return m;
}

Lumo::Objects::KString WireframeMaterialEffectAttribute::ToString() const {
    Lumo::Objects::KString s = MaterialEffectAttribute::ToString();
    s += L"\nwireframe mode";
    return s;
}

} // namespace Lumo::Scene
