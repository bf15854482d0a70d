#pragma once
#include <Lumo/Objects/AutoPtr.h>

#include <map>
#include <string>

namespace Lumo::Devices {
class FragmentGraph;
class RenderTarget;
} // namespace Lumo::Devices
namespace Lumo::Graphics {
class TraversalStateList;
}

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

    ViewFragmentPassRenderer();
    virtual ~ViewFragmentPassRenderer();
    ViewFragmentPassRenderer(const ViewFragmentPassRenderer&) = delete;
    ViewFragmentPassRenderer& operator=(const ViewFragmentPassRenderer&) = delete;

    /// The view is being moved: passes are drawn in interactive quality, and selections with
    /// the degraded selection effect option.
    bool interactiveRendering() const { return m_interactiveRendering; }
    void interactiveRendering(bool on) { m_interactiveRendering = on; }

    /// Plain parameters: the graph of p.renderer() (visual effect, layer or transparency only),
    /// made once per renderer key and kept; it becomes the current graph.
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

    /// The graph the last pick chose (held by the cache), or null.
    Lumo::Devices::FragmentGraph* currentGraph() const { return m_current; }
    /// Graphs kept, one per renderer key.
    int graphCount() const { return int(m_graphs.size()); }
    /// Drops every kept graph (a device that lost its frame starts over).
    void releaseGraphs();

    /// The engine's targets the passes draw into.
    void targets(Lumo::Devices::RenderTarget* color, Lumo::Devices::RenderTarget* depthStencil);
    bool fxaaEnabled() const { return m_fxaa; }
    void fxaaEnabled(bool on) { m_fxaa = on; }
    /// Raises the one-shot flag that makes the next selection pass use the minimum-alpha blend.
    void useMinAlphaBlendOpOnce() { m_minAlphaOnce = true; }
    /// Transparent geometry collected by the passes of this frame, resolved by renderer 10.
    Lumo::Graphics::TraversalStateList* collectedTransparency();
    /// Starts a frame: the collected transparent geometry is dropped.
    void beginFrame();
    /// Sets the arguments every pass of p's kind takes on the current graph, in order: the
    /// targets, the clear values, the environment's worlds, ambient occlusion and NPR values,
    /// transparency handling, selection effect values, and the agents or visual-style flags.
    void setPassArguments(const RenderParams& p);

private:
    void record(EPick pick, const RenderParams& p);
    void use(const RenderParams& p, int kind);

    std::map<std::wstring, Lumo::Objects::AutoPtr<Lumo::Devices::FragmentGraph>> m_graphs;
    Lumo::Devices::FragmentGraph* m_current = nullptr;
    Lumo::Objects::AutoPtr<Lumo::Devices::RenderTarget> m_color, m_depth;
    Lumo::Objects::AutoPtr<Lumo::Graphics::TraversalStateList> m_transparency;
    bool m_fxaa = false, m_minAlphaOnce = false;

    bool m_interactiveRendering = false;
    EPick m_lastPick = ePickNone;
    int m_lastRenderer = -1;
    std::wstring m_lastRendererKey;
    const RenderParams* m_lastParams = nullptr;
};

} // namespace Brio::Scene
