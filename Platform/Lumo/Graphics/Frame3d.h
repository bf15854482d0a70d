#pragma once
#include <Lumo/Objects/Vec.h>

namespace Lumo::Graphics {

/// A right-handed orthonormal frame (U, V, W = U x V) at an origin. Primitives are laid out
/// in one so that their tessellation can work in a local plane round the W axis.
class Frame3d {
public:
    using vec3d = Lumo::Objects::vec3<double>;

    /// The world axes at the world origin.
    Frame3d() = default;
    /// W along axis; U along reference made perpendicular to W, or a fixed perpendicular when
    /// the reference is zero or (nearly) parallel to the axis. Invalid when the axis is zero
    /// or anything is not finite.
    static Frame3d Make(const vec3d& origin, const vec3d& axis, const vec3d& reference = {});

    bool IsValid() const { return m_valid; }
    const vec3d& Origin() const { return m_origin; }
    const vec3d& U() const { return m_u; }
    const vec3d& V() const { return m_v; }
    const vec3d& W() const { return m_w; }

    /// Origin + u U + v V + w W.
    vec3d Point(double u, double v, double w) const { return m_origin + Direction(u, v, w); }
    /// u U + v V + w W.
    vec3d Direction(double u, double v, double w) const { return m_u * u + m_v * v + m_w * w; }

    /// A unit vector perpendicular to a unit vector, chosen the same way every time.
    static vec3d Perpendicular(const vec3d& unit);
    static bool IsFinite(const vec3d& v);
    static bool IsFinite(double d);

private:
    vec3d m_origin{0, 0, 0};
    vec3d m_u{1, 0, 0};
    vec3d m_v{0, 1, 0};
    vec3d m_w{0, 0, 1};
    bool m_valid = true;
};

} // namespace Lumo::Graphics
