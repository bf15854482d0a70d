#include <Scene/Attributes/VisibilityAttribute.h>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(VisibilityAttribute, Attribute)

VisibilityAttribute* VisibilityAttribute::Make(bool visible, bool winTies, unsigned char priority) {
    return new VisibilityAttribute(visible, winTies, priority);
}

bool VisibilityAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    return Attribute::Equals(other) && static_cast<const VisibilityAttribute*>(other)->m_visible == m_visible;
}

Lumo::Objects::KString VisibilityAttribute::ToString() const {
    return m_visible ? L"true" : L"false";
}

} // namespace Lumo::Scene
