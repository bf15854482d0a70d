#include <Scene/Attributes/BillBoardAttribute.h>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(BillBoardAttribute, Attribute)

namespace {
void AppendXYZ(Lumo::Objects::KString& s, const Lumo::Objects::vec3<float>& v) {
    s.Append(v.x);
    s += L" ";
    s.Append(v.y);
    s += L" ";
    s.Append(v.z);
}
} // namespace

BillBoardAttribute* BillBoardAttribute::Make(const Lumo::Objects::vec3<float>& anchor, EStyle style,
                                             const Lumo::Objects::vec3<float>& axis, bool winTies,
                                             unsigned char priority) {
    return new BillBoardAttribute(anchor, style, axis, winTies, priority);
}

bool BillBoardAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    if (!Attribute::Equals(other))
        return false;
    auto* o = static_cast<const BillBoardAttribute*>(other);
    return o->m_style == m_style && o->m_anchor == m_anchor && o->m_axis == m_axis;
}

Lumo::Objects::KString BillBoardAttribute::ToString() const {
    Lumo::Objects::KString s;
    switch (m_style) {
    case eScreen:
        s += L"Style: eScreen;";
        break;
    case eAxial:
        s += L"Style: eAxial;";
        break;
    case eRightReading:
        s += L"Style: eRightReading;";
        break;
    default:
        break; // an unknown style prints no style line
    }
    s += L"\nAnchor point: ";
    AppendXYZ(s, m_anchor);
    if (m_style == eAxial) {
        s += L"\nAxis: ";
        AppendXYZ(s, m_axis);
    }
    return s;
}

} // namespace Lumo::Scene
