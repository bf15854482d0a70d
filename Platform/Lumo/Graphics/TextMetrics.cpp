#include <Lumo/Graphics/TextMetrics.h>

#include <algorithm>

namespace Lumo::Text {

using Lumo::Objects::vec3;

vec3<float> TextMetrics::LineStartPosition(int line) const {
    if (line < 0 || line >= LineCount())
        return {};
    return m_lines[static_cast<std::size_t>(line)].start;
}

float TextMetrics::LineWidth(int line) const {
    if (line < 0 || line >= LineCount())
        return 0.0f;
    return m_lines[static_cast<std::size_t>(line)].width;
}

float TextMetrics::Width() const {
    float w = 0.0f;
    for (const Line& l : m_lines)
        w = std::max(w, l.width);
    return w;
}

void TextMetrics::Clear() {
    *this = TextMetrics();
}

void TextMetrics::AddLine(const vec3<float>& start, float width) {
    m_lines.push_back({start, width});
}

} // namespace Lumo::Text
