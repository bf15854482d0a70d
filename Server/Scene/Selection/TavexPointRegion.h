#pragma once
#include <Lumo/Devices/SelectionRegion.h>

namespace Brio::Scene {

/// The selector's point region: where an edge passes the point is reported as the fraction of
/// the edge in space, not on screen, so that a perspective view does not bend it.
class TavexPointRegion : public Lumo::Devices::PointRegion {
    LUMO_DECLARE_CLASS()
public:
    static TavexPointRegion* Make() { return new TavexPointRegion; }
    using PointRegion::TestEdgeIntersect;
    bool TestEdgeIntersect(const Lumo::Objects::vec3<double>& p0, const Lumo::Objects::vec3<double>& p1,
                           double& t) const override;

protected:
    TavexPointRegion() = default;
};

} // namespace Brio::Scene
