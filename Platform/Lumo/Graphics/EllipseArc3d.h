#pragma once
#include <Lumo/Graphics/Frame3d.h>
#include <Lumo/Objects/SBox3.h>

#include <numbers>

namespace Lumo::Graphics {

/// An elliptical arc in doubles: the point at parameter t is
/// center + majorRadius cos(t) U + minorRadius sin(t) V, with U the major axis direction made
/// perpendicular to the normal and V = normal x U. The arc runs counter-clockwise about the
/// normal from startAngle to endAngle (radians); see Sweep for how the two are read.
struct EllipseArc3d {
    using vec3d = Lumo::Objects::vec3<double>;

    vec3d center{0, 0, 0};
    vec3d normal{0, 0, 1};
    vec3d majorAxis{1, 0, 0};
    double majorRadius = 1.0;
    double minorRadius = 1.0;
    double startAngle = 0.0;
    double endAngle = 2.0 * std::numbers::pi;

    /// Finite values, positive radii, a normal and a non-zero sweep.
    bool IsValid() const;
    Frame3d Frame() const { return Frame3d::Make(center, normal, majorAxis); }
    /// The angle swept, in (0, 2 pi]: end - start, taken modulo 2 pi when negative, capped
    /// at a full turn; 0 when the two are equal or not finite.
    double Sweep() const { return NormalizedSweep(startAngle, endAngle); }
    vec3d PointAt(double angle) const;
    vec3d StartPoint() const { return PointAt(startAngle); }
    vec3d EndPoint() const { return PointAt(startAngle + Sweep()); }
    /// The exact box: the end points and the extremes of each coordinate inside the sweep.
    /// Empty when invalid.
    Lumo::Objects::SBox3 Box() const;

    static double NormalizedSweep(double startAngle, double endAngle);

    bool operator==(const EllipseArc3d&) const = default;
};

} // namespace Lumo::Graphics
