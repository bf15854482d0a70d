#pragma once

#include <ZoGe/ZoGeTol.h>
#include <ZoGe/ZoGeVector3d.h>

class ZoGeMatrix3d;

/// Position in space; transforms apply translation.
class ZoGePoint3d {
public:
    static const ZoGePoint3d kOrigin;

    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    constexpr ZoGePoint3d() = default;
    constexpr ZoGePoint3d(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}

    ZoGeVector3d operator-(const ZoGePoint3d& p) const;
    ZoGePoint3d operator+(const ZoGeVector3d& v) const;
    ZoGePoint3d operator-(const ZoGeVector3d& v) const;
    ZoGePoint3d& operator+=(const ZoGeVector3d& v);
    ZoGePoint3d& operator-=(const ZoGeVector3d& v);

    double distanceTo(const ZoGePoint3d& p) const;
    ZoGeVector3d asVector() const { return {x, y, z}; }

    /// Applies `m` including translation; a projective row is divided out when w is not 0 or 1.
    ZoGePoint3d& transformBy(const ZoGeMatrix3d& m);
    /// Rotates counterclockwise about the line through `center` along `axis`.
    ZoGePoint3d& rotateBy(double angle, const ZoGeVector3d& axis, const ZoGePoint3d& center = kOrigin);

    /// Equal when the distance is at most tol.equalPoint().
    bool isEqualTo(const ZoGePoint3d& p, const ZoGeTol& tol = ZoGeTol::global()) const;
    bool operator==(const ZoGePoint3d& p) const { return isEqualTo(p); }
};
