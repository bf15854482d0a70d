#pragma once
#include <string>

namespace Brio::Scene {

class RenderParams;
class SelectionRenderParams;
class SketchSelectionRenderParams;

/// Sets up and runs the layer passes of one view. Render parameters Accept it to pick the
/// fragment graph of their pass, one call per kind of parameters.
class ViewFragmentPassRenderer {
public:
    /// Which pick was asked for last.
    enum EPick : int {
        ePickNone = 0,
        ePickPlain = 1,
        ePickSelection = 2,
        ePickSketchSelection = 3,
    };

    ViewFragmentPassRenderer() = default;
    virtual ~ViewFragmentPassRenderer();
    ViewFragmentPassRenderer(const ViewFragmentPassRenderer&) = delete;
    ViewFragmentPassRenderer& operator=(const ViewFragmentPassRenderer&) = delete;

    /// The view is being moved: passes are drawn in interactive quality, and selections with
    /// the degraded selection effect option.
    bool interactiveRendering() const { return m_interactiveRendering; }
    void interactiveRendering(bool on) { m_interactiveRendering = on; }

    // Graph building comes with the view renderer; until then these only record the request.
    /// Plain parameters: the graph of p.renderer() (visual effect, layer or transparency only).
    virtual void pickGraph(const RenderParams& p);
    /// Selection kind: the selection (2, 3) or highlight (4, 5) graph, with p's effect values.
    virtual void pickSelectionGraph(const SelectionRenderParams& p);
    /// Sketch kind: the highlight graph with p's effect values and its second line colour.
    virtual void pickSketchSelectionGraph(const SketchSelectionRenderParams& p);

    EPick lastPick() const { return m_lastPick; }
    /// The renderer of the last parameters picked for; -1 before any.
    int lastRenderer() const { return m_lastRenderer; }
    /// Their rendererKey(), which the graph cache is keyed by.
    const std::wstring& lastRendererKey() const { return m_lastRendererKey; }
    /// Their identity, for comparison only: no reference is held.
    const RenderParams* lastParams() const { return m_lastParams; }

private:
    void record(EPick pick, const RenderParams& p);

    bool m_interactiveRendering = false;
    EPick m_lastPick = ePickNone;
    int m_lastRenderer = -1;
    std::wstring m_lastRendererKey;
    const RenderParams* m_lastParams = nullptr;
};

} // namespace Brio::Scene
