#include <Lumo/Graphics/ATextNode.h>
#include <Lumo/Graphics/TextSystem.h>

#include <algorithm>

namespace Lumo::Text {

using Lumo::Objects::AutoPtr;
using Lumo::Objects::SBox3;
using Lumo::Objects::vec3;

namespace {

constexpr int kTabWidth = 4; // in spaces

std::vector<std::wstring_view> SplitLines(const std::wstring& text) {
    std::vector<std::wstring_view> lines;
    if (text.empty()) return lines;
    std::wstring_view rest(text);
    for (;;) {
        const std::size_t end = rest.find(L'\n');
        std::wstring_view line = rest.substr(0, end);
        if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::wstring_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    return lines;
}

vec3<double> ToDouble(float x, float y) { return {static_cast<double>(x), static_cast<double>(y), 0.0}; }

} // namespace

LUMO_DEFINE_CLASS(ATextNode, ARenderNode)

ATextNode* ATextNode::Make() { return new ATextNode; }

ATextNode::ATextNode() = default;
ATextNode::~ATextNode() = default;

void ATextNode::TextData(const wchar_t* text) {
    const wchar_t* t = text ? text : L"";
    if (m_text == t) return;
    m_text = t;
    Invalidate();
}

void ATextNode::TextData(const wchar_t* text, unsigned length) {
    std::wstring t = text ? std::wstring(text, length) : std::wstring();
    if (m_text == t) return;
    m_text = std::move(t);
    Invalidate();
}

void ATextNode::Style(const TextStyle& style) {
    if (m_style == style) return;
    m_style = style;
    Invalidate();
}

void ATextNode::Library(FontLibrary* library) {
    if (m_library.get() == library) return;
    m_library = library;
    Invalidate();
}

void ATextNode::PixelsPerEm(int pixelsPerEm) {
    pixelsPerEm = std::clamp(pixelsPerEm, 4, 1024);
    if (m_pixelsPerEm == pixelsPerEm) return;
    m_pixelsPerEm = pixelsPerEm;
    Invalidate();
}

void ATextNode::AtlasFormat(EAtlasFormat format) {
    if (m_atlasFormat == format) return;
    m_atlasFormat = format;
    Invalidate();
}

const TextMetrics& ATextNode::Metrics() const {
    Update();
    return m_metrics;
}

const TextLayout& ATextNode::Layout() const {
    Update();
    return m_layout;
}

FontFace* ATextNode::Face() const {
    Update();
    return m_face.get();
}

SBox3 ATextNode::WorldBox() {
    Update();
    return m_metrics.Extent();
}

void ATextNode::Update() const {
    if (m_valid) return;
    m_valid = true;
    m_metrics.Clear();
    m_layout.Clear();
    AutoPtr<GlyphAtlas> atlas(GlyphAtlas::Make(m_atlasFormat));
    m_layout.Atlas(atlas);
    m_layout.PixelsPerEm(m_pixelsPerEm);

    AutoPtr<FontLibrary> library = m_library ? m_library : TextSystem::Library();
    m_face = library->Find(m_style.FontFamily(), m_style.Bold(), m_style.Italic());
    const std::vector<std::wstring_view> lines = SplitLines(m_text);
    if (!m_face || lines.empty()) {
        atlas->Pack();
        return;
    }

    const FontFace& face = *m_face;
    const float height = m_style.Height();
    const float ascent = face.Ascender() * height;
    const float descent = face.Descender() * height;
    const float lineAdvance = face.LineHeight() * height * m_style.LineSpacing();
    const float pixelSize = height / static_cast<float>(m_pixelsPerEm); // model units per pixel
    m_metrics.Ascent(ascent);
    m_metrics.Descent(descent);
    m_metrics.LineAdvance(lineAdvance);

    struct Placed {
        wchar_t character;
        unsigned glyph;
        float pen;
        float advance;
    };
    const unsigned space = face.GlyphIndex(U' ');
    SBox3 extent;
    GlyphBitmap bitmap;
    for (std::size_t li = 0; li < lines.size(); ++li) {
        // Pen positions along the line first: alignment needs the line's width.
        std::vector<Placed> placed;
        float pen = 0.0f;
        unsigned previous = 0;
        for (wchar_t c : lines[li]) {
            if (c == L'\t') {
                placed.push_back({c, space, pen, face.Advance(space) * height * kTabWidth});
                pen += placed.back().advance;
                previous = 0;
                continue;
            }
            if (static_cast<unsigned>(c) < 0x20u || c == 0x7F) continue; // other controls have no shape
            const unsigned glyph = face.GlyphIndex(static_cast<char32_t>(c));
            pen += face.Kerning(previous, glyph) * height;
            placed.push_back({c, glyph, pen, face.Advance(glyph) * height});
            pen += placed.back().advance;
            previous = glyph;
        }
        const float width = pen;
        float startX = 0.0f;
        if (m_style.Alignment() == EHorizontalAlignment::Center)
            startX = -0.5f * width;
        else if (m_style.Alignment() == EHorizontalAlignment::Right)
            startX = -width;
        const float baseline = -static_cast<float>(li) * lineAdvance;
        m_metrics.AddLine({startX, baseline, 0.0f}, width);

        for (const Placed& p : placed) {
            const float x = startX + p.pen;
            extent.Extend(ToDouble(x, baseline + descent));
            extent.Extend(ToDouble(x + p.advance, baseline + ascent));
            if (!face.RenderGlyph(p.glyph, m_pixelsPerEm, bitmap) || bitmap.IsEmpty()) continue;
            atlas->Add(p.glyph, bitmap.width, bitmap.rows, bitmap.coverage.data());
            const float x0 = x + static_cast<float>(bitmap.left) * pixelSize;
            const float x1 = x0 + static_cast<float>(bitmap.width) * pixelSize;
            const float y1 = baseline + static_cast<float>(bitmap.top) * pixelSize;
            const float y0 = y1 - static_cast<float>(bitmap.rows) * pixelSize;
            extent.Extend(ToDouble(x0, y0));
            extent.Extend(ToDouble(x1, y1));
            GlyphQuad quad;
            quad.corners[0] = {x0, y0, 0.0f};
            quad.corners[1] = {x1, y0, 0.0f};
            quad.corners[2] = {x0, y1, 0.0f};
            quad.corners[3] = {x1, y1, 0.0f};
            quad.character = p.character;
            quad.glyph = p.glyph;
            quad.line = static_cast<int>(li);
            m_layout.AddQuad(quad);
        }
    }
    m_metrics.Extent(extent);

    // Texture coordinates exist only once every glyph has its place.
    atlas->Pack();
    for (GlyphQuad& quad : m_layout.MutableQuads()) {
        const AtlasRect* r = atlas->Find(quad.glyph);
        if (!r) continue;
        // Atlas rows run top-down, so the quad's top edge takes the smaller v.
        quad.texCoords[0] = {r->uvMin.x, r->uvMax.y};
        quad.texCoords[1] = {r->uvMax.x, r->uvMax.y};
        quad.texCoords[2] = {r->uvMin.x, r->uvMin.y};
        quad.texCoords[3] = {r->uvMax.x, r->uvMin.y};
    }
}

} // namespace Lumo::Text
