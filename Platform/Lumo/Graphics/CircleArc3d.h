#pragma once
#include <Lumo/Graphics/EllipseArc3d.h>

namespace Lumo::Graphics {

/// A circular arc in doubles: the point at angle t is center + radius (cos(t) U + sin(t) V),
/// U being the reference direction made perpendicular to the normal and V = normal x U.
/// Angles are read as for EllipseArc3d; the default is a full unit circle in the xy plane.
struct CircleArc3d {
    using vec3d = Lumo::Objects::vec3<double>;

    vec3d center{0, 0, 0};
    vec3d normal{0, 0, 1};
    vec3d refDirection{1, 0, 0};
    double radius = 1.0;
    double startAngle = 0.0;
    double endAngle = 2.0 * std::numbers::pi;

    /// The same arc as an ellipse arc with equal radii (the arc is drawn and boxed as one).
    EllipseArc3d AsEllipse() const;
    bool IsValid() const;
    double Sweep() const;
    vec3d PointAt(double angle) const;
    vec3d StartPoint() const;
    vec3d EndPoint() const;
    Lumo::Objects::SBox3 Box() const;

    bool operator==(const CircleArc3d&) const = default;
};

} // namespace Lumo::Graphics
