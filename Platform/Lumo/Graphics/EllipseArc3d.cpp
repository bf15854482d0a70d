#include <Lumo/Graphics/EllipseArc3d.h>

#include <cmath>

namespace Lumo::Graphics {

using Lumo::Objects::SBox3;
using vec3d = EllipseArc3d::vec3d;

namespace {
constexpr double kTwoPi = 2.0 * std::numbers::pi;
}

double EllipseArc3d::NormalizedSweep(double startAngle, double endAngle) {
    double s = endAngle - startAngle;
    if (!std::isfinite(s) || s == 0.0)
        return 0.0;
    if (s >= kTwoPi || s <= -kTwoPi)
        return kTwoPi;
    return s < 0.0 ? s + kTwoPi : s;
}

bool EllipseArc3d::IsValid() const {
    return Frame3d::IsFinite(majorRadius) && Frame3d::IsFinite(minorRadius) && majorRadius > 0.0 && minorRadius > 0.0 &&
           Frame3d::IsFinite(startAngle) && Frame3d::IsFinite(endAngle) && Sweep() > 0.0 && Frame().IsValid();
}

vec3d EllipseArc3d::PointAt(double angle) const {
    return Frame().Point(majorRadius * std::cos(angle), minorRadius * std::sin(angle), 0.0);
}

SBox3 EllipseArc3d::Box() const {
    SBox3 box;
    if (!IsValid())
        return box;
    const Frame3d f = Frame();
    const double start = startAngle, sweep = Sweep();
    box.Extend(PointAt(start));
    box.Extend(PointAt(start + sweep));
    // Coordinate k is c_k + a U_k cos t + b V_k sin t = c_k + A cos(t - phi): extreme at
    // phi + n pi. Whole points are added; they lie on the arc, so the box stays exact.
    const vec3d a = f.U() * majorRadius, b = f.V() * minorRadius;
    for (int k = 0; k < 3; ++k) {
        if (a[k] == 0.0 && b[k] == 0.0)
            continue;
        const double phi = std::atan2(b[k], a[k]);
        for (double t = phi + std::ceil((start - phi) / std::numbers::pi) * std::numbers::pi; t <= start + sweep;
             t += std::numbers::pi)
            box.Extend(PointAt(t));
    }
    return box;
}

} // namespace Lumo::Graphics
