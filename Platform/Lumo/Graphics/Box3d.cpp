#include <Lumo/Graphics/Box3d.h>
#include <Lumo/Graphics/Frame3d.h>

#include <algorithm>
#include <cmath>

namespace Lumo::Graphics {

using vec3d = Box3d::vec3d;

Box3d Box3d::FromMinMax(const vec3d& min, const vec3d& max) {
    Box3d b;
    for (int k = 0; k < 3; ++k) {
        b.corner[k] = std::min(min[k], max[k]);
        b.lengths[k] = std::fabs(max[k] - min[k]);
    }
    return b;
}

Box3d Box3d::FromCenterSize(const vec3d& center, const vec3d& size) {
    const vec3d half(std::fabs(size.x) / 2, std::fabs(size.y) / 2, std::fabs(size.z) / 2);
    return FromMinMax(center - half, center + half);
}

bool Box3d::IsValid() const {
    if (!Frame3d::IsFinite(corner) || !Frame3d::IsFinite(xAxis) || !Frame3d::IsFinite(yAxis) ||
        !Frame3d::IsFinite(zAxis) || !Frame3d::IsFinite(lengths))
        return false;
    if (!(lengths.x > 0.0 && lengths.y > 0.0 && lengths.z > 0.0))
        return false;
    // Independent unit axes: their triple product is well away from zero.
    const vec3d x = xAxis.Normalized(), y = yAxis.Normalized(), z = zAxis.Normalized();
    return std::fabs(x.Cross(y).Dot(z)) > 1e-9;
}

vec3d Box3d::Edge(int i) const {
    const vec3d& axis = i == 0 ? xAxis : (i == 1 ? yAxis : zAxis);
    return axis.Normalized() * lengths[i];
}

vec3d Box3d::Corner(int i) const {
    vec3d p = corner;
    for (int k = 0; k < 3; ++k)
        if (i & (1 << k))
            p += Edge(k);
    return p;
}

vec3d Box3d::Center() const {
    return corner + (Edge(0) + Edge(1) + Edge(2)) * 0.5;
}

Lumo::Objects::SBox3 Box3d::Box() const {
    Lumo::Objects::SBox3 box;
    if (IsValid())
        for (int i = 0; i < 8; ++i)
            box.Extend(Corner(i));
    return box;
}

} // namespace Lumo::Graphics
