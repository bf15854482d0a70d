#pragma once
#include <ZoGe/ZoGePoint2d.h>

/// An axis-aligned rectangle in the plane, between two corners given in any order.
class ZoGeBoundBlock2d {
public:
    ZoGeBoundBlock2d() = default;
    ZoGeBoundBlock2d(const ZoGePoint2d& a, const ZoGePoint2d& b) { set(a, b); }
    void set(const ZoGePoint2d& a, const ZoGePoint2d& b);
    const ZoGePoint2d& minPoint() const { return m_min; }
    const ZoGePoint2d& maxPoint() const { return m_max; }
    bool contains(const ZoGePoint2d& p) const;

private:
    ZoGePoint2d m_min, m_max;
};
