#include <Scene/Attributes/ObjectIDAttribute.h>

#include <atomic>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(ObjectIDAttribute, Attribute)

namespace {
std::atomic<int> s_nextObjectID{0};
} // namespace

ObjectIDAttribute::ObjectIDAttribute(bool winTies, unsigned char priority)
    : Attribute(winTies, priority), m_value(s_nextObjectID.fetch_add(1, std::memory_order_relaxed)) {}

ObjectIDAttribute* ObjectIDAttribute::Make(bool winTies, unsigned char priority) {
    return new ObjectIDAttribute(winTies, priority);
}

bool ObjectIDAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    return Attribute::Equals(other) && static_cast<const ObjectIDAttribute*>(other)->m_value == m_value;
}

Lumo::Objects::KString ObjectIDAttribute::ToString() const {
    Lumo::Objects::KString s;
    s.Append(m_value);
    return s;
}

} // namespace Lumo::Scene
