#pragma once
#include <Lumo/Graphics/Frame3d.h>
#include <Lumo/Objects/SBox3.h>

namespace Lumo::Graphics {

/// A torus in doubles: a tube of minorRadius swept round a circle of majorRadius about the
/// axis through center. A major radius below the minor one gives a self-intersecting
/// (spindle) torus; 0 gives a sphere.
struct Torus3d {
    using vec3d = Lumo::Objects::vec3<double>;

    vec3d center{0, 0, 0};
    vec3d axis{0, 0, 1};
    double majorRadius = 1.0;
    double minorRadius = 0.25;

    /// Finite values, an axis, majorRadius >= 0 and minorRadius > 0.
    bool IsValid() const;
    Frame3d Frame() const { return Frame3d::Make(center, axis); }
    /// The point at angle u round the axis and v round the tube (v = 0 farthest out).
    vec3d PointAt(double u, double v) const;
    /// The outward unit normal there.
    vec3d NormalAt(double u, double v) const;
    /// Exact: along each world axis the sweep circle reaches R sqrt(1 - a_k^2), plus r.
    Lumo::Objects::SBox3 Box() const;

    bool operator==(const Torus3d&) const = default;
};

} // namespace Lumo::Graphics
