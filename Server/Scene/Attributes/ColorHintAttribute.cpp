#include <Scene/Attributes/ColorHintAttribute.h>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(ColorHintAttribute, Attribute)

ColorHintAttribute* ColorHintAttribute::Make(const Lumo::Objects::vec3<float>& color, bool winTies,
                                             unsigned char priority) {
    return new ColorHintAttribute(color, winTies, priority);
}

bool ColorHintAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    if (!Attribute::Equals(other))
        return false;
    // Another class may report the colour-hint kind; only a real colour hint has a colour to compare.
    auto* o = static_cast<const ColorHintAttribute*>(const_cast<Attribute*>(other)->GetInterface(StaticClassName()));
    return o && _Equalf3(o->m_color, m_color);
}

Lumo::Objects::KString ColorHintAttribute::ToString() const {
    Lumo::Objects::KString s;
    s.Append(m_color.x);
    s += L" ";
    s.Append(m_color.y);
    s += L" ";
    s.Append(m_color.z);
    return s;
}

} // namespace Lumo::Scene
