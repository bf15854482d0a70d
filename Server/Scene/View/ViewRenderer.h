#pragma once
#include <Brio/Base/StrongRef.h>
#include <Lumo/Objects/AutoPtr.h>

#include <string>

namespace Brio {
class MemoryImageResource;
}
namespace Lumo::Graphics {
class GroupNode;
}

namespace Brio::Scene {

/// Draws one view, the tree below a view node, into a window or an image; made and released by
/// the provider. The host calls render() whenever the view must be redrawn.
class ViewRenderer {
public:
    /// What changed since the last frame (bits).
    enum EInvalidateType : unsigned {
        eInvalidateNone = 0,
        eInvalidateAll = 1,     ///< a full redraw: nothing cached is reused
        eInvalidateScene = 2,   ///< part of the scene changed
        eInvalidateOverlay = 4, ///< only overlays (selection, highlight) changed
    };

    virtual ~ViewRenderer();
    /// Deletes renderer; nothing for null.
    static void destroy(ViewRenderer* renderer);

    /// One frame, unless rendering is switched off (the "Rendering" command), in which case
    /// nothing at all happens. Holds the host's multi-threaded operation lock while its
    /// multi-threaded graphics options are on.
    void render(EInvalidateType type);
    void render(unsigned type) { render(EInvalidateType(type)); }
    /// A full redraw without FXAA written to path (PNG); false when it cannot be written.
    bool saveAsImage(const std::wstring& path);
    /// A full redraw without FXAA, read back; null when the image cannot be read.
    Brio::StrongRef<Brio::MemoryImageResource> saveAsImage();

    /// Fragments an image leaves out (by name); the base draws every fragment.
    virtual bool excludeViewFragment(Lumo::Graphics::GroupNode* fragmentNode) const;
    virtual void renderFrame(EInvalidateType type) = 0;
    virtual void onPreRender() {}
    virtual void onPostRender() {}
    /// The last frame's pixels (8-bit RGBA, rows top first), or null.
    virtual Brio::StrongRef<Brio::MemoryImageResource> readImage() = 0;
    virtual bool writeImage(const std::wstring& path) = 0;

    Lumo::Graphics::GroupNode* viewNode() const;
    /// True while the host moves the view: no multisampling, no FXAA, no caching.
    bool interactive() const { return m_interactive; }
    void interactive(bool on) { m_interactive = on; }
    /// True only while saveAsImage renders.
    bool savingImage() const { return m_savingImage; }

protected:
    explicit ViewRenderer(Lumo::Graphics::GroupNode* viewNode);
    ViewRenderer(const ViewRenderer& other);
    ViewRenderer& operator=(const ViewRenderer& other);

private:
    Lumo::Objects::AutoPtr<Lumo::Graphics::GroupNode> m_viewNode;
    bool m_interactive = false;
    bool m_savingImage = false;
};

} // namespace Brio::Scene
