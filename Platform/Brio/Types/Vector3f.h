#pragma once

namespace Brio {

/// Direction or displacement in single precision.
struct Vector3f {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    Vector3f() = default;
    Vector3f(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    Vector3f operator+(const Vector3f& other) const;
    Vector3f operator-(const Vector3f& other) const;
    Vector3f operator-() const;
    Vector3f operator*(float scale) const;
    Vector3f operator/(float divisor) const;
    Vector3f& operator+=(const Vector3f& other);
    Vector3f& operator-=(const Vector3f& other);
    Vector3f& operator*=(float scale);

    float dot(const Vector3f& other) const;
    Vector3f cross(const Vector3f& other) const;
    float length() const;
    float lengthSquared() const;
    /// Unit vector in the same direction; the zero vector stays zero.
    Vector3f normalized() const;

    bool operator==(const Vector3f&) const = default;
};

Vector3f operator*(float scale, const Vector3f& v);

} // namespace Brio
