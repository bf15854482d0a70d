#include <ZoGe/ZoGePoint2d.h>

#include <cmath>

const ZoGePoint2d ZoGePoint2d::kOrigin(0.0, 0.0);

ZoGeVector2d ZoGePoint2d::operator-(const ZoGePoint2d& p) const {
    return {x - p.x, y - p.y};
}

ZoGePoint2d ZoGePoint2d::operator+(const ZoGeVector2d& v) const {
    return {x + v.x, y + v.y};
}

ZoGePoint2d ZoGePoint2d::operator-(const ZoGeVector2d& v) const {
    return {x - v.x, y - v.y};
}

ZoGePoint2d& ZoGePoint2d::operator+=(const ZoGeVector2d& v) {
    x += v.x;
    y += v.y;
    return *this;
}

ZoGePoint2d& ZoGePoint2d::operator-=(const ZoGeVector2d& v) {
    x -= v.x;
    y -= v.y;
    return *this;
}

double ZoGePoint2d::distanceTo(const ZoGePoint2d& p) const {
    return (*this - p).length();
}

ZoGePoint2d& ZoGePoint2d::rotateBy(double angle, const ZoGePoint2d& center) {
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const ZoGeVector2d d = *this - center;
    x = center.x + c * d.x - s * d.y;
    y = center.y + s * d.x + c * d.y;
    return *this;
}

bool ZoGePoint2d::isEqualTo(const ZoGePoint2d& p, const ZoGeTol& tol) const {
    return distanceTo(p) <= tol.equalPoint();
}
