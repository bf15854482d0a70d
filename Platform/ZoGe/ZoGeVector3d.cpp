#include <ZoGe/ZoGeVector3d.h>

#include <ZoGe/ZoGeMatrix3d.h>
#include <ZoGe/ZoGePoint3d.h>

#include <cmath>
#include <numbers>

const ZoGeVector3d ZoGeVector3d::kXAxis(1.0, 0.0, 0.0);
const ZoGeVector3d ZoGeVector3d::kYAxis(0.0, 1.0, 0.0);
const ZoGeVector3d ZoGeVector3d::kZAxis(0.0, 0.0, 1.0);

ZoGeVector3d ZoGeVector3d::operator+(const ZoGeVector3d& v) const {
    return {x + v.x, y + v.y, z + v.z};
}

ZoGeVector3d ZoGeVector3d::operator-(const ZoGeVector3d& v) const {
    return {x - v.x, y - v.y, z - v.z};
}

ZoGeVector3d ZoGeVector3d::operator-() const {
    return {-x, -y, -z};
}

ZoGeVector3d ZoGeVector3d::operator*(double s) const {
    return {x * s, y * s, z * s};
}

ZoGeVector3d ZoGeVector3d::operator/(double d) const {
    return {x / d, y / d, z / d};
}

ZoGeVector3d& ZoGeVector3d::operator+=(const ZoGeVector3d& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
}

ZoGeVector3d& ZoGeVector3d::operator-=(const ZoGeVector3d& v) {
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
}

ZoGeVector3d& ZoGeVector3d::operator*=(double s) {
    x *= s;
    y *= s;
    z *= s;
    return *this;
}

ZoGeVector3d& ZoGeVector3d::operator/=(double d) {
    x /= d;
    y /= d;
    z /= d;
    return *this;
}

double ZoGeVector3d::dotProduct(const ZoGeVector3d& v) const {
    return x * v.x + y * v.y + z * v.z;
}

ZoGeVector3d ZoGeVector3d::crossProduct(const ZoGeVector3d& v) const {
    return {y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x};
}

double ZoGeVector3d::length() const {
    return std::sqrt(lengthSqrd());
}

double ZoGeVector3d::lengthSqrd() const {
    return x * x + y * y + z * z;
}

double ZoGeVector3d::angleTo(const ZoGeVector3d& v) const {
    // atan2 of |cross| and dot stays accurate near 0 and pi, unlike acos of the dot product.
    return std::atan2(crossProduct(v).length(), dotProduct(v));
}

double ZoGeVector3d::angleTo(const ZoGeVector3d& v, const ZoGeVector3d& reference) const {
    const double a = angleTo(v);
    if (a == 0.0 || crossProduct(v).dotProduct(reference) >= 0.0)
        return a;
    return 2.0 * std::numbers::pi - a;
}

ZoGeVector3d ZoGeVector3d::perpVector() const {
    // Cross with the axis least aligned with this vector, for the best-conditioned result.
    const double ax = std::fabs(x), ay = std::fabs(y), az = std::fabs(z);
    const ZoGeVector3d& other = (ax <= ay && ax <= az) ? kXAxis : (ay <= az ? kYAxis : kZAxis);
    return crossProduct(other);
}

ZoGeVector3d ZoGeVector3d::normal(const ZoGeTol& tol) const {
    ZoGeVector3d v(*this);
    return v.normalize(tol);
}

ZoGeVector3d& ZoGeVector3d::normalize(const ZoGeTol& tol) {
    const double len = length();
    if (len > tol.equalVector())
        *this /= len;
    return *this;
}

ZoGeVector3d& ZoGeVector3d::transformBy(const ZoGeMatrix3d& m) {
    const auto& e = m.entry;
    *this = ZoGeVector3d(e[0][0] * x + e[0][1] * y + e[0][2] * z, e[1][0] * x + e[1][1] * y + e[1][2] * z,
                         e[2][0] * x + e[2][1] * y + e[2][2] * z);
    return *this;
}

ZoGeVector3d& ZoGeVector3d::rotateBy(double angle, const ZoGeVector3d& axis) {
    return transformBy(ZoGeMatrix3d::rotation(angle, axis, ZoGePoint3d::kOrigin));
}

bool ZoGeVector3d::isZeroLength(const ZoGeTol& tol) const {
    return length() <= tol.equalVector();
}

bool ZoGeVector3d::isUnitLength(const ZoGeTol& tol) const {
    return std::fabs(length() - 1.0) <= tol.equalVector();
}

bool ZoGeVector3d::isEqualTo(const ZoGeVector3d& v, const ZoGeTol& tol) const {
    return (*this - v).length() <= tol.equalVector();
}

bool ZoGeVector3d::isParallelTo(const ZoGeVector3d& v, const ZoGeTol& tol) const {
    if (isZeroLength(tol) || v.isZeroLength(tol))
        return false;
    const double sine = crossProduct(v).length() / (length() * v.length());
    return sine <= tol.equalVector();
}

bool ZoGeVector3d::isCodirectionalTo(const ZoGeVector3d& v, const ZoGeTol& tol) const {
    return isParallelTo(v, tol) && dotProduct(v) > 0.0;
}

bool ZoGeVector3d::isPerpendicularTo(const ZoGeVector3d& v, const ZoGeTol& tol) const {
    if (isZeroLength(tol) || v.isZeroLength(tol))
        return false;
    const double cosine = std::fabs(dotProduct(v)) / (length() * v.length());
    return cosine <= tol.equalVector();
}

ZoGeVector3d operator*(double s, const ZoGeVector3d& v) {
    return v * s;
}
