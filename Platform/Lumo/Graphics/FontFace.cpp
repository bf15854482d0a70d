#include <Lumo/Graphics/FontFace.h>
#include <Lumo/Objects/Mutex.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H

#include <cstdlib>
#include <cstring>
#include <map>
#include <utility>

namespace Lumo::Text {

using Lumo::Objects::Threads::Mutex;
using Lumo::Objects::Threads::MutexLocker;

class FontEngine {
public:
    FT_Library library = nullptr;
    Mutex mutex;

    ~FontEngine() {
        if (library)
            FT_Done_FreeType(library);
    }
};

struct FontFace::Impl {
    std::shared_ptr<FontEngine> engine;
    FT_Face face = nullptr;
    // Rasterised glyphs by (glyph, pixels per em); guarded by the engine's lock.
    std::map<std::pair<unsigned, int>, GlyphBitmap> glyphs;
};

namespace {

/// Font names are ASCII or Latin-1 in practice; widen byte by byte.
std::wstring Widen(const char* text) {
    std::wstring out;
    if (!text)
        return out;
    for (const char* p = text; *p; ++p)
        out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*p)));
    return out;
}

FT_Face OpenFace(FontEngine& engine, const std::string& path, int index) {
    FT_Face face = nullptr;
    if (FT_New_Face(engine.library, path.c_str(), index, &face) != 0)
        return nullptr;
    return face;
}

} // namespace

LUMO_DEFINE_CLASS(FontFace, ARefCounted)

std::shared_ptr<FontEngine> FontFace::NewEngine() {
    auto engine = std::make_shared<FontEngine>();
    if (FT_Init_FreeType(&engine->library) != 0) {
        engine->library = nullptr;
        return nullptr;
    }
    return engine;
}

int FontFace::FaceCount(const std::shared_ptr<FontEngine>& engine, const std::string& path) {
    if (!engine)
        return 0;
    MutexLocker lock(engine->mutex);
    // Index -1 only reads the file header: how many faces it holds.
    FT_Face face = OpenFace(*engine, path, -1);
    if (!face)
        return 0;
    int count = static_cast<int>(face->num_faces);
    FT_Done_Face(face);
    return count;
}

FontFace* FontFace::Open(const std::shared_ptr<FontEngine>& engine, const std::string& path, int index) {
    if (!engine || path.empty() || index < 0)
        return nullptr;
    MutexLocker lock(engine->mutex);
    FT_Face face = OpenFace(*engine, path, index);
    if (!face)
        return nullptr;
    // Bitmap-only fonts cannot be scaled to model units.
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) {
        FT_Done_Face(face);
        return nullptr;
    }
    // Without a Unicode map the characters of the text cannot be found.
    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0 && !face->charmap) {
        FT_Done_Face(face);
        return nullptr;
    }

    auto impl = std::make_unique<Impl>();
    impl->engine = engine;
    impl->face = face;
    auto* f = new FontFace(std::move(impl));
    f->m_family = Widen(face->family_name);
    f->m_style = Widen(face->style_name);
    f->m_path = path;
    f->m_index = index;
    f->m_bold = (face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
    f->m_italic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
    f->m_hasKerning = FT_HAS_KERNING(face);
    f->m_unitsPerEm = face->units_per_EM;
    const float em = static_cast<float>(face->units_per_EM);
    f->m_ascender = static_cast<float>(face->ascender) / em;
    f->m_descender = static_cast<float>(face->descender) / em;
    f->m_lineHeight = static_cast<float>(face->height) / em;
    if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        os2 && os2->version != 0xFFFF) {
        f->m_weight = os2->usWeightClass;
        f->m_widthClass = os2->usWidthClass;
    } else {
        f->m_weight = f->m_bold ? 700 : 400;
    }
    return f;
}

FontFace::FontFace(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}

FontFace::~FontFace() {
    MutexLocker lock(m_impl->engine->mutex);
    FT_Done_Face(m_impl->face);
}

unsigned FontFace::GlyphIndex(char32_t c) const {
    MutexLocker lock(m_impl->engine->mutex);
    return FT_Get_Char_Index(m_impl->face, static_cast<FT_ULong>(c));
}

float FontFace::Advance(unsigned glyph) const {
    MutexLocker lock(m_impl->engine->mutex);
    FT_Fixed advance = 0;
    // Unscaled and unhinted, so advances scale linearly to any text height.
    if (FT_Get_Advance(m_impl->face, glyph, FT_LOAD_NO_SCALE, &advance) != 0)
        return 0.0f;
    return static_cast<float>(advance) / static_cast<float>(m_unitsPerEm);
}

float FontFace::Kerning(unsigned left, unsigned right) const {
    if (!m_hasKerning || left == 0 || right == 0)
        return 0.0f;
    MutexLocker lock(m_impl->engine->mutex);
    FT_Vector delta{0, 0};
    if (FT_Get_Kerning(m_impl->face, left, right, FT_KERNING_UNSCALED, &delta) != 0)
        return 0.0f;
    return static_cast<float>(delta.x) / static_cast<float>(m_unitsPerEm);
}

bool FontFace::RenderGlyph(unsigned glyph, int pixelsPerEm, GlyphBitmap& out) const {
    if (pixelsPerEm <= 0)
        return false;
    MutexLocker lock(m_impl->engine->mutex);
    const auto key = std::make_pair(glyph, pixelsPerEm);
    if (auto it = m_impl->glyphs.find(key); it != m_impl->glyphs.end()) {
        out = it->second;
        return true;
    }
    FT_Face face = m_impl->face;
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelsPerEm)) != 0)
        return false;
    // Unhinted, so the ink matches the linearly scaled advances of the layout.
    if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_HINTING | FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0)
        return false;
    const FT_Bitmap& bm = face->glyph->bitmap;
    GlyphBitmap result;
    if (bm.pixel_mode == FT_PIXEL_MODE_GRAY && bm.width > 0 && bm.rows > 0 && bm.buffer) {
        result.width = static_cast<int>(bm.width);
        result.rows = static_cast<int>(bm.rows);
        result.left = face->glyph->bitmap_left;
        result.top = face->glyph->bitmap_top;
        result.coverage.resize(static_cast<std::size_t>(result.width) * result.rows);
        const int pitch = bm.pitch;
        for (int r = 0; r < result.rows; ++r) {
            // A negative pitch means the buffer holds the rows bottom-first.
            const unsigned char* src = pitch >= 0
                                           ? bm.buffer + static_cast<std::ptrdiff_t>(r) * pitch
                                           : bm.buffer + static_cast<std::ptrdiff_t>(result.rows - 1 - r) * -pitch;
            std::memcpy(&result.coverage[static_cast<std::size_t>(r) * result.width], src,
                        static_cast<std::size_t>(result.width));
        }
    }
    out = m_impl->glyphs.emplace(key, std::move(result)).first->second;
    return true;
}

} // namespace Lumo::Text
