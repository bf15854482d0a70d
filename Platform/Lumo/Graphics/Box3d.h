#pragma once
#include <Lumo/Objects/SBox3.h>
#include <Lumo/Objects/Vec.h>

namespace Lumo::Graphics {

/// A box in doubles: from a corner, edges along three axis directions (normalised when used)
/// with three lengths. The default axes give an axis-aligned box; FromMinMax and
/// FromCenterSize make those directly. Axes that are not at right angles give a
/// parallelepiped.
struct Box3d {
    using vec3d = Lumo::Objects::vec3<double>;

    vec3d corner{0, 0, 0};
    vec3d xAxis{1, 0, 0};
    vec3d yAxis{0, 1, 0};
    vec3d zAxis{0, 0, 1};
    vec3d lengths{1, 1, 1};

    /// The axis-aligned box between two opposite corners (in any order).
    static Box3d FromMinMax(const vec3d& min, const vec3d& max);
    /// The axis-aligned box of that size (absolute values) round a centre.
    static Box3d FromCenterSize(const vec3d& center, const vec3d& size);

    /// Finite values, positive lengths and three independent axes.
    bool IsValid() const;
    /// The edge vector along axis i (0, 1, 2): the unit axis times its length.
    vec3d Edge(int i) const;
    /// Corner i: bit 0, 1, 2 of i steps along edge 0, 1, 2.
    vec3d Corner(int i) const;
    vec3d Center() const;
    /// The box of the eight corners; empty when invalid.
    Lumo::Objects::SBox3 Box() const;
    vec3d Min() const { return Box().Min(); }
    vec3d Max() const { return Box().Max(); }

    bool operator==(const Box3d&) const = default;
};

} // namespace Lumo::Graphics
