#pragma once
#include <Scene/Attributes/BasicColorMaterial.h>
#include <Scene/Attributes/EffectAttribute.h>

namespace Lumo::Scene {

/// A lit basic material, its diffuse colour either its own or the geometry's vertex colours.
class MaterialEffectAttribute : public EffectAttribute, public NetObjectCountImpl<MaterialEffectAttribute> {
    LUMO_SCENE_CLASS(MaterialEffectAttribute)
public:
    static MaterialEffectAttribute* Make(const BasicColorMaterial& material, EColorSource colorSource,
                                         bool winTies = false, unsigned char priority = 0);
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::KString ToString() const override;
    const BasicColorMaterial& GetMaterial() const { return m_material; }
    EColorSource GetColorSource() const { return m_colorSource; }

protected:
    MaterialEffectAttribute(const BasicColorMaterial& material, EColorSource colorSource, bool winTies,
                            unsigned char priority)
        : EffectAttribute(winTies, priority), m_material(material), m_colorSource(colorSource) {}
    Lumo::Devices::EffectInstance* CreateEffectInstance(Lumo::Devices::ADrawContext& dc, bool shared) override;
    void SetMaterial(const BasicColorMaterial& material) { m_material = material; }
    void SetColorSource(EColorSource source) { m_colorSource = source; }

private:
    BasicColorMaterial m_material;
    EColorSource m_colorSource;
};

} // namespace Lumo::Scene
