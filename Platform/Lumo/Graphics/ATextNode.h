#pragma once
#include <Lumo/Graphics/ARenderNode.h>
#include <Lumo/Graphics/FontFace.h>
#include <Lumo/Graphics/FontLibrary.h>
#include <Lumo/Graphics/GlyphAtlas.h>
#include <Lumo/Graphics/TextLayout.h>
#include <Lumo/Graphics/TextMetrics.h>
#include <Lumo/Graphics/TextStyle.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/SBox3.h>

#include <string>

namespace Lumo::Devices {
class RenderItem;
}

namespace Lumo::Text {

/// A render node showing text: lines split at '\n', laid out in the node's local frame with
/// the first line's baseline on y = 0 and later lines below it. Metrics and the glyph layout
/// are computed on first request and kept until the text, the style or the font source
/// changes. Not locked: callers serialise access (the scene does, with one lock for all text).
class ATextNode : public Lumo::Graphics::ARenderNode {
    LUMO_DECLARE_CLASS()
public:
    /// Glyph resolution of new nodes.
    static constexpr int kDefaultPixelsPerEm = 64;
    /// The level under which the text's render item is cached.
    static constexpr int kTextLevel = 15;

    static ATextNode* Make();
    ~ATextNode() override;

    /// Sets the text; null means empty. A "\r\n" line end counts as one.
    virtual void TextData(const wchar_t* text);
    /// Sets the text from its first `length` characters (null means empty).
    virtual void TextData(const wchar_t* text, unsigned length);
    const std::wstring& TextData() const { return m_text; }

    const TextStyle& Style() const { return m_style; }
    void Style(const TextStyle& style);

    /// Where fonts come from; null (the default) means the text system's shared library.
    FontLibrary* Library() const { return m_library.get(); }
    void Library(FontLibrary* library);

    /// Resolution the glyphs are rasterised at, in pixels per em (clamped to 4..1024).
    int PixelsPerEm() const { return m_pixelsPerEm; }
    void PixelsPerEm(int pixelsPerEm);
    EAtlasFormat AtlasFormat() const { return m_atlasFormat; }
    void AtlasFormat(EAtlasFormat format);

    const TextMetrics& Metrics() const;
    const TextLayout& Layout() const;
    /// The face the text is set in; null when no font could be found.
    FontFace* Face() const;
    /// The extent of the laid-out text in the node's local frame (Metrics().Extent()).
    Lumo::Objects::SBox3 WorldBox() override;

    /// Draws the text: a textured mesh of the glyph quads sampling the glyph atlas, built once
    /// per layout and kept as the node's base data; each walk adds a copy placed by the
    /// state's world matrix.
    void RealizeNode(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state,
                     Lumo::Graphics::WorldIterator* iterator) override;
    /// The render item of the laid-out text (built on demand); null when there is no ink.
    Lumo::Devices::RenderItem* TextItem(Lumo::Devices::ADrawContext& dc);
    /// Text colour of the built item (default black).
    const Lumo::Objects::vec4<float>& Color() const { return m_color; }
    void Color(const Lumo::Objects::vec4<float>& color);

protected:
    ATextNode();

private:
    void Invalidate();
    void Update() const;

    std::wstring m_text;
    TextStyle m_style;
    Lumo::Objects::AutoPtr<FontLibrary> m_library;
    int m_pixelsPerEm = kDefaultPixelsPerEm;
    EAtlasFormat m_atlasFormat = EAtlasFormat::A8;
    Lumo::Objects::vec4<float> m_color{0, 0, 0, 1};

    // Derived from the above on demand.
    mutable bool m_valid = false;
    mutable Lumo::Objects::AutoPtr<FontFace> m_face;
    mutable TextMetrics m_metrics;
    mutable TextLayout m_layout;
};

} // namespace Lumo::Text
