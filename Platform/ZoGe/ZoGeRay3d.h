#pragma once
#include <ZoGe/ZoGePoint3d.h>
#include <ZoGe/ZoGeVector3d.h>

class ZoGeMatrix3d;

/// A half-line from a point along a direction (not necessarily unit).
class ZoGeRay3d {
public:
    ZoGeRay3d() : m_direction(1.0, 0.0, 0.0) {}
    ZoGeRay3d(const ZoGePoint3d& origin, const ZoGeVector3d& direction) : m_origin(origin), m_direction(direction) {}

    /// The origin.
    const ZoGePoint3d& pointOnLine() const { return m_origin; }
    const ZoGeVector3d& direction() const { return m_direction; }
    void set(const ZoGePoint3d& origin, const ZoGeVector3d& direction);
    /// The point of the ray closest to p (the origin for points behind it; the origin for a
    /// zero direction).
    ZoGePoint3d closestPointTo(const ZoGePoint3d& p) const;
    ZoGeRay3d& transformBy(const ZoGeMatrix3d& m);

private:
    ZoGePoint3d m_origin;
    ZoGeVector3d m_direction;
};
