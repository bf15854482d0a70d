#include <Brio/Types/Point3f.h>

namespace Brio {

Vector3f Point3f::operator-(const Point3f& o) const {
    return {x - o.x, y - o.y, z - o.z};
}

Point3f Point3f::operator+(const Vector3f& v) const {
    return {x + v.x, y + v.y, z + v.z};
}

Point3f Point3f::operator-(const Vector3f& v) const {
    return {x - v.x, y - v.y, z - v.z};
}

Point3f& Point3f::operator+=(const Vector3f& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
}

Point3f& Point3f::operator-=(const Vector3f& v) {
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
}

float Point3f::distanceTo(const Point3f& o) const {
    return (*this - o).length();
}

} // namespace Brio
