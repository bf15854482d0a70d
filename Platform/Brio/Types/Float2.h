#pragma once

namespace Brio {

/// Pair of floats (texture coordinates, 2D sizes and offsets).
struct Float2 {
    float x = 0.0f;
    float y = 0.0f;

    Float2() = default;
    Float2(float x_, float y_) : x(x_), y(y_) {}

    Float2 operator+(const Float2& other) const;
    Float2 operator-(const Float2& other) const;
    Float2 operator*(float scale) const;
    Float2 operator/(float divisor) const;
    bool operator==(const Float2&) const = default;
};

} // namespace Brio
