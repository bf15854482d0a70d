#pragma once
#include <Lumo/Graphics/GlyphAtlas.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/Vec.h>

#include <vector>

namespace Lumo::Text {

/// One visible glyph of laid-out text: a quad in the node's local frame (y up) and where its
/// pixels are in the atlas. Corners are in triangle-strip order: lower left, lower right,
/// upper left, upper right; each texture coordinate belongs to the corner of the same index.
struct GlyphQuad {
    Lumo::Objects::vec3<float> corners[4];
    Lumo::Objects::vec2<float> texCoords[4];
    wchar_t character = 0;
    unsigned glyph = 0;
    int line = 0;
};

/// Laid-out text ready to become a textured mesh: a quad per glyph with ink (spaces have
/// none) and the one atlas that all quads sample.
class TextLayout {
public:
    const std::vector<GlyphQuad>& Quads() const { return m_quads; }
    bool IsEmpty() const { return m_quads.empty(); }
    /// Never null once laid out; an atlas of 0 by 0 pixels when there is nothing to draw.
    GlyphAtlas* Atlas() const { return m_atlas.get(); }
    /// Resolution the glyphs were rasterised at.
    int PixelsPerEm() const { return m_pixelsPerEm; }

    // Filled by the text node's layout.
    void Clear();
    void AddQuad(const GlyphQuad& quad) { m_quads.push_back(quad); }
    std::vector<GlyphQuad>& MutableQuads() { return m_quads; }
    void Atlas(GlyphAtlas* atlas) { m_atlas = atlas; }
    void PixelsPerEm(int pixelsPerEm) { m_pixelsPerEm = pixelsPerEm; }

private:
    std::vector<GlyphQuad> m_quads;
    Lumo::Objects::AutoPtr<GlyphAtlas> m_atlas;
    int m_pixelsPerEm = 0;
};

} // namespace Lumo::Text
