#include <Scene/Attributes/SelectabilityAttribute.h>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(SelectabilityAttribute, Attribute)

SelectabilityAttribute* SelectabilityAttribute::Make(bool selectable, int selectionPriority,
                                                     SelectionQualifier* qualifier, bool winTies,
                                                     unsigned char priority) {
    return new SelectabilityAttribute(selectable, selectionPriority, qualifier, winTies, priority);
}

bool SelectabilityAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    if (!Attribute::Equals(other))
        return false;
    auto* o = static_cast<const SelectabilityAttribute*>(other);
    return o->m_selectable == m_selectable && o->m_selectionPriority == m_selectionPriority &&
           o->m_qualifier == m_qualifier;
}

Lumo::Objects::KString SelectabilityAttribute::ToString() const {
    return m_selectable ? L"true" : L"false";
}

} // namespace Lumo::Scene
