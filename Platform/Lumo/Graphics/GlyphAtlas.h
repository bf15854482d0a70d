#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassMacros.h>
#include <Lumo/Objects/Vec.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

namespace Lumo::Text {

/// Pixel layout of an atlas: coverage only, or white with coverage as alpha (straight alpha),
/// so that the colour comes from the effect either way.
enum class EAtlasFormat : int { A8 = 0, RGBA8 = 1 };

/// Where one glyph sits in the atlas: a pixel rectangle and its texture coordinates.
/// Texture v runs down the rows (row 0 at v = 0), as the bitmap is stored top row first.
struct AtlasRect {
    int x = 0, y = 0, width = 0, height = 0;
    Lumo::Objects::vec2<float> uvMin, uvMax;
};

/// Glyph coverage bitmaps packed into one bitmap, to be drawn as one texture. Bitmaps are
/// added under a key, then packed (shelves by decreasing height, power-of-two size, a gap of
/// `padding` empty pixels around each so that filtering does not bleed between glyphs).
class GlyphAtlas : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    static GlyphAtlas* Make(EAtlasFormat format = EAtlasFormat::A8, int padding = 1);

    /// Queues a bitmap (rows top-first, width bytes each). A key already held is kept as it
    /// is; an empty bitmap (a space) is not added. True when the key is held afterwards.
    bool Add(std::uint32_t key, int width, int height, const std::uint8_t* coverage);
    bool Contains(std::uint32_t key) const { return m_entries.count(key) != 0; }
    int Count() const { return static_cast<int>(m_entries.size()); }

    /// Arranges every queued bitmap and draws the atlas. Adding again unpacks it.
    void Pack();
    bool IsPacked() const { return m_packed; }
    /// The glyph's place after packing; null for an unknown key or before packing.
    const AtlasRect* Find(std::uint32_t key) const;

    EAtlasFormat Format() const { return m_format; }
    int BytesPerPixel() const { return m_format == EAtlasFormat::RGBA8 ? 4 : 1; }
    /// 0 by 0 until packed with at least one glyph.
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    /// Rows top-first, Width() * BytesPerPixel() bytes per row.
    const std::uint8_t* Pixels() const { return m_pixels.data(); }
    std::size_t ByteSize() const { return m_pixels.size(); }
    /// Coverage (alpha) of a pixel; 0 outside the atlas.
    std::uint8_t Coverage(int x, int y) const;

private:
    struct Entry {
        int width = 0, height = 0;
        std::vector<std::uint8_t> coverage;
        AtlasRect rect;
    };

    GlyphAtlas(EAtlasFormat format, int padding) : m_format(format), m_padding(padding < 0 ? 0 : padding) {}

    EAtlasFormat m_format;
    int m_padding;
    bool m_packed = false;
    int m_width = 0, m_height = 0;
    std::map<std::uint32_t, Entry> m_entries;
    std::vector<std::uint8_t> m_pixels;
};

} // namespace Lumo::Text
