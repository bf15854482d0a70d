#include <Brio/Types/Vector3f.h>

#include <cmath>

namespace Brio {

Vector3f Vector3f::operator+(const Vector3f& o) const {
    return {x + o.x, y + o.y, z + o.z};
}

Vector3f Vector3f::operator-(const Vector3f& o) const {
    return {x - o.x, y - o.y, z - o.z};
}

Vector3f Vector3f::operator-() const {
    return {-x, -y, -z};
}

Vector3f Vector3f::operator*(float s) const {
    return {x * s, y * s, z * s};
}

Vector3f Vector3f::operator/(float d) const {
    return {x / d, y / d, z / d};
}

Vector3f& Vector3f::operator+=(const Vector3f& o) {
    x += o.x;
    y += o.y;
    z += o.z;
    return *this;
}

Vector3f& Vector3f::operator-=(const Vector3f& o) {
    x -= o.x;
    y -= o.y;
    z -= o.z;
    return *this;
}

Vector3f& Vector3f::operator*=(float s) {
    x *= s;
    y *= s;
    z *= s;
    return *this;
}

float Vector3f::dot(const Vector3f& o) const {
    return x * o.x + y * o.y + z * o.z;
}

Vector3f Vector3f::cross(const Vector3f& o) const {
    return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x};
}

float Vector3f::length() const {
    return std::sqrt(lengthSquared());
}

float Vector3f::lengthSquared() const {
    return dot(*this);
}

Vector3f Vector3f::normalized() const {
    const float len = length();
    return len > 0.0f ? *this / len : Vector3f();
}

Vector3f operator*(float s, const Vector3f& v) {
    return v * s;
}

} // namespace Brio
