#pragma once
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/SBox3.h>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Lumo::Devices {
class ADrawContext;
class AVirtualDevice;
class EffectInstance;
class FragmentGraph;
class RenderTarget;
} // namespace Lumo::Devices
namespace Lumo::Graphics {
class GroupNode;
class ScriptInterpreter;
class ScriptPipeRenderer;
class TraversalStateList;
} // namespace Lumo::Graphics

namespace Brio::Scene {

class Environment;
class PassCache;
class RenderParams;
class SelectionRenderParams;
struct ViewFragmentPass;
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

    /// The fragment whose passes run now, and the scene node and parameters of the current pass.
    Lumo::Graphics::GroupNode* fragmentNode() const { return m_fragmentNode; }
    void fragmentNode(Lumo::Graphics::GroupNode* node);
    Lumo::Graphics::GroupNode* sceneNode() const { return m_sceneNode; }
    const RenderParams* renderParams() const { return m_params; }
    /// The pixel rectangle (x, y from the bottom left, width, height) passes draw into, and the
    /// size of the targets.
    void viewport(int x, int y, int width, int height);
    void targetSize(int width, int height);
    /// The box of everything the view shows (ground shadows are laid under it).
    void worldBox(const Lumo::Objects::SBox3& box) { m_worldBox = box; }
    const Lumo::Objects::SBox3& worldBox() const { return m_worldBox; }
    /// Caching in force for the passes of this fragment: 0 none, 1 passes of cached scene type
    /// 1 may be reused, 2 those of types 1 and 2.
    int cachingLevel() const { return m_cachingLevel; }
    void cachingLevel(int level) { m_cachingLevel = level; }
    /// The environment loaded for the current pass, or null.
    Environment* environment() const { return m_environment; }

    /// Makes pass current: records its scene and parameters, picks its graph, loads the active
    /// environment when the parameters ask for it, and sets the graph's arguments.
    void makePassCurrent(const ViewFragmentPass& pass, Lumo::Devices::ADrawContext& dc);
    /// Runs the current pass on interpreter, through the pass cache when caching is in force.
    /// False when the graph failed (the interpreter's LastError says why).
    bool runPass(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::ScriptInterpreter& interpreter);
    /// What else the frame's pixels depend on (the clear colour, say); cached passes are
    /// reused only while it stays the same.
    void frameSignature(std::vector<float> values) { m_frameSignature = std::move(values); }
    /// The alpha the frame was cleared with (0 for an image with a transparent background):
    /// passes that clear again keep it, so what they do not draw stays see-through.
    void clearAlpha(float alpha) { m_clearAlpha = alpha; }
    float clearAlpha() const { return m_clearAlpha; }
    /// Forgets every cached pass result (a device that lost its frame, a full redraw).
    void resetPassCache();
    /// Passes reused from the cache since the last beginFrame.
    int cachedPasses() const { return m_cachedPasses; }
    /// Ground-shadow maps drawn so far: the map is kept while the model and the light stay as
    /// they are, whatever the camera does.
    int shadowMapsDrawn() const { return m_shadowMapsDrawn; }

private:
    void record(EPick pick, const RenderParams& p);
    void placeScenery(Environment& env, const RenderParams& p);
    void keepShadowMap(Lumo::Devices::ADrawContext& dc);
    bool runCurrentPass(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::ScriptInterpreter& interpreter);
    /// The effects a selection pass swaps in for its scene's own: the wash, line, hidden-line
    /// and second line colours of p, one set per renderer.
    void setHighlightEffects(const SelectionRenderParams& p, Lumo::Devices::ADrawContext& dc);
    void use(const RenderParams& p, int kind);

    std::map<std::wstring, Lumo::Objects::AutoPtr<Lumo::Devices::FragmentGraph>> m_graphs;
    std::map<int, std::array<Lumo::Objects::AutoPtr<Lumo::Devices::EffectInstance>, 4>> m_highlightEffects;
    Lumo::Devices::AVirtualDevice* m_highlightDevice = nullptr;
    Lumo::Devices::FragmentGraph* m_current = nullptr;
    Lumo::Objects::AutoPtr<Lumo::Devices::RenderTarget> m_color, m_depth;
    Lumo::Objects::AutoPtr<Lumo::Graphics::TraversalStateList> m_transparency;
    bool m_fxaa = false, m_minAlphaOnce = false;

    bool m_interactiveRendering = false;
    Lumo::Objects::AutoPtr<Lumo::Graphics::GroupNode> m_fragmentNode, m_sceneNode;
    Lumo::Objects::AutoPtr<RenderParams> m_params;
    Environment* m_environment = nullptr;
    int m_viewport[4] = {0, 0, 0, 0};
    int m_targetWidth = 0, m_targetHeight = 0;
    Lumo::Objects::SBox3 m_worldBox;
    std::vector<float> m_frameSignature;
    float m_clearAlpha = 1.0f;
    Environment* m_placedEnvironment = nullptr;
    Lumo::Objects::AutoPtr<Lumo::Devices::RenderTarget> m_shadowMap;
    Lumo::Objects::AutoPtr<Lumo::Graphics::ScriptPipeRenderer> m_shadowRenderer;
    std::vector<float> m_shadowKey;
    int m_shadowMapsDrawn = 0;
    bool m_restampShadowKey = false;
    Lumo::Objects::vec3<float> m_sceneryOffset;
    int m_cachingLevel = 0;
    int m_cachedPasses = 0;
    std::unique_ptr<PassCache> m_cache;
    EPick m_lastPick = ePickNone;
    int m_lastRenderer = -1;
    std::wstring m_lastRendererKey;
    const RenderParams* m_lastParams = nullptr;
};

} // namespace Brio::Scene
