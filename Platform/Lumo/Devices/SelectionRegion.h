#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassMacros.h>
#include <Lumo/Objects/Vec.h>

namespace Lumo::Devices {

/// Where a pick looks, in window pixels with y growing upward from the window's bottom.
class ISelectionRegion2D : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    const Lumo::Objects::vec2<float>& WindowSize() const { return m_window; }
    void WindowSize(const Lumo::Objects::vec2<float>& size) { m_window = size; }
    /// The region's bounds in normalised device coordinates (x0, y0, x1, y1); false when the
    /// window has no size.
    virtual bool DeviceBounds(double out[4]) const = 0;

protected:
    ISelectionRegion2D() = default;

private:
    Lumo::Objects::vec2<float> m_window;
};

/// A pixel and a tolerance around it, in pixels.
class PointRegion : public ISelectionRegion2D {
    LUMO_DECLARE_CLASS()
public:
    static PointRegion* Make() { return new PointRegion; }
    const Lumo::Objects::vec2<float>& Point() const { return m_point; }
    void Point(const Lumo::Objects::vec2<float>& p) { m_point = p; }
    int Tolerance() const { return m_tolerance; }
    void Tolerance(int pixels) { m_tolerance = pixels < 0 ? 0 : pixels; }
    bool DeviceBounds(double out[4]) const override;
    /// Whether an edge's point at screen distance `pixels` from the pick point counts as hit;
    /// by default within the tolerance.
    virtual bool TestEdgeIntersect(double pixels) const { return pixels <= double(m_tolerance); }
    /// Whether the screen segment p0 p1 (x and y in window pixels, z the clip w of each end)
    /// passes within the tolerance of the point; t is where, as the fraction of the way from
    /// p0 to p1 on screen.
    virtual bool TestEdgeIntersect(const Lumo::Objects::vec3<double>& p0, const Lumo::Objects::vec3<double>& p1,
                                   double& t) const;

protected:
    PointRegion() = default;

private:
    Lumo::Objects::vec2<float> m_point;
    int m_tolerance = 0;
};

/// A rectangle between two corners.
class RectangleRegion : public ISelectionRegion2D {
    LUMO_DECLARE_CLASS()
public:
    static RectangleRegion* Make() { return new RectangleRegion; }
    const Lumo::Objects::vec2<float>& Min() const { return m_min; }
    void Min(const Lumo::Objects::vec2<float>& p) { m_min = p; }
    const Lumo::Objects::vec2<float>& Max() const { return m_max; }
    void Max(const Lumo::Objects::vec2<float>& p) { m_max = p; }
    bool DeviceBounds(double out[4]) const override;

protected:
    RectangleRegion() = default;

private:
    Lumo::Objects::vec2<float> m_min, m_max;
};

} // namespace Lumo::Devices
