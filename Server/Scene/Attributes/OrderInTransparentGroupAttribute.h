#pragma once
#include <Scene/Attributes/Attribute.h>

namespace Lumo::Scene {

/// Draw order of the subgraph among the members of its transparent group.
class OrderInTransparentGroupAttribute : public Attribute, public NetObjectCountImpl<OrderInTransparentGroupAttribute> {
    LUMO_SCENE_CLASS(OrderInTransparentGroupAttribute)
public:
    static OrderInTransparentGroupAttribute* Make(int order, bool winTies = false, unsigned char priority = 0);
    EAttributeType Type() const override { return eOrderInTransparentGroup; }
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::KString ToString() const override;
    int Order() const { return m_order; }

protected:
    OrderInTransparentGroupAttribute(int order, bool winTies, unsigned char priority)
        : Attribute(winTies, priority), m_order(order) {}
    void Order(int order) { m_order = order; }

private:
    int m_order;
};

} // namespace Lumo::Scene
