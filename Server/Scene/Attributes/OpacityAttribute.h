#pragma once
#include <Scene/Attributes/Attribute.h>

namespace Lumo::Scene {

/// Opacity of the subgraph. Relative opacities multiply down a path; an absolute one
/// replaces what is above it by the priority rule.
class OpacityAttribute : public Attribute, public NetObjectCountImpl<OpacityAttribute> {
    LUMO_SCENE_CLASS(OpacityAttribute)
public:
    static OpacityAttribute* Make(float opacity, bool absolute, bool winTies = false, unsigned char priority = 0);
    EAttributeType Type() const override { return eOpacity; }
    Attribute* Merge(Attribute* incoming) override;
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::KString ToString() const override;
    float GetOpacity() const { return m_opacity; }
    bool Absolute() const { return m_absolute; }

protected:
    OpacityAttribute(float opacity, bool absolute, bool winTies, unsigned char priority)
        : Attribute(winTies, priority), m_opacity(opacity), m_absolute(absolute) {}
    void Opacity(float opacity) { m_opacity = opacity; }
    void Absolute(bool absolute) { m_absolute = absolute; }

private:
    float m_opacity;
    bool m_absolute;
};

} // namespace Lumo::Scene
