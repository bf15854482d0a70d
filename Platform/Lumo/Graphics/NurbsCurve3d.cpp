#include <Lumo/Graphics/Frame3d.h>
#include <Lumo/Graphics/NurbsCurve3d.h>

#include <algorithm>
#include <cmath>

namespace Lumo::Graphics {

using Lumo::Objects::SBox3;
using Lumo::Objects::vec4;
using vec3d = NurbsCurve3d::vec3d;

bool NurbsCurve3d::IsValid() const {
    const std::size_t n = controlPoints.size();
    if (degree < 1 || n < static_cast<std::size_t>(degree) + 1 || knots.size() != n + degree + 1)
        return false;
    if (!weights.empty() && weights.size() != n)
        return false;
    for (double w : weights)
        if (!std::isfinite(w) || !(w > 0.0))
            return false;
    for (const vec3d& p : controlPoints)
        if (!Frame3d::IsFinite(p))
            return false;
    for (std::size_t i = 0; i < knots.size(); ++i) {
        if (!std::isfinite(knots[i]))
            return false;
        if (i > 0 && knots[i] < knots[i - 1])
            return false;
    }
    return knots[degree] < knots[n];
}

bool NurbsCurve3d::IsRational() const {
    return std::any_of(weights.begin(), weights.end(), [&](double w) { return w != weights.front(); });
}

std::pair<double, double> NurbsCurve3d::Domain() const {
    if (!IsValid())
        return {0.0, 0.0};
    return {knots[degree], knots[controlPoints.size()]};
}

namespace {
// de Boor on homogeneous points (w x, w y, w z, w); the curve must be valid.
vec3d Evaluate(const NurbsCurve3d& c, double t) {
    const int p = c.degree;
    const int n = static_cast<int>(c.controlPoints.size());
    const std::vector<double>& u = c.knots;
    t = std::clamp(t, u[p], u[n]);
    // The span k with u[k] <= t < u[k+1]; at the domain's end, the last non-empty span.
    int k = static_cast<int>(std::upper_bound(u.begin() + p, u.begin() + n + 1, t) - u.begin()) - 1;
    k = std::clamp(k, p, n - 1);
    while (k > p && u[k] == u[k + 1])
        --k;

    std::vector<vec4<double>> d(static_cast<std::size_t>(p) + 1);
    for (int j = 0; j <= p; ++j) {
        const int i = j + k - p;
        const double w = c.weights.empty() ? 1.0 : c.weights[i];
        d[j] = vec4<double>(c.controlPoints[i] * w, w);
    }
    for (int r = 1; r <= p; ++r)
        for (int j = p; j >= r; --j) {
            const int i = j + k - p;
            const double den = u[i + p - r + 1] - u[i];
            const double alpha = den > 0.0 ? (t - u[i]) / den : 0.0;
            d[j] = d[j - 1] * (1.0 - alpha) + d[j] * alpha;
        }
    return d[p].xyz() / d[p].w;
}
} // namespace

vec3d NurbsCurve3d::PointAt(double t) const {
    return IsValid() ? Evaluate(*this, t) : vec3d();
}

std::vector<vec3d> NurbsCurve3d::Sample(int perSpan) const {
    std::vector<vec3d> points;
    if (!IsValid())
        return points;
    perSpan = std::max(perSpan, 1);
    const int n = static_cast<int>(controlPoints.size());
    for (int k = degree; k < n; ++k) {
        const double a = knots[k], b = knots[k + 1];
        if (!(b > a))
            continue;
        for (int i = 0; i < perSpan; ++i)
            points.push_back(Evaluate(*this, a + (b - a) * i / perSpan));
    }
    points.push_back(Evaluate(*this, knots[n]));
    return points;
}

SBox3 NurbsCurve3d::Box() const {
    SBox3 box;
    for (const vec3d& p : Sample(kBoxSamplesPerSpan))
        box.Extend(p);
    return box;
}

std::vector<double> NurbsCurve3d::ClampedUniformKnots(int degree, int controlCount) {
    std::vector<double> u;
    if (degree < 1 || controlCount < degree + 1)
        return u;
    const int spans = controlCount - degree;
    for (int i = 0; i <= degree; ++i)
        u.push_back(0.0);
    for (int i = 1; i < spans; ++i)
        u.push_back(static_cast<double>(i) / spans);
    for (int i = 0; i <= degree; ++i)
        u.push_back(1.0);
    return u;
}

} // namespace Lumo::Graphics
