#include <Scene/Attributes/LineStyleAttribute.h>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(LineStyleAttribute, Attribute)

LineStyleAttribute* LineStyleAttribute::Make(const LineStyle& style, bool winTies, unsigned char priority) {
    return new LineStyleAttribute(style, winTies, priority);
}

bool LineStyleAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    return Attribute::Equals(other) && static_cast<const LineStyleAttribute*>(other)->m_style == m_style;
}

Lumo::Objects::KString LineStyleAttribute::ToString() const {
    Lumo::Objects::KString s;
    s += L"Weight: ";
    s.Append(m_style.GetWeight());
    s += m_style.GetSpace() == LineStyle::kScreenSpace ? L" (Screen Space)" : L" (Model Space)";
    if (const Lumo::Objects::UString* name = m_style.GetLinePatternName()) {
        s += L"\nPattern name: ";
        s.Append(name);
    }
    if (m_style.GetXScale() != 1.0f || m_style.GetYScale() != 1.0f) {
        s += L"\nXScale: ";
        s.Append(m_style.GetXScale());
        s += L"  YScale: ";
        s.Append(m_style.GetYScale());
    }
    return s;
}

} // namespace Lumo::Scene
