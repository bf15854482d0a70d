#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/ClassMacros.h>
#include <Lumo/Objects/Vec.h>

namespace Lumo::Graphics {

class ARenderNode;

/// What a pick hit: the node and the point (world coordinates) with its depth.
class IIntersection : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    ~IIntersection() override;
    ARenderNode* Node() const { return m_node; }
    const Lumo::Objects::vec3<double>& Point() const { return m_point; }
    double Depth() const { return m_depth; }

protected:
    IIntersection(ARenderNode* node, const Lumo::Objects::vec3<double>& point, double depth);

private:
    ARenderNode* m_node; // one reference
    Lumo::Objects::vec3<double> m_point;
    double m_depth;
};

} // namespace Lumo::Graphics
