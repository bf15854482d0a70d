#pragma once
#include <Scene/Attributes/Attribute.h>

namespace Lumo::Scene {

/// Gives the subgraph below an identity of its own (for picking by id).
class ObjectIDAttribute : public Attribute, public NetObjectCountImpl<ObjectIDAttribute> {
    LUMO_SCENE_CLASS(ObjectIDAttribute)
public:
    /// Takes the next value of a process-wide counter, so no two made this way are equal.
    static ObjectIDAttribute* Make(bool winTies = false, unsigned char priority = 0);
    EAttributeType Type() const override { return eObjectID; }
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::KString ToString() const override;
    int ObjectID() const { return m_value; }

protected:
    ObjectIDAttribute(bool winTies, unsigned char priority);
    void ObjectID(int value) { m_value = value; }

private:
    int m_value;
};

} // namespace Lumo::Scene
