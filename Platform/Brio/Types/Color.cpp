#include <Brio/Types/Color.h>

#include <algorithm>
#include <cmath>

namespace Brio {

namespace {

uint32_t toByte(float channel) {
    // NaN clamps to 0 rather than producing an undefined conversion.
    const float clamped = channel > 0.0f ? std::min(channel, 1.0f) : 0.0f;
    return static_cast<uint32_t>(std::lround(clamped * 255.0f));
}

} // namespace

Color::Color(float red, float green, float blue, float alpha)
    : m_red(red), m_green(green), m_blue(blue), m_alpha(alpha) {}

Color Color::fromRGBA8(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
    return Color(red / 255.0f, green / 255.0f, blue / 255.0f, alpha / 255.0f);
}

uint32_t Color::toRGBA8() const {
    return toByte(m_red) | (toByte(m_green) << 8) | (toByte(m_blue) << 16) | (toByte(m_alpha) << 24);
}

} // namespace Brio
