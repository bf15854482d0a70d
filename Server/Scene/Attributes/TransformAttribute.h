#pragma once
#include <Lumo/Objects/Mat4.h>
#include <Scene/Attributes/Attribute.h>

namespace Lumo::Scene {

/// Placement of the subgraph (row-vector matrix). Relative transforms compose down a
/// path, the child's applied first; an absolute one replaces by the priority rule.
class TransformAttribute : public Attribute, public NetObjectCountImpl<TransformAttribute> {
    LUMO_SCENE_CLASS(TransformAttribute)
public:
    static TransformAttribute* Make(const Lumo::Objects::mat4<float>& matrix, bool absolute, bool winTies = false,
                                    unsigned char priority = 0);
    EAttributeType Type() const override { return eTransform; }
    Attribute* Merge(Attribute* incoming) override;
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::KString ToString() const override;
    const Lumo::Objects::mat4<float>& Transform() const { return m_matrix; }
    bool Absolute() const { return m_absolute; }

protected:
    TransformAttribute(const Lumo::Objects::mat4<float>& matrix, bool absolute, bool winTies, unsigned char priority)
        : Attribute(winTies, priority), m_matrix(matrix), m_absolute(absolute) {}
    void Transform(const Lumo::Objects::mat4<float>& matrix) { m_matrix = matrix; }
    void Absolute(bool absolute) { m_absolute = absolute; }

private:
    Lumo::Objects::mat4<float> m_matrix;
    bool m_absolute;
};

} // namespace Lumo::Scene
