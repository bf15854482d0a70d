#pragma once

#include <cstdint>

namespace Brio {

/// Linear RGBA colour in floats; opaque black by default.
class Color {
public:
    Color() = default;
    Color(float red, float green, float blue, float alpha = 1.0f);

    /// From 8-bit channels (0..255 maps to 0..1).
    static Color fromRGBA8(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha = 255);
    /// Packed as 0xAABBGGRR (red in the lowest byte, as bytes R,G,B,A in memory on little-endian
    /// machines); channels are clamped to 0..1 and rounded.
    uint32_t toRGBA8() const;

    float red() const { return m_red; }
    void red(float value) { m_red = value; }
    float green() const { return m_green; }
    void green(float value) { m_green = value; }
    float blue() const { return m_blue; }
    void blue(float value) { m_blue = value; }
    float alpha() const { return m_alpha; }
    void alpha(float value) { m_alpha = value; }

    /// Exact comparison of all four channels.
    bool operator==(const Color&) const = default;

private:
    float m_red = 0.0f;
    float m_green = 0.0f;
    float m_blue = 0.0f;
    float m_alpha = 1.0f;
};

} // namespace Brio
