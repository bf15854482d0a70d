#pragma once
#include <Scene/Attributes/Attribute.h>

namespace Lumo::Scene {

/// Turns the subgraph about an anchor point to face the viewer.
class BillBoardAttribute : public Attribute, public NetObjectCountImpl<BillBoardAttribute> {
    LUMO_SCENE_CLASS(BillBoardAttribute)
public:
    enum EStyle : int {
        eScreen = 1,       ///< faces the screen
        eAxial = 2,        ///< turns about the axis to face the viewer
        eRightReading = 3, ///< keeps text readable from behind and upside down
    };

    static BillBoardAttribute* Make(const Lumo::Objects::vec3<float>& anchor, EStyle style,
                                    const Lumo::Objects::vec3<float>& axis, bool winTies = false,
                                    unsigned char priority = 0);
    EAttributeType Type() const override { return eBillBoard; }
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::KString ToString() const override;
    const Lumo::Objects::vec3<float>& Anchor() const { return m_anchor; }
    EStyle Style() const { return m_style; }
    /// Used by the axial style only.
    const Lumo::Objects::vec3<float>& GetAxis() const { return m_axis; }

protected:
    BillBoardAttribute(const Lumo::Objects::vec3<float>& anchor, EStyle style, const Lumo::Objects::vec3<float>& axis,
                       bool winTies, unsigned char priority)
        : Attribute(winTies, priority), m_style(style), m_anchor(anchor), m_axis(axis) {}
    void Anchor(const Lumo::Objects::vec3<float>& anchor) { m_anchor = anchor; }
    void Axis(const Lumo::Objects::vec3<float>& axis) { m_axis = axis; }
    void Style(EStyle style) { m_style = style; }

private:
    EStyle m_style;
    Lumo::Objects::vec3<float> m_anchor;
    Lumo::Objects::vec3<float> m_axis;
};

} // namespace Lumo::Scene
