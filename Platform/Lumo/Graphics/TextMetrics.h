#pragma once
#include <Lumo/Objects/SBox3.h>
#include <Lumo/Objects/Vec.h>

#include <vector>

namespace Lumo::Text {

/// The measured shape of a text node's laid-out text, in the node's local frame (x to the
/// right, y up, the first line's baseline at y = 0, following lines below it). Text with no
/// lines (empty text, or no font to measure with) has empty metrics: no lines, an empty extent.
class TextMetrics {
public:
    int LineCount() const { return static_cast<int>(m_lines.size()); }
    bool IsEmpty() const { return m_lines.empty(); }
    /// Start of a line's baseline (after alignment); the origin for a line that does not exist.
    Lumo::Objects::vec3<float> LineStartPosition(int line) const;
    /// Pen advance over a line, kerning included; 0 for a line that does not exist.
    float LineWidth(int line) const;
    /// The widest line's width.
    float Width() const;
    /// Baseline-to-baseline distance (the font's line height times the style's spacing).
    float LineAdvance() const { return m_lineAdvance; }
    /// The font's ascender (above the baseline, positive) and descender (below, negative).
    float Ascent() const { return m_ascent; }
    float Descent() const { return m_descent; }
    /// Box of the laid-out glyphs: each glyph's cell (advance by descender..ascender) and its
    /// ink, so descenders, overhangs and spaces all count. Empty when there are no glyphs.
    const Lumo::Objects::SBox3& Extent() const { return m_extent; }

    // Filled by the text node's layout.
    void Clear();
    void AddLine(const Lumo::Objects::vec3<float>& start, float width);
    void LineAdvance(float advance) { m_lineAdvance = advance; }
    void Ascent(float ascent) { m_ascent = ascent; }
    void Descent(float descent) { m_descent = descent; }
    void Extent(const Lumo::Objects::SBox3& extent) { m_extent = extent; }

private:
    struct Line {
        Lumo::Objects::vec3<float> start;
        float width = 0.0f;
    };
    std::vector<Line> m_lines;
    Lumo::Objects::SBox3 m_extent;
    float m_lineAdvance = 0.0f;
    float m_ascent = 0.0f;
    float m_descent = 0.0f;
};

} // namespace Lumo::Text
