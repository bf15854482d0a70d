#pragma once

namespace Lumo::Graphics {
class GroupNode;
}

namespace Brio::Scene {

class ViewRenderer;
class ViewSelector;

/// The library's front door to the graphics system, one per process: the add-in's load
/// starts the graphics machinery the scene needs through initialize, and its unload stops it
/// through terminate, so that nothing of this library stays registered with the platform
/// once the library may be unloaded. Views are drawn and picked only between the two.
class Provider {
public:
    /// The one provider, made on first use and destroyed with the library.
    static Provider* provider();

    virtual ~Provider();
    /// Registers the library's render agents, traversal state and walk callbacks, loads the
    /// fragment library and makes the effect instance cache. Failures are not reported: a
    /// missing fragment file or resource only leaves what needs it without effect.
    virtual void initialize();
    /// Undoes initialize and releases what the library holds of the graphics system
    /// (environments, the material library, text fonts, the shared device). Nothing of the
    /// library may be drawn or picked afterwards; initialize may start it again.
    virtual void terminate();
    /// A window renderer for a window handle (on X11 the window's id), an image renderer for
    /// null. The caller owns it until releaseViewRenderer.
    virtual ViewRenderer* createViewRenderer(Lumo::Graphics::GroupNode* viewNode, void* window);
    virtual void destroyViewRenderer(ViewRenderer* renderer);

    /// The renderer of a view node (createViewRenderer), and its release (null does nothing).
    ViewRenderer* requestViewRenderer(Lumo::Graphics::GroupNode* viewNode, void* window) {
        return createViewRenderer(viewNode, window);
    }
    void releaseViewRenderer(ViewRenderer* renderer) { destroyViewRenderer(renderer); }
    /// A selector for picking in views; the caller owns it until releaseViewSelector (null does
    /// nothing).
    ViewSelector* requestViewSelector();
    void releaseViewSelector(ViewSelector* selector);

    Provider(const Provider&) = delete;
    Provider& operator=(const Provider&) = delete;

protected:
    Provider() = default;
};

} // namespace Brio::Scene
