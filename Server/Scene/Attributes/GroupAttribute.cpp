#include <Scene/Attributes/GroupAttribute.h>

#include <atomic>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(GroupAttribute, Attribute)

namespace {
std::atomic<int> s_nextGroup{0};
} // namespace

GroupAttribute::GroupAttribute(bool winTies, unsigned char priority)
    : Attribute(winTies, priority), m_value(s_nextGroup.fetch_add(1, std::memory_order_relaxed)) {}

GroupAttribute* GroupAttribute::Make(bool winTies, unsigned char priority) {
    return new GroupAttribute(winTies, priority);
}

bool GroupAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    return Attribute::Equals(other) && static_cast<const GroupAttribute*>(other)->m_value == m_value;
}

Lumo::Objects::KString GroupAttribute::ToString() const {
    Lumo::Objects::KString s;
    s.Append(m_value);
    return s;
}

} // namespace Lumo::Scene
