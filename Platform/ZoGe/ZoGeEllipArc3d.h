#pragma once
#include <ZoGe/ZoGePoint3d.h>
#include <ZoGe/ZoGeVector3d.h>

/// An elliptical arc: centre, major and minor axis directions, their radii, and start and end
/// angles (radians, from the major axis towards the minor one).
class ZoGeEllipArc3d {
public:
    ZoGeEllipArc3d() = default;
    ZoGeEllipArc3d(const ZoGePoint3d& center, const ZoGeVector3d& majorAxis, const ZoGeVector3d& minorAxis,
                   double majorRadius, double minorRadius, double startAngle = 0.0,
                   double endAngle = 6.283185307179586);

    const ZoGePoint3d& center() const { return m_center; }
    const ZoGeVector3d& majorAxis() const { return m_majorAxis; }
    const ZoGeVector3d& minorAxis() const { return m_minorAxis; }
    double majorRadius() const { return m_majorRadius; }
    double minorRadius() const { return m_minorRadius; }
    double startAng() const { return m_startAngle; }
    double endAng() const { return m_endAngle; }
    /// major x minor, the plane's normal (zero when the axes are parallel).
    ZoGeVector3d normal() const { return m_majorAxis.crossProduct(m_minorAxis); }

private:
    ZoGePoint3d m_center;
    ZoGeVector3d m_majorAxis{1, 0, 0};
    ZoGeVector3d m_minorAxis{0, 1, 0};
    double m_majorRadius = 1.0;
    double m_minorRadius = 1.0;
    double m_startAngle = 0.0;
    double m_endAngle = 6.283185307179586;
};
