#pragma once
#include <Scene/Attributes/Attribute.h>

namespace Lumo::Scene {

/// Draw-order priority in depth: higher values are drawn over lower ones.
class DepthPriorityAttribute : public Attribute, public NetObjectCountImpl<DepthPriorityAttribute> {
    LUMO_SCENE_CLASS(DepthPriorityAttribute)
public:
    static DepthPriorityAttribute* Make(int depthPriority, bool winTies = false, unsigned char priority = 0);
    EAttributeType Type() const override { return eDepthPriority; }
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::KString ToString() const override;
    int DepthPriority() const { return m_depthPriority; }

protected:
    DepthPriorityAttribute(int depthPriority, bool winTies, unsigned char priority)
        : Attribute(winTies, priority), m_depthPriority(depthPriority) {}

private:
    int m_depthPriority;
};

} // namespace Lumo::Scene
