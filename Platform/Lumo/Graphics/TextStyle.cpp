#include <Lumo/Graphics/TextStyle.h>

#include <cmath>

namespace Lumo::Text {

namespace {
float NonNegative(float v) {
    return std::isfinite(v) && v > 0.0f ? v : 0.0f;
}
} // namespace

void TextStyle::FontFamily(std::wstring family) {
    m_fontFamily = family.empty() ? std::wstring(DefaultFontFamily()) : std::move(family);
}

void TextStyle::Height(float height) {
    m_height = NonNegative(height);
}

void TextStyle::LineSpacing(float factor) {
    m_lineSpacing = NonNegative(factor);
}

} // namespace Lumo::Text
