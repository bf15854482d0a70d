#include <Scene/Attributes/CullModeAttribute.h>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(CullModeAttribute, Attribute)

CullModeAttribute* CullModeAttribute::Make(Lumo::Devices::ECull cullMode, bool winTies, unsigned char priority) {
    return new CullModeAttribute(cullMode, winTies, priority);
}

bool CullModeAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    return Attribute::Equals(other) && static_cast<const CullModeAttribute*>(other)->m_cullMode == m_cullMode;
}

Lumo::Objects::KString CullModeAttribute::ToString() const {
    Lumo::Objects::KString s;
    s.Append(static_cast<int>(m_cullMode));
    return s;
}

} // namespace Lumo::Scene
