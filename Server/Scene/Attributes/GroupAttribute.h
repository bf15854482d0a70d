#pragma once
#include <Scene/Attributes/Attribute.h>

namespace Lumo::Scene {

/// Marks the subgraph below as one group, told apart by a unique number.
class GroupAttribute : public Attribute, public NetObjectCountImpl<GroupAttribute> {
    LUMO_SCENE_CLASS(GroupAttribute)
public:
    /// Takes the next value of a process-wide counter, so no two made this way are equal.
    static GroupAttribute* Make(bool winTies = false, unsigned char priority = 0);
    EAttributeType Type() const override { return eGroup; }
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::KString ToString() const override;
    int Group() const { return m_value; }

protected:
    GroupAttribute(bool winTies, unsigned char priority);
    void Group(int value) { m_value = value; }

private:
    int m_value;
};

} // namespace Lumo::Scene
