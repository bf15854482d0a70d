#include <ZoGe/ZoGeMatrix3d.h>
#include <ZoGe/ZoGeRay3d.h>

#include <algorithm>

void ZoGeRay3d::set(const ZoGePoint3d& origin, const ZoGeVector3d& direction) {
    m_origin = origin;
    m_direction = direction;
}

ZoGePoint3d ZoGeRay3d::closestPointTo(const ZoGePoint3d& p) const {
    const double dd = m_direction.dotProduct(m_direction);
    if (!(dd > 0.0))
        return m_origin;
    const double t = std::max(0.0, (p - m_origin).dotProduct(m_direction) / dd);
    return m_origin + m_direction * t;
}

ZoGeRay3d& ZoGeRay3d::transformBy(const ZoGeMatrix3d& m) {
    m_origin.transformBy(m);
    m_direction.transformBy(m);
    return *this;
}
