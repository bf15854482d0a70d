#pragma once
#include <Scene/Attributes/EffectAttribute.h>

namespace Lumo::Scene {

/// One effect drawn with a given face culling (each of its layers culled alike).
class SingleSidedFaceEffectAttribute : public EffectAttribute,
                                       public NetObjectCountImpl<SingleSidedFaceEffectAttribute> {
    LUMO_SCENE_CLASS(SingleSidedFaceEffectAttribute)
public:
    /// The face attribute is held by reference; with none there is no instance.
    static SingleSidedFaceEffectAttribute* Make(EffectAttribute* face, Lumo::Devices::ECull cullMode,
                                                bool winTies = false, unsigned char priority = 0);
    ~SingleSidedFaceEffectAttribute() override;
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::KString ToString() const override;
    EffectAttribute* FaceEffectAttribute() const { return m_face; }
    Lumo::Devices::ECull CullMode() const { return m_cullMode; }

protected:
    SingleSidedFaceEffectAttribute(EffectAttribute* face, Lumo::Devices::ECull cullMode, bool winTies,
                                   unsigned char priority);
    Lumo::Devices::EffectInstance* CreateEffectInstance(Lumo::Devices::ADrawContext& dc, bool shared) override;
    void FaceEffectAttribute(EffectAttribute* face) { m_face = face; }
    void CullMode(Lumo::Devices::ECull cullMode) { m_cullMode = cullMode; }

private:
    Lumo::Objects::AutoPtr<EffectAttribute> m_face;
    Lumo::Devices::ECull m_cullMode;
};

} // namespace Lumo::Scene
