#include <Lumo/Graphics/CircleArc3d.h>

namespace Lumo::Graphics {

using vec3d = CircleArc3d::vec3d;

EllipseArc3d CircleArc3d::AsEllipse() const {
    return {center, normal, refDirection, radius, radius, startAngle, endAngle};
}

bool CircleArc3d::IsValid() const {
    return AsEllipse().IsValid();
}

double CircleArc3d::Sweep() const {
    return EllipseArc3d::NormalizedSweep(startAngle, endAngle);
}

vec3d CircleArc3d::PointAt(double angle) const {
    return AsEllipse().PointAt(angle);
}

vec3d CircleArc3d::StartPoint() const {
    return PointAt(startAngle);
}

vec3d CircleArc3d::EndPoint() const {
    return PointAt(startAngle + Sweep());
}

Lumo::Objects::SBox3 CircleArc3d::Box() const {
    return AsEllipse().Box();
}

} // namespace Lumo::Graphics
