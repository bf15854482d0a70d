#include <Brio/Types/Float2.h>

namespace Brio {

Float2 Float2::operator+(const Float2& other) const {
    return {x + other.x, y + other.y};
}

Float2 Float2::operator-(const Float2& other) const {
    return {x - other.x, y - other.y};
}

Float2 Float2::operator*(float scale) const {
    return {x * scale, y * scale};
}

Float2 Float2::operator/(float divisor) const {
    return {x / divisor, y / divisor};
}

} // namespace Brio
