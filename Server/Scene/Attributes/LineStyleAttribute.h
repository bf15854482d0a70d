#pragma once
#include <Scene/Attributes/Attribute.h>
#include <Scene/Attributes/LineStyle.h>

namespace Lumo::Scene {

/// The line style of the subgraph below (a copy of the given style).
class LineStyleAttribute : public Attribute, public NetObjectCountImpl<LineStyleAttribute> {
    LUMO_SCENE_CLASS(LineStyleAttribute)
public:
    static LineStyleAttribute* Make(const LineStyle& style, bool winTies = false, unsigned char priority = 0);
    EAttributeType Type() const override { return eLineStyle; }
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::KString ToString() const override;
    const LineStyle& GetLineStyle() const { return m_style; }

protected:
    LineStyleAttribute(const LineStyle& style, bool winTies, unsigned char priority)
        : Attribute(winTies, priority), m_style(style) {}
    void SetLineStyle(const LineStyle& style) { m_style = style; }

private:
    LineStyle m_style;
};

} // namespace Lumo::Scene
