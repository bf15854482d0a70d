#include <ZoGe/ZoGeVector2d.h>

#include <cmath>
#include <numbers>

const ZoGeVector2d ZoGeVector2d::kXAxis(1.0, 0.0);
const ZoGeVector2d ZoGeVector2d::kYAxis(0.0, 1.0);

ZoGeVector2d ZoGeVector2d::operator+(const ZoGeVector2d& v) const {
    return {x + v.x, y + v.y};
}

ZoGeVector2d ZoGeVector2d::operator-(const ZoGeVector2d& v) const {
    return {x - v.x, y - v.y};
}

ZoGeVector2d ZoGeVector2d::operator-() const {
    return {-x, -y};
}

ZoGeVector2d ZoGeVector2d::operator*(double s) const {
    return {x * s, y * s};
}

ZoGeVector2d ZoGeVector2d::operator/(double d) const {
    return {x / d, y / d};
}

ZoGeVector2d& ZoGeVector2d::operator+=(const ZoGeVector2d& v) {
    x += v.x;
    y += v.y;
    return *this;
}

ZoGeVector2d& ZoGeVector2d::operator-=(const ZoGeVector2d& v) {
    x -= v.x;
    y -= v.y;
    return *this;
}

ZoGeVector2d& ZoGeVector2d::operator*=(double s) {
    x *= s;
    y *= s;
    return *this;
}

ZoGeVector2d& ZoGeVector2d::operator/=(double d) {
    x /= d;
    y /= d;
    return *this;
}

double ZoGeVector2d::dotProduct(const ZoGeVector2d& v) const {
    return x * v.x + y * v.y;
}

double ZoGeVector2d::length() const {
    return std::hypot(x, y);
}

double ZoGeVector2d::lengthSqrd() const {
    return x * x + y * y;
}

double ZoGeVector2d::angle() const {
    const double a = std::atan2(y, x);
    return a < 0.0 ? a + 2.0 * std::numbers::pi : a;
}

double ZoGeVector2d::angleTo(const ZoGeVector2d& v) const {
    // atan2 of |cross| and dot stays accurate near 0 and pi, unlike acos of the dot product.
    return std::atan2(std::fabs(x * v.y - y * v.x), dotProduct(v));
}

ZoGeVector2d ZoGeVector2d::perpVector() const {
    return {-y, x};
}

ZoGeVector2d ZoGeVector2d::normal(const ZoGeTol& tol) const {
    ZoGeVector2d v(*this);
    return v.normalize(tol);
}

ZoGeVector2d& ZoGeVector2d::normalize(const ZoGeTol& tol) {
    const double len = length();
    if (len > tol.equalVector())
        *this /= len;
    return *this;
}

bool ZoGeVector2d::isZeroLength(const ZoGeTol& tol) const {
    return length() <= tol.equalVector();
}

bool ZoGeVector2d::isUnitLength(const ZoGeTol& tol) const {
    return std::fabs(length() - 1.0) <= tol.equalVector();
}

bool ZoGeVector2d::isEqualTo(const ZoGeVector2d& v, const ZoGeTol& tol) const {
    return (*this - v).length() <= tol.equalVector();
}

bool ZoGeVector2d::isParallelTo(const ZoGeVector2d& v, const ZoGeTol& tol) const {
    if (isZeroLength(tol) || v.isZeroLength(tol))
        return false;
    const double sine = std::fabs(x * v.y - y * v.x) / (length() * v.length());
    return sine <= tol.equalVector();
}

bool ZoGeVector2d::isCodirectionalTo(const ZoGeVector2d& v, const ZoGeTol& tol) const {
    return isParallelTo(v, tol) && dotProduct(v) > 0.0;
}

bool ZoGeVector2d::isPerpendicularTo(const ZoGeVector2d& v, const ZoGeTol& tol) const {
    if (isZeroLength(tol) || v.isZeroLength(tol))
        return false;
    const double cosine = std::fabs(dotProduct(v)) / (length() * v.length());
    return cosine <= tol.equalVector();
}

ZoGeVector2d operator*(double s, const ZoGeVector2d& v) {
    return v * s;
}
