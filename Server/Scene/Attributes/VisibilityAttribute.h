#pragma once
#include <Scene/Attributes/Attribute.h>

namespace Lumo::Scene {

/// Shows or hides the subgraph below.
class VisibilityAttribute : public Attribute, public NetObjectCountImpl<VisibilityAttribute> {
    LUMO_SCENE_CLASS(VisibilityAttribute)
public:
    static VisibilityAttribute* Make(bool visible, bool winTies = false, unsigned char priority = 0);
    EAttributeType Type() const override { return eVisibility; }
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::KString ToString() const override;
    bool Visible() const { return m_visible; }

protected:
    VisibilityAttribute(bool visible, bool winTies, unsigned char priority)
        : Attribute(winTies, priority), m_visible(visible) {}

private:
    bool m_visible;
};

} // namespace Lumo::Scene
