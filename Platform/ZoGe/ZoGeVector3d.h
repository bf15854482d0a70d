#pragma once

#include <ZoGe/ZoGeTol.h>

class ZoGeMatrix3d;

/// Direction or displacement in space; transforms ignore translation.
class ZoGeVector3d {
public:
    static const ZoGeVector3d kXAxis;
    static const ZoGeVector3d kYAxis;
    static const ZoGeVector3d kZAxis;

    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    constexpr ZoGeVector3d() = default;
    constexpr ZoGeVector3d(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}

    ZoGeVector3d operator+(const ZoGeVector3d& v) const;
    ZoGeVector3d operator-(const ZoGeVector3d& v) const;
    ZoGeVector3d operator-() const;
    ZoGeVector3d operator*(double s) const;
    ZoGeVector3d operator/(double d) const;
    ZoGeVector3d& operator+=(const ZoGeVector3d& v);
    ZoGeVector3d& operator-=(const ZoGeVector3d& v);
    ZoGeVector3d& operator*=(double s);
    ZoGeVector3d& operator/=(double d);

    double dotProduct(const ZoGeVector3d& v) const;
    ZoGeVector3d crossProduct(const ZoGeVector3d& v) const;
    double length() const;
    double lengthSqrd() const;
    /// Unsigned angle between the two, in [0, pi]; 0 when either is zero.
    double angleTo(const ZoGeVector3d& v) const;
    /// Angle from this to v counterclockwise about `reference`, in [0, 2pi).
    double angleTo(const ZoGeVector3d& v, const ZoGeVector3d& reference) const;
    /// Some vector perpendicular to this one (zero for the zero vector).
    ZoGeVector3d perpVector() const;

    /// Unit vector in the same direction; a zero-length vector (within tol) is returned unchanged.
    ZoGeVector3d normal(const ZoGeTol& tol = ZoGeTol::global()) const;
    ZoGeVector3d& normalize(const ZoGeTol& tol = ZoGeTol::global());

    /// Applies the linear part of `m` (no translation).
    ZoGeVector3d& transformBy(const ZoGeMatrix3d& m);
    /// Rotates counterclockwise about `axis` (right-hand rule).
    ZoGeVector3d& rotateBy(double angle, const ZoGeVector3d& axis);

    bool isZeroLength(const ZoGeTol& tol = ZoGeTol::global()) const;
    bool isUnitLength(const ZoGeTol& tol = ZoGeTol::global()) const;
    bool isEqualTo(const ZoGeVector3d& v, const ZoGeTol& tol = ZoGeTol::global()) const;
    /// Zero-length vectors are neither parallel nor perpendicular to anything.
    bool isParallelTo(const ZoGeVector3d& v, const ZoGeTol& tol = ZoGeTol::global()) const;
    bool isCodirectionalTo(const ZoGeVector3d& v, const ZoGeTol& tol = ZoGeTol::global()) const;
    bool isPerpendicularTo(const ZoGeVector3d& v, const ZoGeTol& tol = ZoGeTol::global()) const;

    /// Tolerant comparison with the global tolerance.
    bool operator==(const ZoGeVector3d& v) const { return isEqualTo(v); }
};

ZoGeVector3d operator*(double s, const ZoGeVector3d& v);
