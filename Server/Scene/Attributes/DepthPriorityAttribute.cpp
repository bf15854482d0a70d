#include <Scene/Attributes/DepthPriorityAttribute.h>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(DepthPriorityAttribute, Attribute)

DepthPriorityAttribute* DepthPriorityAttribute::Make(int depthPriority, bool winTies, unsigned char priority) {
    return new DepthPriorityAttribute(depthPriority, winTies, priority);
}

bool DepthPriorityAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    return Attribute::Equals(other) &&
           static_cast<const DepthPriorityAttribute*>(other)->m_depthPriority == m_depthPriority;
}

Lumo::Objects::KString DepthPriorityAttribute::ToString() const {
    Lumo::Objects::KString s;
    s.Append(m_depthPriority);
    return s;
}

} // namespace Lumo::Scene
