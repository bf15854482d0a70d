#pragma once
#include <Scene/Attributes/Attribute.h>

namespace Lumo::Scene {

/// Abstract base of attributes built from other values (kept as a distinct interface).
class CompositeAttribute : public Attribute, public NetObjectCountImpl<CompositeAttribute> {
    LUMO_SCENE_CLASS(CompositeAttribute)
protected:
    explicit CompositeAttribute(bool winTies = false, unsigned char priority = 0) : Attribute(winTies, priority) {}
};

} // namespace Lumo::Scene
