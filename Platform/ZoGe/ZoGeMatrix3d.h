#pragma once

#include <ZoGe/ZoGePoint3d.h>
#include <ZoGe/ZoGeTol.h>
#include <ZoGe/ZoGeVector3d.h>

/// 4x4 transform for column vectors (p' = M * p): entry[row][col], translation in the last
/// column, so (A * B) applies B first. A default matrix is the identity.
class ZoGeMatrix3d {
public:
    static const ZoGeMatrix3d kIdentity;

    double entry[4][4];

    constexpr ZoGeMatrix3d()
        : entry{{1.0, 0.0, 0.0, 0.0}, {0.0, 1.0, 0.0, 0.0}, {0.0, 0.0, 1.0, 0.0}, {0.0, 0.0, 0.0, 1.0}} {}

    ZoGeMatrix3d& setToIdentity();

    ZoGeMatrix3d operator*(const ZoGeMatrix3d& right) const;
    ZoGeMatrix3d& operator*=(const ZoGeMatrix3d& right);
    /// this = left * this (left is applied after this).
    ZoGeMatrix3d& preMultBy(const ZoGeMatrix3d& left);
    /// this = this * right (right is applied before this).
    ZoGeMatrix3d& postMultBy(const ZoGeMatrix3d& right);
    ZoGeMatrix3d& setToProduct(const ZoGeMatrix3d& left, const ZoGeMatrix3d& right);

    /// Writes the inverse to `out` and returns true; returns false and leaves `out` alone when
    /// the matrix is singular, i.e. a Gauss-Jordan pivot falls to at most tol times the largest
    /// entry (so the test does not depend on the matrix's overall scale).
    bool inverse(ZoGeMatrix3d& out, double tol = ZoGeTol::global().equalVector()) const;
    /// The inverse, or a copy of this matrix unchanged when it is singular (check isSingular()
    /// first, or use the form above, when that can happen).
    ZoGeMatrix3d inverse() const;
    /// Inverts in place; returns false and leaves the matrix unchanged when it is singular.
    bool invert(double tol = ZoGeTol::global().equalVector());
    bool isSingular(double tol = ZoGeTol::global().equalVector()) const;

    ZoGeMatrix3d transpose() const;
    ZoGeMatrix3d& transposeIt();
    double det() const;

    /// Linear part and bottom row compared within equalVector, translation within equalPoint.
    bool isEqualTo(const ZoGeMatrix3d& other, const ZoGeTol& tol = ZoGeTol::global()) const;
    bool isIdentity(const ZoGeTol& tol = ZoGeTol::global()) const;
    bool operator==(const ZoGeMatrix3d& other) const { return isEqualTo(other); }

    static ZoGeMatrix3d translation(const ZoGeVector3d& v);
    /// Counterclockwise (right-hand rule) about the line through `center` along `axis`; the
    /// identity for a zero-length axis.
    static ZoGeMatrix3d rotation(double angle, const ZoGeVector3d& axis,
                                 const ZoGePoint3d& center = ZoGePoint3d::kOrigin);
    /// Uniform scaling that keeps `center` fixed.
    static ZoGeMatrix3d scaling(double scale, const ZoGePoint3d& center = ZoGePoint3d::kOrigin);
    /// Maps the first coordinate system onto the second (from-origin to to-origin, from-x to
    /// to-x, ...); the identity when the first system's axes are degenerate.
    static ZoGeMatrix3d alignCoordSys(const ZoGePoint3d& fromOrigin, const ZoGeVector3d& fromXAxis,
                                      const ZoGeVector3d& fromYAxis, const ZoGeVector3d& fromZAxis,
                                      const ZoGePoint3d& toOrigin, const ZoGeVector3d& toXAxis,
                                      const ZoGeVector3d& toYAxis, const ZoGeVector3d& toZAxis);

    /// Columns become the axes and the origin: maps the world axes onto this system.
    ZoGeMatrix3d& setCoordSystem(const ZoGePoint3d& origin, const ZoGeVector3d& xAxis, const ZoGeVector3d& yAxis,
                                 const ZoGeVector3d& zAxis);
    void getCoordSystem(ZoGePoint3d& origin, ZoGeVector3d& xAxis, ZoGeVector3d& yAxis, ZoGeVector3d& zAxis) const;

    ZoGeVector3d translation() const;
    ZoGeMatrix3d& setTranslation(const ZoGeVector3d& v);
};

ZoGePoint3d operator*(const ZoGeMatrix3d& m, const ZoGePoint3d& p);
ZoGeVector3d operator*(const ZoGeMatrix3d& m, const ZoGeVector3d& v);
