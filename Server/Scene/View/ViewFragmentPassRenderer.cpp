#include <Scene/View/ViewFragmentPassRenderer.h>

#include <Scene/View/SketchSelectionRenderParams.h>

namespace Brio::Scene {

ViewFragmentPassRenderer::~ViewFragmentPassRenderer() = default;

void ViewFragmentPassRenderer::pickGraph(const RenderParams& p) { record(ePickPlain, p); }

void ViewFragmentPassRenderer::pickSelectionGraph(const SelectionRenderParams& p) { record(ePickSelection, p); }

void ViewFragmentPassRenderer::pickSketchSelectionGraph(const SketchSelectionRenderParams& p) {
    record(ePickSketchSelection, p);
}

void ViewFragmentPassRenderer::record(EPick pick, const RenderParams& p) {
    m_lastPick = pick;
    m_lastRenderer = p.renderer();
    m_lastRendererKey = p.rendererKey();
    m_lastParams = &p;
}

} // namespace Brio::Scene
