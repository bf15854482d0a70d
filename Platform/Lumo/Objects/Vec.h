#pragma once
#include <cmath>

namespace Lumo::Objects {

/// Two-component vector.
template <class T> struct vec2 {
    T x{}, y{};
    constexpr vec2() = default;
    constexpr vec2(T x_, T y_) : x(x_), y(y_) {}
    constexpr T& operator[](int i) { return (&x)[i]; }
    constexpr const T& operator[](int i) const { return (&x)[i]; }
    constexpr vec2 operator+(const vec2& o) const { return {x + o.x, y + o.y}; }
    constexpr vec2 operator-(const vec2& o) const { return {x - o.x, y - o.y}; }
    constexpr vec2 operator*(T s) const { return {x * s, y * s}; }
    constexpr bool operator==(const vec2&) const = default;
};

/// Three-component vector (points and directions alike).
template <class T> struct vec3 {
    T x{}, y{}, z{};
    constexpr vec3() = default;
    constexpr vec3(T x_, T y_, T z_) : x(x_), y(y_), z(z_) {}
    constexpr T& operator[](int i) { return (&x)[i]; }
    constexpr const T& operator[](int i) const { return (&x)[i]; }
    constexpr vec3 operator+(const vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    constexpr vec3 operator-(const vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    constexpr vec3 operator-() const { return {-x, -y, -z}; }
    constexpr vec3 operator*(T s) const { return {x * s, y * s, z * s}; }
    constexpr vec3 operator/(T s) const { return {x / s, y / s, z / s}; }
    constexpr vec3& operator+=(const vec3& o) {
        x += o.x;
        y += o.y;
        z += o.z;
        return *this;
    }
    constexpr vec3& operator-=(const vec3& o) {
        x -= o.x;
        y -= o.y;
        z -= o.z;
        return *this;
    }
    constexpr bool operator==(const vec3&) const = default;
    constexpr T Dot(const vec3& o) const { return x * o.x + y * o.y + z * o.z; }
    constexpr vec3 Cross(const vec3& o) const { return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x}; }
    T Length() const { return std::sqrt(Dot(*this)); }
    /// Unit vector in the same direction; a zero vector stays zero.
    vec3 Normalized() const {
        T len = Length();
        return len > T(0) ? *this / len : *this;
    }
};

/// Four-component vector (homogeneous points, planes, colours).
template <class T> struct vec4 {
    T x{}, y{}, z{}, w{};
    constexpr vec4() = default;
    constexpr vec4(T x_, T y_, T z_, T w_) : x(x_), y(y_), z(z_), w(w_) {}
    constexpr vec4(const vec3<T>& v, T w_) : x(v.x), y(v.y), z(v.z), w(w_) {}
    constexpr T& operator[](int i) { return (&x)[i]; }
    constexpr const T& operator[](int i) const { return (&x)[i]; }
    constexpr vec4 operator+(const vec4& o) const { return {x + o.x, y + o.y, z + o.z, w + o.w}; }
    constexpr vec4 operator-(const vec4& o) const { return {x - o.x, y - o.y, z - o.z, w - o.w}; }
    constexpr vec4 operator*(T s) const { return {x * s, y * s, z * s, w * s}; }
    constexpr bool operator==(const vec4&) const = default;
    constexpr T Dot(const vec4& o) const { return x * o.x + y * o.y + z * o.z + w * o.w; }
    constexpr vec3<T> xyz() const { return {x, y, z}; }
};

} // namespace Lumo::Objects
