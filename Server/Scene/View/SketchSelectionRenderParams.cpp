#include <Scene/View/SketchSelectionRenderParams.h>

#include <Lumo/Objects/AutoPtr.h>
#include <Scene/View/ViewFragmentPassRenderer.h>

namespace Brio::Scene {

SketchSelectionRenderParams& SketchSelectionRenderParams::sketchSelectionEffectParams() {
    static const Lumo::Objects::AutoPtr<SketchSelectionRenderParams> params = make();
    params->renderer(eRendererSketchSelection);
    return *params;
}

void SketchSelectionRenderParams::Accept(ViewFragmentPassRenderer* renderer) {
    if (renderer && applySelectionEffectOption(*renderer))
        renderer->pickSketchSelectionGraph(*this);
}

SketchSelectionRenderParams* SketchSelectionRenderParams::clone() const {
    return new SketchSelectionRenderParams(*this);
}

void SketchSelectionRenderParams::adjustRenderer(bool simplified) {
    if (renderer() == eRendererSketchSelection || renderer() == eRendererSketchSelectionSimplified)
        renderer(simplified ? eRendererSketchSelectionSimplified : eRendererSketchSelection);
}

} // namespace Brio::Scene
