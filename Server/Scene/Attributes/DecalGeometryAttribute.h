#pragma once
#include <Scene/Attributes/Attribute.h>

namespace Lumo::Scene {

/// Marks the subgraph below as decal geometry, drawn onto the surfaces beneath it.
/// Carries no value: any two of equal priority and tie flag are equal.
class DecalGeometryAttribute : public Attribute, public NetObjectCountImpl<DecalGeometryAttribute> {
    LUMO_SCENE_CLASS(DecalGeometryAttribute)
public:
    static DecalGeometryAttribute* Make(bool winTies = false, unsigned char priority = 0);
    EAttributeType Type() const override { return eDecalGeometry; }

protected:
    DecalGeometryAttribute(bool winTies, unsigned char priority) : Attribute(winTies, priority) {}
};

} // namespace Lumo::Scene
