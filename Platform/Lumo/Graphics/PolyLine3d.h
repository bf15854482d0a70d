#pragma once
#include <Lumo/Objects/SBox3.h>
#include <Lumo/Objects/Vec.h>

#include <vector>

namespace Lumo::Graphics {

/// Connected straight segments through points, in doubles.
struct PolyLine3d {
    using vec3d = Lumo::Objects::vec3<double>;

    std::vector<vec3d> points;

    /// At least two points, all finite.
    bool IsValid() const;
    /// The box of the points; empty when invalid.
    Lumo::Objects::SBox3 Box() const;

    bool operator==(const PolyLine3d&) const = default;
};

} // namespace Lumo::Graphics
