#pragma once
#include <Lumo/Devices/ECull.h>
#include <Scene/Attributes/Attribute.h>

namespace Lumo::Scene {

/// Face culling for the subgraph below.
class CullModeAttribute : public Attribute, public NetObjectCountImpl<CullModeAttribute> {
    LUMO_SCENE_CLASS(CullModeAttribute)
public:
    static CullModeAttribute* Make(Lumo::Devices::ECull cullMode, bool winTies = false, unsigned char priority = 0);
    EAttributeType Type() const override { return eCullMode; }
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::KString ToString() const override;
    Lumo::Devices::ECull CullMode() const { return m_cullMode; }

protected:
    CullModeAttribute(Lumo::Devices::ECull cullMode, bool winTies, unsigned char priority)
        : Attribute(winTies, priority), m_cullMode(cullMode) {}
    void CullMode(Lumo::Devices::ECull cullMode) { m_cullMode = cullMode; }

private:
    Lumo::Devices::ECull m_cullMode;
};

} // namespace Lumo::Scene
