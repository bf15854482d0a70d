#pragma once
#include <ZoGe/ZoGePoint3d.h>
#include <ZoGe/ZoGeVector3d.h>

namespace Brio::Scene {

/// What a pick found on one node, in the hit node's local space: the point on the geometry, the
/// closest point of the pick ray, the facet normal (zero for edges, vertices and the
/// background), the facet, edge or vertex index, and the node's priorities.
class SelectionHit {
public:
    SelectionHit() = default;
    SelectionHit(int id, int selectionPriority, int depthPriority, double tolerance, const ZoGePoint3d& hitPoint,
                 const ZoGePoint3d& rayPoint, const ZoGeVector3d& normal)
        : m_hitPoint(hitPoint), m_rayPoint(rayPoint), m_normal(normal), m_id(id),
          m_selectionPriority(selectionPriority), m_depthPriority(depthPriority), m_tolerance(tolerance) {}

    const ZoGePoint3d& hitPoint() const { return m_hitPoint; }
    const ZoGePoint3d& rayPoint() const { return m_rayPoint; }
    const ZoGeVector3d& normal() const { return m_normal; }
    int id() const { return m_id; }
    int selectionPriority() const { return m_selectionPriority; }
    int depthPriority() const { return m_depthPriority; }
    double tolerance() const { return m_tolerance; }

private:
    ZoGePoint3d m_hitPoint, m_rayPoint;
    ZoGeVector3d m_normal;
    int m_id = 0, m_selectionPriority = 0, m_depthPriority = 0;
    double m_tolerance = 0.0;
};

} // namespace Brio::Scene
