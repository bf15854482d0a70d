#pragma once

#include <ZoGe/ZoGeTol.h>

/// Direction or displacement in the plane.
class ZoGeVector2d {
public:
    static const ZoGeVector2d kXAxis;
    static const ZoGeVector2d kYAxis;

    double x = 0.0;
    double y = 0.0;

    constexpr ZoGeVector2d() = default;
    constexpr ZoGeVector2d(double x_, double y_) : x(x_), y(y_) {}

    ZoGeVector2d operator+(const ZoGeVector2d& v) const;
    ZoGeVector2d operator-(const ZoGeVector2d& v) const;
    ZoGeVector2d operator-() const;
    ZoGeVector2d operator*(double s) const;
    ZoGeVector2d operator/(double d) const;
    ZoGeVector2d& operator+=(const ZoGeVector2d& v);
    ZoGeVector2d& operator-=(const ZoGeVector2d& v);
    ZoGeVector2d& operator*=(double s);
    ZoGeVector2d& operator/=(double d);

    double dotProduct(const ZoGeVector2d& v) const;
    double length() const;
    double lengthSqrd() const;
    /// Direction of the vector from the x axis, in [0, 2pi).
    double angle() const;
    /// Unsigned angle between the two, in [0, pi]; 0 when either is zero.
    double angleTo(const ZoGeVector2d& v) const;
    /// The vector rotated by +90 degrees.
    ZoGeVector2d perpVector() const;

    /// Unit vector in the same direction; a zero-length vector (within tol) is returned unchanged.
    ZoGeVector2d normal(const ZoGeTol& tol = ZoGeTol::global()) const;
    ZoGeVector2d& normalize(const ZoGeTol& tol = ZoGeTol::global());

    bool isZeroLength(const ZoGeTol& tol = ZoGeTol::global()) const;
    bool isUnitLength(const ZoGeTol& tol = ZoGeTol::global()) const;
    bool isEqualTo(const ZoGeVector2d& v, const ZoGeTol& tol = ZoGeTol::global()) const;
    /// Zero-length vectors are neither parallel nor perpendicular to anything.
    bool isParallelTo(const ZoGeVector2d& v, const ZoGeTol& tol = ZoGeTol::global()) const;
    bool isCodirectionalTo(const ZoGeVector2d& v, const ZoGeTol& tol = ZoGeTol::global()) const;
    bool isPerpendicularTo(const ZoGeVector2d& v, const ZoGeTol& tol = ZoGeTol::global()) const;

    /// Tolerant comparison with the global tolerance.
    bool operator==(const ZoGeVector2d& v) const { return isEqualTo(v); }
};

ZoGeVector2d operator*(double s, const ZoGeVector2d& v);
