#include <Scene/Selection/TavexPointRegion.h>

#include <algorithm>
#include <cmath>

namespace Brio::Scene {

LUMO_DEFINE_CLASS(TavexPointRegion, Lumo::Devices::PointRegion)

bool TavexPointRegion::TestEdgeIntersect(const Lumo::Objects::vec3<double>& p0, const Lumo::Objects::vec3<double>& p1,
                                         double& t) const {
    if (!PointRegion::TestEdgeIntersect(p0, p1, t))
        return false;
    const double dx = p1.x - p0.x, dy = p1.y - p0.y;
    if (dx == 0 && dy == 0) {
        t = 0;
    } else {
        // The foot of the point on the screen line, measured along its longer screen extent.
        const double px = double(Point().x) - p0.x, py = double(Point().y) - p0.y;
        const double s = (px * dx + py * dy) / (dx * dx + dy * dy);
        t = std::abs(dx) >= std::abs(dy) ? (s * dx) / dx : (s * dy) / dy;
        t = std::clamp(t, 0.0, 1.0);
    }
    // Screen fractions are not fractions in space under perspective: undo the division by w.
    if (p0.z != 1 || p1.z != 1) {
        const double denom = (1 - t) * p1.z + p0.z * t;
        if (denom >= 1e-6)
            t = p0.z * t / denom;
    }
    return true;
}

} // namespace Brio::Scene
