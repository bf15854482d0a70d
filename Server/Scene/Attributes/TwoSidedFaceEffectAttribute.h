#pragma once
#include <Scene/Attributes/EffectAttribute.h>

namespace Lumo::Scene {

/// Different effects on front and back faces: one layered instance drawing the back
/// effect with front faces culled, then the front effect with back faces culled. A missing
/// side uses its default (the library's "Paint-015" in front, a dark ochre behind).
class TwoSidedFaceEffectAttribute : public EffectAttribute, public NetObjectCountImpl<TwoSidedFaceEffectAttribute> {
    LUMO_SCENE_CLASS(TwoSidedFaceEffectAttribute)
public:
    /// Either side may be null; each given side is held by reference.
    static TwoSidedFaceEffectAttribute* Make(EffectAttribute* front, EffectAttribute* back, bool winTies = false,
                                             unsigned char priority = 0);
    ~TwoSidedFaceEffectAttribute() override;
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::KString ToString() const override;
    EffectAttribute* FrontFaceEffectAttribute() const { return m_front; }
    EffectAttribute* BackFaceEffectAttribute() const { return m_back; }

    /// The shared default instances; not counted for the caller.
    static Lumo::Devices::EffectInstance* DefaultFrontFaceEI(Lumo::Devices::ADrawContext& dc);
    static Lumo::Devices::EffectInstance* DefaultBackFaceEI(Lumo::Devices::ADrawContext& dc);

protected:
    TwoSidedFaceEffectAttribute(EffectAttribute* front, EffectAttribute* back, bool winTies, unsigned char priority);
    Lumo::Devices::EffectInstance* CreateEffectInstance(Lumo::Devices::ADrawContext& dc, bool shared) override;
    void FrontFaceEffectAttribute(EffectAttribute* front) { m_front = front; }
    void BackFaceEffectAttribute(EffectAttribute* back) { m_back = back; }

private:
    Lumo::Objects::AutoPtr<EffectAttribute> m_front;
    Lumo::Objects::AutoPtr<EffectAttribute> m_back;
    // The face instances, made once and kept; the layered instance is built from clones.
    Lumo::Objects::AutoPtr<Lumo::Devices::EffectInstance> m_frontEI;
    Lumo::Objects::AutoPtr<Lumo::Devices::EffectInstance> m_backEI;
    Lumo::Objects::Threads::Mutex m_faceMutex;
};

} // namespace Lumo::Scene
