#pragma once
#include <Lumo/Graphics/Frame3d.h>
#include <Lumo/Objects/SBox3.h>

namespace Lumo::Graphics {

/// A cone frustum in doubles: a base disc round baseCenter perpendicular to the axis, a top
/// disc at baseCenter + height * unit axis. A top radius of 0 makes a pointed cone, equal
/// radii a cylinder; capped closes the ends that have a radius. A negative height puts the
/// top on the other side of the base.
struct Cone3d {
    using vec3d = Lumo::Objects::vec3<double>;

    vec3d baseCenter{0, 0, 0};
    vec3d axis{0, 0, 1};
    double baseRadius = 1.0;
    double topRadius = 0.0;
    double height = 1.0;
    bool capped = true;

    /// Finite values, an axis, a non-zero height, radii >= 0 and not both 0.
    bool IsValid() const;
    /// The frame at the base whose W points from base to top.
    Frame3d Frame() const;
    vec3d TopCenter() const;
    /// Exact: the box of the two end discs (a disc of radius r with unit normal a reaches
    /// r sqrt(1 - a_k^2) along world axis k).
    Lumo::Objects::SBox3 Box() const;

    bool operator==(const Cone3d&) const = default;
};

} // namespace Lumo::Graphics
