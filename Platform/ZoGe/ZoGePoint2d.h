#pragma once

#include <ZoGe/ZoGeTol.h>
#include <ZoGe/ZoGeVector2d.h>

/// Position in the plane.
class ZoGePoint2d {
public:
    static const ZoGePoint2d kOrigin;

    double x = 0.0;
    double y = 0.0;

    constexpr ZoGePoint2d() = default;
    constexpr ZoGePoint2d(double x_, double y_) : x(x_), y(y_) {}

    ZoGeVector2d operator-(const ZoGePoint2d& p) const;
    ZoGePoint2d operator+(const ZoGeVector2d& v) const;
    ZoGePoint2d operator-(const ZoGeVector2d& v) const;
    ZoGePoint2d& operator+=(const ZoGeVector2d& v);
    ZoGePoint2d& operator-=(const ZoGeVector2d& v);

    double distanceTo(const ZoGePoint2d& p) const;
    ZoGeVector2d asVector() const { return {x, y}; }
    /// Rotates counterclockwise about `center`.
    ZoGePoint2d& rotateBy(double angle, const ZoGePoint2d& center = kOrigin);

    /// Equal when the distance is at most tol.equalPoint().
    bool isEqualTo(const ZoGePoint2d& p, const ZoGeTol& tol = ZoGeTol::global()) const;
    bool operator==(const ZoGePoint2d& p) const { return isEqualTo(p); }
};
