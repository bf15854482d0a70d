#include <Lumo/Devices/SelectionRegion.h>

#include <algorithm>
#include <cmath>

namespace Lumo::Devices {

LUMO_DEFINE_CLASS(ISelectionRegion2D, Lumo::Objects::ARefCounted)
LUMO_DEFINE_CLASS(PointRegion, ISelectionRegion2D)
LUMO_DEFINE_CLASS(RectangleRegion, ISelectionRegion2D)

namespace {
bool ToDevice(const Lumo::Objects::vec2<float>& window, double x0, double y0, double x1, double y1, double out[4]) {
    if (!(window.x > 0) || !(window.y > 0))
        return false;
    out[0] = 2.0 * std::min(x0, x1) / window.x - 1.0;
    out[1] = 2.0 * std::min(y0, y1) / window.y - 1.0;
    out[2] = 2.0 * std::max(x0, x1) / window.x - 1.0;
    out[3] = 2.0 * std::max(y0, y1) / window.y - 1.0;
    return true;
}
} // namespace

bool PointRegion::DeviceBounds(double out[4]) const {
    // The pixel's centre, grown by the tolerance (at least half a pixel each way).
    const double r = std::max(0.5, double(m_tolerance));
    return ToDevice(WindowSize(), m_point.x - r, m_point.y - r, m_point.x + r, m_point.y + r, out);
}

bool RectangleRegion::DeviceBounds(double out[4]) const {
    return ToDevice(WindowSize(), m_min.x, m_min.y, m_max.x, m_max.y, out);
}

bool PointRegion::TestEdgeIntersect(const Lumo::Objects::vec3<double>& p0, const Lumo::Objects::vec3<double>& p1,
                                    double& t) const {
    const double dx = p1.x - p0.x, dy = p1.y - p0.y, len2 = dx * dx + dy * dy;
    const double px = double(m_point.x) - p0.x, py = double(m_point.y) - p0.y;
    t = len2 > 0 ? std::clamp((px * dx + py * dy) / len2, 0.0, 1.0) : 0.0;
    const double ex = px - t * dx, ey = py - t * dy;
    return TestEdgeIntersect(std::sqrt(ex * ex + ey * ey));
}

} // namespace Lumo::Devices
