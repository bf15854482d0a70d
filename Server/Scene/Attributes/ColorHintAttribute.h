#pragma once
#include <Scene/Attributes/Attribute.h>

namespace Lumo::Scene {

/// A colour suggested for the subgraph below where no effect decides one.
class ColorHintAttribute : public Attribute, public NetObjectCountImpl<ColorHintAttribute> {
    LUMO_SCENE_CLASS(ColorHintAttribute)
public:
    static ColorHintAttribute* Make(const Lumo::Objects::vec3<float>& color, bool winTies = false,
                                    unsigned char priority = 0);
    EAttributeType Type() const override { return eColorHint; }
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::KString ToString() const override;
    const Lumo::Objects::vec3<float>& ColorHint() const { return m_color; }

protected:
    ColorHintAttribute(const Lumo::Objects::vec3<float>& color, bool winTies, unsigned char priority)
        : Attribute(winTies, priority), m_color(color) {}
    void ColorHint(const Lumo::Objects::vec3<float>& color) { m_color = color; }

private:
    Lumo::Objects::vec3<float> m_color;
};

} // namespace Lumo::Scene
