#include <Lumo/Graphics/Frame3d.h>

#include <cmath>

namespace Lumo::Graphics {

bool Frame3d::IsFinite(double d) {
    return std::isfinite(d);
}

bool Frame3d::IsFinite(const vec3d& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

Frame3d::vec3d Frame3d::Perpendicular(const vec3d& unit) {
    // Cross with the world axis least aligned with the vector: never close to parallel.
    const double ax = std::fabs(unit.x), ay = std::fabs(unit.y), az = std::fabs(unit.z);
    vec3d other = ax <= ay && ax <= az ? vec3d(1, 0, 0) : (ay <= az ? vec3d(0, 1, 0) : vec3d(0, 0, 1));
    return unit.Cross(other).Normalized();
}

Frame3d Frame3d::Make(const vec3d& origin, const vec3d& axis, const vec3d& reference) {
    Frame3d f;
    f.m_origin = origin;
    const double len = axis.Length();
    if (!IsFinite(origin) || !IsFinite(axis) || !IsFinite(reference) || !(len > 0.0)) {
        f.m_valid = false;
        return f;
    }
    f.m_w = axis / len;
    vec3d u = reference - f.m_w * reference.Dot(f.m_w);
    const double ulen = u.Length();
    // A reference almost along the axis leaves only rounding noise as its in-plane part.
    if (!(ulen > 1e-12 * reference.Length()) || ulen == 0.0)
        f.m_u = Perpendicular(f.m_w);
    else
        f.m_u = u / ulen;
    f.m_v = f.m_w.Cross(f.m_u);
    return f;
}

} // namespace Lumo::Graphics
