#include <ZoGe/ZoGeEllipArc3d.h>

ZoGeEllipArc3d::ZoGeEllipArc3d(const ZoGePoint3d& center, const ZoGeVector3d& majorAxis, const ZoGeVector3d& minorAxis,
                               double majorRadius, double minorRadius, double startAngle, double endAngle)
    : m_center(center), m_majorAxis(majorAxis), m_minorAxis(minorAxis), m_majorRadius(majorRadius),
      m_minorRadius(minorRadius), m_startAngle(startAngle), m_endAngle(endAngle) {}
