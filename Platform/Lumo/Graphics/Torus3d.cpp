#include <Lumo/Graphics/Torus3d.h>

#include <algorithm>
#include <cmath>

namespace Lumo::Graphics {

using vec3d = Torus3d::vec3d;

bool Torus3d::IsValid() const {
    return Frame3d::IsFinite(majorRadius) && Frame3d::IsFinite(minorRadius) && majorRadius >= 0.0 &&
           minorRadius > 0.0 && Frame().IsValid();
}

vec3d Torus3d::PointAt(double u, double v) const {
    const Frame3d f = Frame();
    const double ring = majorRadius + minorRadius * std::cos(v);
    return f.Point(ring * std::cos(u), ring * std::sin(u), minorRadius * std::sin(v));
}

vec3d Torus3d::NormalAt(double u, double v) const {
    const Frame3d f = Frame();
    return f.Direction(std::cos(v) * std::cos(u), std::cos(v) * std::sin(u), std::sin(v));
}

Lumo::Objects::SBox3 Torus3d::Box() const {
    if (!IsValid())
        return {};
    const vec3d w = Frame().W();
    vec3d half;
    for (int k = 0; k < 3; ++k)
        half[k] = majorRadius * std::sqrt(std::max(0.0, 1.0 - w[k] * w[k])) + minorRadius;
    return {center - half, center + half};
}

} // namespace Lumo::Graphics
