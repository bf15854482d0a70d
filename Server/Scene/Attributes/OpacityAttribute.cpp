#include <Scene/Attributes/OpacityAttribute.h>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(OpacityAttribute, Attribute)

OpacityAttribute* OpacityAttribute::Make(float opacity, bool absolute, bool winTies, unsigned char priority) {
    return new OpacityAttribute(opacity, absolute, winTies, priority);
}

Attribute* OpacityAttribute::Merge(Attribute* incoming) {
    if (!incoming)
        return this;
    if (incoming->Type() != eOpacity)
        return Attribute::Merge(incoming);
    auto* in = static_cast<OpacityAttribute*>(incoming);
    if (in->m_absolute)
        return Attribute::Merge(incoming);
    return new OpacityAttribute(in->m_opacity * m_opacity, m_absolute, WinTies(),
                                static_cast<unsigned char>(Priority()));
}

bool OpacityAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    if (!Attribute::Equals(other))
        return false;
    auto* o = static_cast<const OpacityAttribute*>(other);
    return o->m_opacity == m_opacity && o->m_absolute == m_absolute;
}

Lumo::Objects::KString OpacityAttribute::ToString() const {
    Lumo::Objects::KString s;
    s.Append(m_opacity);
    s.Append(m_absolute ? L"(Absolute)" : L"(Relative)");
    return s;
}

} // namespace Lumo::Scene
