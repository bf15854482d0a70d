#include <ZoGe/ZoGePoint3d.h>

#include <ZoGe/ZoGeMatrix3d.h>

const ZoGePoint3d ZoGePoint3d::kOrigin(0.0, 0.0, 0.0);

ZoGeVector3d ZoGePoint3d::operator-(const ZoGePoint3d& p) const {
    return {x - p.x, y - p.y, z - p.z};
}

ZoGePoint3d ZoGePoint3d::operator+(const ZoGeVector3d& v) const {
    return {x + v.x, y + v.y, z + v.z};
}

ZoGePoint3d ZoGePoint3d::operator-(const ZoGeVector3d& v) const {
    return {x - v.x, y - v.y, z - v.z};
}

ZoGePoint3d& ZoGePoint3d::operator+=(const ZoGeVector3d& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
}

ZoGePoint3d& ZoGePoint3d::operator-=(const ZoGeVector3d& v) {
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
}

double ZoGePoint3d::distanceTo(const ZoGePoint3d& p) const {
    return (*this - p).length();
}

ZoGePoint3d& ZoGePoint3d::transformBy(const ZoGeMatrix3d& m) {
    const auto& e = m.entry;
    double nx = e[0][0] * x + e[0][1] * y + e[0][2] * z + e[0][3];
    double ny = e[1][0] * x + e[1][1] * y + e[1][2] * z + e[1][3];
    double nz = e[2][0] * x + e[2][1] * y + e[2][2] * z + e[2][3];
    const double w = e[3][0] * x + e[3][1] * y + e[3][2] * z + e[3][3];
    if (w != 1.0 && w != 0.0) {
        nx /= w;
        ny /= w;
        nz /= w;
    }
    *this = ZoGePoint3d(nx, ny, nz);
    return *this;
}

ZoGePoint3d& ZoGePoint3d::rotateBy(double angle, const ZoGeVector3d& axis, const ZoGePoint3d& center) {
    return transformBy(ZoGeMatrix3d::rotation(angle, axis, center));
}

bool ZoGePoint3d::isEqualTo(const ZoGePoint3d& p, const ZoGeTol& tol) const {
    return distanceTo(p) <= tol.equalPoint();
}
