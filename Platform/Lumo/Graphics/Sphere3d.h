#pragma once
#include <Lumo/Objects/SBox3.h>
#include <Lumo/Objects/Vec.h>

namespace Lumo::Graphics {

/// A sphere in doubles.
struct Sphere3d {
    using vec3d = Lumo::Objects::vec3<double>;

    vec3d center{0, 0, 0};
    double radius = 1.0;

    /// A finite centre and a finite positive radius.
    bool IsValid() const;
    /// center +- radius; empty when invalid.
    Lumo::Objects::SBox3 Box() const;

    bool operator==(const Sphere3d&) const = default;
};

} // namespace Lumo::Graphics
