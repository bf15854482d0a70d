#include <Scene/Attributes/OrderInTransparentGroupAttribute.h>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(OrderInTransparentGroupAttribute, Attribute)

OrderInTransparentGroupAttribute* OrderInTransparentGroupAttribute::Make(int order, bool winTies,
                                                                         unsigned char priority) {
    return new OrderInTransparentGroupAttribute(order, winTies, priority);
}

bool OrderInTransparentGroupAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    return Attribute::Equals(other) && static_cast<const OrderInTransparentGroupAttribute*>(other)->m_order == m_order;
}

Lumo::Objects::KString OrderInTransparentGroupAttribute::ToString() const {
    Lumo::Objects::KString s;
    s.Append(m_order);
    return s;
}

} // namespace Lumo::Scene
