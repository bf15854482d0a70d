#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassMacros.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Lumo::Text {

/// The font rasteriser's library and the lock around it. FreeType objects are not safe to use
/// from several threads at once, so every face made from one engine shares its lock. Opaque.
class FontEngine;

/// A glyph's coverage bitmap as rasterised at some pixels-per-em.
struct GlyphBitmap {
    int width = 0;
    int rows = 0;
    /// Offset of the top-left pixel from the pen position on the baseline, y up.
    int left = 0;
    int top = 0;
    /// Coverage 0..255, rows top-first, width bytes per row.
    std::vector<std::uint8_t> coverage;

    bool IsEmpty() const { return width <= 0 || rows <= 0; }
};

/// One scalable face of a font file. Metrics are in ems (fractions of the font's nominal size),
/// so a layout scales them by its text height. Safe to use from several threads.
class FontFace : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    /// A new rasteriser library; null if it cannot be started.
    static std::shared_ptr<FontEngine> NewEngine();
    /// Opens face `index` of a font file; null when the file is missing, unreadable or not a
    /// scalable font.
    static FontFace* Open(const std::shared_ptr<FontEngine>& engine, const std::string& path, int index = 0);
    /// Number of faces in a font file (collections hold several); 0 when it cannot be read.
    static int FaceCount(const std::shared_ptr<FontEngine>& engine, const std::string& path);

    ~FontFace() override;

    const std::wstring& FamilyName() const { return m_family; }
    const std::wstring& StyleName() const { return m_style; }
    const std::string& FilePath() const { return m_path; }
    int FaceIndex() const { return m_index; }
    bool Bold() const { return m_bold; }
    bool Italic() const { return m_italic; }
    /// OS/2 weight class (400 regular, 700 bold) and width class (5 normal, lower is condensed).
    int Weight() const { return m_weight; }
    int WidthClass() const { return m_widthClass; }
    int UnitsPerEm() const { return m_unitsPerEm; }

    float Ascender() const { return m_ascender; }
    /// Negative: below the baseline.
    float Descender() const { return m_descender; }
    /// The font's baseline-to-baseline distance.
    float LineHeight() const { return m_lineHeight; }
    bool HasKerning() const { return m_hasKerning; }

    /// Glyph of a character; 0 (the font's missing-glyph box) when the font lacks it.
    unsigned GlyphIndex(char32_t c) const;
    /// Horizontal pen advance of a glyph.
    float Advance(unsigned glyph) const;
    /// Adjustment of the pen between two glyphs (0 without a kerning table).
    float Kerning(unsigned left, unsigned right) const;
    /// Rasterises a glyph at pixelsPerEm (cached per face). False when the glyph cannot be
    /// loaded; a glyph without ink (a space) gives true with an empty bitmap.
    bool RenderGlyph(unsigned glyph, int pixelsPerEm, GlyphBitmap& out) const;

private:
    struct Impl;
    explicit FontFace(std::unique_ptr<Impl> impl);

    std::unique_ptr<Impl> m_impl;
    std::wstring m_family, m_style;
    std::string m_path;
    int m_index = 0;
    bool m_bold = false, m_italic = false, m_hasKerning = false;
    int m_weight = 400, m_widthClass = 5, m_unitsPerEm = 1;
    float m_ascender = 0.0f, m_descender = 0.0f, m_lineHeight = 0.0f;
};

} // namespace Lumo::Text
