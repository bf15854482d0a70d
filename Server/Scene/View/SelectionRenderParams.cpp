#include <Scene/View/SelectionRenderParams.h>

#include <Lumo/Objects/AutoPtr.h>
#include <Scene/Environment/Environment.h>
#include <Scene/Environment/EnvironmentManager.h>
#include <Scene/View/GraphicsOptionGroup.h>
#include <Scene/View/ViewFragmentPassRenderer.h>

namespace Brio::Scene {

namespace {

/// The effect of a renderer without a record (another renderer, or no active environment).
/// Not SelectEffectInfo's own defaults: those are what a definition file starts from.
SelectEffectInfo withoutRecord() {
    SelectEffectInfo info;
    info.baseColor = {0.0f, 0.0f, 1.0f, 0.5f};
    info.backFaceColor = {1.0f, 0.0f, 1.0f, 1.0f};
    info.haloColor = {0.5f, 0.5f, 0.5f, 0.7f};
    info.hiddenLineColor = {0.18f, 0.25f, 0.49f, 1.0f};
    info.lineColor = {0.3f, 0.47f, 0.84f, 1.0f};
    info.lineColor2 = {1.0f, 0.0f, 0.0f, 1.0f};
    info.glowColor = {0.3f, 0.47f, 0.84f, 0.33f};
    info.haloWidth = 2;
    info.blurWeight = 1.0f;
    info.linesWidth = 1;
    info.useBase = true;
    info.useGlow = true;
    info.useHalo = true;
    info.useHiddenLines = true;
    info.useLines = true;
    info.quickHalo = false;
    info.dilateOne = false;
    return info;
}

/// Plain-layer stand-in for selection passes while the selection display is off.
RenderParams& plainLayerParams() {
    static const Lumo::Objects::AutoPtr<RenderParams> params = [] {
        RenderParams* p = RenderParams::make();
        p->renderer(eRendererLayer);
        p->transparentCollectionEnabled(false);
        return p;
    }();
    return *params;
}

} // namespace

SelectionRenderParams::SelectionRenderParams() {
    transparentCollectionEnabled(false);
}

SelectionRenderParams& SelectionRenderParams::selectionEffectParams() {
    static const Lumo::Objects::AutoPtr<SelectionRenderParams> params = make();
    params->renderer(eRendererSelection);
    params->cacheTarget(true);
    params->cacheSceneType(2);
    return *params;
}

SelectionRenderParams& SelectionRenderParams::highlightEffectParams() {
    static const Lumo::Objects::AutoPtr<SelectionRenderParams> params = make();
    params->renderer(eRendererHighlight);
    return *params;
}

void SelectionRenderParams::Accept(ViewFragmentPassRenderer* renderer) {
    if (renderer && applySelectionEffectOption(*renderer))
        renderer->pickSelectionGraph(*this);
}

SelectionRenderParams* SelectionRenderParams::clone() const {
    return new SelectionRenderParams(*this);
}

SelectEffectInfo SelectionRenderParams::effect() const {
    const SelectEffectInfo* record = nullptr;
    const ERenderer r = renderer();
    if (r >= eRendererSelection && r <= eRendererSketchSelectionSimplified) {
        if (const Environment* env = EnvironmentManager::getEnvManager()->activeEnvironment()) {
            if (r <= eRendererSelectionSimplified)
                record = env->selectParams();
            else if (r <= eRendererHighlightSimplified)
                record = env->highlightParams();
            else
                record = env->sketchSelectParams();
        }
    }
    if (record)
        return *record;
    static const SelectEffectInfo defaults = withoutRecord();
    return defaults;
}

bool SelectionRenderParams::applySelectionEffectOption(ViewFragmentPassRenderer& renderer) {
    const GraphicsOptionGroup* options = GraphicsOptionGroup::get();
    const SelectionEffectOptions option =
        renderer.interactiveRendering() ? options->degradedSelectionEffectOption() : options->selectionEffectOption();
    if (option == eSelectionEffectNone) {
        // Our own renderer stays as it is: the option may change back before the next frame.
        plainLayerParams().Accept(&renderer);
        return false;
    }
    adjustRenderer(option == eSelectionEffectSimplified);
    return true;
}

void SelectionRenderParams::adjustRenderer(bool simplified) {
    switch (renderer()) {
    case eRendererSelection:
    case eRendererSelectionSimplified:
        renderer(simplified ? eRendererSelectionSimplified : eRendererSelection);
        break;
    case eRendererHighlight:
    case eRendererHighlightSimplified:
        renderer(simplified ? eRendererHighlightSimplified : eRendererHighlight);
        break;
    default:
        break;
    }
}

} // namespace Brio::Scene
