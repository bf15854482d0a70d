#pragma once

#include <Brio/Types/Vector3f.h>

namespace Brio {

/// Position in single precision; differences of points are Vector3f.
struct Point3f {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    Point3f() = default;
    Point3f(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    Vector3f operator-(const Point3f& other) const;
    Point3f operator+(const Vector3f& v) const;
    Point3f operator-(const Vector3f& v) const;
    Point3f& operator+=(const Vector3f& v);
    Point3f& operator-=(const Vector3f& v);

    float distanceTo(const Point3f& other) const;

    bool operator==(const Point3f&) const = default;
};

} // namespace Brio
