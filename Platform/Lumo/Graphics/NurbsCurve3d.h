#pragma once
#include <Lumo/Objects/SBox3.h>
#include <Lumo/Objects/Vec.h>

#include <utility>
#include <vector>

namespace Lumo::Graphics {

/// A NURBS curve in doubles: degree p, n control points, n weights (none means all 1) and
/// n + p + 1 non-decreasing knots. The curve is defined on [knots[p], knots[n]]; an invalid
/// curve has no points, no box and tessellates to nothing.
struct NurbsCurve3d {
    using vec3d = Lumo::Objects::vec3<double>;

    int degree = 1;
    std::vector<vec3d> controlPoints;
    std::vector<double> weights;
    std::vector<double> knots;

    /// Degree at least 1, at least degree + 1 control points, exactly n + p + 1 knots, knots
    /// finite and non-decreasing over a non-empty domain, weights absent or one positive
    /// finite weight per control point, and finite control points.
    bool IsValid() const;
    bool IsRational() const;
    /// [knots[p], knots[n]]; (0, 0) when invalid.
    std::pair<double, double> Domain() const;
    /// The point at t (clamped to the domain), by de Boor's algorithm on the weighted
    /// control points; the origin when invalid.
    vec3d PointAt(double t) const;
    /// Points along the curve: each non-empty knot span cut into perSpan equal parameter
    /// steps, then the domain's end point. Empty when invalid.
    std::vector<vec3d> Sample(int perSpan) const;
    /// The box of a fine sampling (exact at the samples, within rounding of the curve).
    Lumo::Objects::SBox3 Box() const;

    /// Clamped uniform knots for a curve of the degree over that many control points.
    static std::vector<double> ClampedUniformKnots(int degree, int controlCount);

    /// Samples per span Box uses.
    static constexpr int kBoxSamplesPerSpan = 64;

    bool operator==(const NurbsCurve3d&) const = default;
};

} // namespace Lumo::Graphics
