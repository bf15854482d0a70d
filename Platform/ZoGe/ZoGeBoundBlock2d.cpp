#include <ZoGe/ZoGeBoundBlock2d.h>

#include <algorithm>

void ZoGeBoundBlock2d::set(const ZoGePoint2d& a, const ZoGePoint2d& b) {
    m_min = {std::min(a.x, b.x), std::min(a.y, b.y)};
    m_max = {std::max(a.x, b.x), std::max(a.y, b.y)};
}

bool ZoGeBoundBlock2d::contains(const ZoGePoint2d& p) const {
    return p.x >= m_min.x && p.x <= m_max.x && p.y >= m_min.y && p.y <= m_max.y;
}
