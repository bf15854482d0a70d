#pragma once
#include <string>

namespace Lumo::Text {

/// Where each line sits relative to the node's origin: its start (Left), its middle (Center)
/// or its end (Right) at x = 0.
enum class EHorizontalAlignment : int { Left = 0, Center = 1, Right = 2 };

/// How a text node's text looks: font, size in model units, weight, slant, line spacing and
/// alignment. A plain value; two styles are equal when every field is.
class TextStyle {
public:
    /// The family used when none is given or the given one is not installed.
    static const wchar_t* DefaultFontFamily() { return L"DejaVu Sans"; }

    TextStyle() = default;

    const std::wstring& FontFamily() const { return m_fontFamily; }
    /// An empty family means the default family.
    void FontFamily(std::wstring family);

    /// The em size in model units (the font's nominal size, as a point size is on paper).
    float Height() const { return m_height; }
    /// Negative or non-finite heights are stored as 0 (no visible text).
    void Height(float height);

    bool Bold() const { return m_bold; }
    void Bold(bool bold) { m_bold = bold; }
    bool Italic() const { return m_italic; }
    void Italic(bool italic) { m_italic = italic; }

    /// Factor on the font's own baseline-to-baseline distance; 1 is the font's natural spacing.
    float LineSpacing() const { return m_lineSpacing; }
    /// Negative or non-finite factors are stored as 0 (all lines on one baseline).
    void LineSpacing(float factor);

    EHorizontalAlignment Alignment() const { return m_alignment; }
    void Alignment(EHorizontalAlignment alignment) { m_alignment = alignment; }

    bool operator==(const TextStyle&) const = default;

private:
    std::wstring m_fontFamily = DefaultFontFamily();
    float m_height = 1.0f;
    float m_lineSpacing = 1.0f;
    bool m_bold = false;
    bool m_italic = false;
    EHorizontalAlignment m_alignment = EHorizontalAlignment::Left;
};

} // namespace Lumo::Text
