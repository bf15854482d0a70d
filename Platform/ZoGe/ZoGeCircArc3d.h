#pragma once
#include <ZoGe/ZoGePoint3d.h>
#include <ZoGe/ZoGeVector3d.h>

/// A circular arc: centre, normal, reference vector (the direction of angle 0), radius, and
/// start and end angles in radians measured counter-clockwise about the normal.
class ZoGeCircArc3d {
public:
    ZoGeCircArc3d() = default;
    /// A full circle.
    ZoGeCircArc3d(const ZoGePoint3d& center, const ZoGeVector3d& normal, double radius);
    ZoGeCircArc3d(const ZoGePoint3d& center, const ZoGeVector3d& normal, const ZoGeVector3d& refVec, double radius,
                  double startAngle, double endAngle);

    const ZoGePoint3d& center() const { return m_center; }
    const ZoGeVector3d& normal() const { return m_normal; }
    const ZoGeVector3d& refVec() const { return m_refVec; }
    double radius() const { return m_radius; }
    double startAng() const { return m_startAngle; }
    double endAng() const { return m_endAngle; }
    /// centre + radius * unit reference vector.
    ZoGePoint3d startPoint() const;

private:
    ZoGePoint3d m_center;
    ZoGeVector3d m_normal{0, 0, 1};
    ZoGeVector3d m_refVec{1, 0, 0};
    double m_radius = 1.0;
    double m_startAngle = 0.0;
    double m_endAngle = 6.283185307179586;
};
