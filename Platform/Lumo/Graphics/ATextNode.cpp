#include <Lumo/Graphics/ATextNode.h>
#include <Lumo/Graphics/AttributeCache.h>
#include <Lumo/Graphics/TraversalState.h>
#include <Lumo/Graphics/WalkPool.h>

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/IndexBufferBuilder.h>
#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Devices/SolidEffectInstance.h>
#include <Lumo/Devices/StockEffects.h>
#include <Lumo/Devices/TextureInstance.h>
#include <Lumo/Devices/VertexBufferBuilder.h>
#include <Lumo/Devices/VertexFormat.h>
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
    if (text.empty())
        return lines;
    std::wstring_view rest(text);
    for (;;) {
        const std::size_t end = rest.find(L'\n');
        std::wstring_view line = rest.substr(0, end);
        if (!line.empty() && line.back() == L'\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::wstring_view::npos)
            break;
        rest.remove_prefix(end + 1);
    }
    return lines;
}

vec3<double> Widen(float x, float y) {
    return {static_cast<double>(x), static_cast<double>(y), 0.0};
}

} // namespace

LUMO_DEFINE_CLASS(ATextNode, ARenderNode)

ATextNode* ATextNode::Make() {
    return new ATextNode;
}

ATextNode::ATextNode() = default;
ATextNode::~ATextNode() = default;

void ATextNode::TextData(const wchar_t* text) {
    const wchar_t* t = text ? text : L"";
    if (m_text == t)
        return;
    m_text = t;
    Invalidate();
}

void ATextNode::TextData(const wchar_t* text, unsigned length) {
    std::wstring t = text ? std::wstring(text, length) : std::wstring();
    if (m_text == t)
        return;
    m_text = std::move(t);
    Invalidate();
}

void ATextNode::Style(const TextStyle& style) {
    if (m_style == style)
        return;
    m_style = style;
    Invalidate();
}

void ATextNode::Library(FontLibrary* library) {
    if (m_library.get() == library)
        return;
    m_library = library;
    Invalidate();
}

void ATextNode::PixelsPerEm(int pixelsPerEm) {
    pixelsPerEm = std::clamp(pixelsPerEm, 4, 1024);
    if (m_pixelsPerEm == pixelsPerEm)
        return;
    m_pixelsPerEm = pixelsPerEm;
    Invalidate();
}

void ATextNode::AtlasFormat(EAtlasFormat format) {
    if (m_atlasFormat == format)
        return;
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
    if (m_valid)
        return;
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
            if (static_cast<unsigned>(c) < 0x20u || c == 0x7F)
                continue; // other controls have no shape
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
            extent.Extend(Widen(x, baseline + descent));
            extent.Extend(Widen(x + p.advance, baseline + ascent));
            if (!face.RenderGlyph(p.glyph, m_pixelsPerEm, bitmap) || bitmap.IsEmpty())
                continue;
            atlas->Add(p.glyph, bitmap.width, bitmap.rows, bitmap.coverage.data());
            const float x0 = x + static_cast<float>(bitmap.left) * pixelSize;
            const float x1 = x0 + static_cast<float>(bitmap.width) * pixelSize;
            const float y1 = baseline + static_cast<float>(bitmap.top) * pixelSize;
            const float y0 = y1 - static_cast<float>(bitmap.rows) * pixelSize;
            extent.Extend(Widen(x0, y0));
            extent.Extend(Widen(x1, y1));
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
        if (!r)
            continue;
        // Atlas rows run top-down, so the quad's top edge takes the smaller v.
        quad.texCoords[0] = {r->uvMin.x, r->uvMax.y};
        quad.texCoords[1] = {r->uvMax.x, r->uvMax.y};
        quad.texCoords[2] = {r->uvMin.x, r->uvMin.y};
        quad.texCoords[3] = {r->uvMax.x, r->uvMin.y};
    }
}

} // namespace Lumo::Text

namespace Lumo::Text {

using Lumo::Graphics::AttributeLODList;

void ATextNode::Invalidate() {
    m_valid = false;
    ARenderNode::BumpGraphStamp(); // the text's box changes with it
    if (Attributes())
        Attributes()->ClearIds(AttributeLODList::BaseDataID(), kTextLevel);
}

void ATextNode::Color(const Lumo::Objects::vec4<float>& color) {
    if (color == m_color)
        return;
    m_color = color;
    Invalidate();
}

Lumo::Devices::RenderItem* ATextNode::TextItem(Lumo::Devices::ADrawContext& dc) {
    if (!Attributes())
        Attributes(Lumo::Graphics::AttributeCache::Make());
    AttributeLODList* list = Attributes();
    auto* cached = list->Container(AttributeLODList::BaseDataID(), AttributeLODList::UnstylizedID(), kTextLevel, false);
    if (cached && !cached->IsEmpty())
        return static_cast<Lumo::Devices::RenderItem*>(cached->At(0));

    const TextLayout& layout = Layout();
    GlyphAtlas* atlas = layout.Atlas();
    if (layout.Quads().empty() || !atlas || atlas->Width() <= 0 || atlas->Height() <= 0)
        return nullptr;

    // Glyph coverage becomes the alpha of white texels, tinted by the effect's colour.
    const int w = atlas->Width(), h = atlas->Height();
    std::vector<std::uint8_t> rgba(std::size_t(w) * h * 4);
    const std::uint8_t* src = atlas->Pixels();
    for (int i = 0; i < w * h; ++i) {
        std::uint8_t a = atlas->Format() == EAtlasFormat::RGBA8 ? src[i * 4 + 3] : src[i];
        rgba[i * 4 + 0] = rgba[i * 4 + 1] = rgba[i * 4 + 2] = 255;
        rgba[i * 4 + 3] = a;
    }
    Lumo::Objects::AutoPtr<Lumo::Devices::TextureInstance> texture =
        Lumo::Devices::TextureInstance::Make(w, h, rgba.data());

    Lumo::Devices::VertexBufferBuilder vertices(Lumo::Devices::eVertexPosition | Lumo::Devices::eVertexTexCoord);
    Lumo::Devices::IndexBufferBuilder indices;
    for (const GlyphQuad& q : layout.Quads()) {
        // Corners come lower-left, lower-right, upper-left, upper-right.
        std::uint32_t base = std::uint32_t(vertices.VertexCount());
        for (int c = 0; c < 4; ++c)
            vertices.AddVertex(q.corners[c], q.texCoords[c]);
        indices.AddTriangle(base, base + 1, base + 3);
        indices.AddTriangle(base, base + 3, base + 2);
    }
    Lumo::Objects::AutoPtr<Lumo::Devices::SimpleMesh> mesh =
        Lumo::Devices::SimpleMesh::Make(vertices, indices, Lumo::Devices::ePrimTriangleList);
    Lumo::Objects::AutoPtr<Lumo::Devices::SolidEffectInstance> effect =
        Lumo::Devices::SolidEffectInstance::Make(dc.VirtualDevice(), true);
    if (!effect)
        return nullptr;
    effect->Color(m_color);
    effect->Texture(texture);
    effect->TextureAlpha(true);
    effect->Lighting(false);
    Lumo::Objects::AutoPtr<Lumo::Devices::RenderItem> item = Lumo::Devices::RenderItem::Make(mesh, effect);
    list->Add(AttributeLODList::BaseDataID(), AttributeLODList::UnstylizedID(), kTextLevel, item);
    return item;
}

void ATextNode::RealizeNode(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state,
                            Lumo::Graphics::WorldIterator*) {
    Lumo::Devices::RenderItem* item = TextItem(dc);
    if (!item)
        return;
    Lumo::Objects::AutoPtr<Lumo::Devices::RenderItem> placed = Lumo::Graphics::WalkPool::Copy(state.Pool(), *item);
    placed->WorldMatrix(state.WorldMatrix());
    state.AddItem(placed);
}

} // namespace Lumo::Text
