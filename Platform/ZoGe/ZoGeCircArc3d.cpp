#include <ZoGe/ZoGeCircArc3d.h>

ZoGeCircArc3d::ZoGeCircArc3d(const ZoGePoint3d& center, const ZoGeVector3d& normal, double radius)
    : m_center(center), m_normal(normal), m_refVec(normal.perpVector()), m_radius(radius) {}

ZoGeCircArc3d::ZoGeCircArc3d(const ZoGePoint3d& center, const ZoGeVector3d& normal, const ZoGeVector3d& refVec,
                             double radius, double startAngle, double endAngle)
    : m_center(center), m_normal(normal), m_refVec(refVec), m_radius(radius), m_startAngle(startAngle),
      m_endAngle(endAngle) {}

ZoGePoint3d ZoGeCircArc3d::startPoint() const {
    const double len = m_refVec.length();
    return len > 0.0 ? m_center + m_refVec * (m_radius / len) : m_center;
}
