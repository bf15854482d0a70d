#include <Scene/View/ViewFragmentPassRenderer.h>

#include <Scene/View/SketchSelectionRenderParams.h>

#include <Brio/Base/MultiThreadOptionGroup.h>
#include <Lumo/Devices/FragmentGraph.h>
#include <Lumo/Devices/RenderTarget.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Graphics/TraversalStateList.h>
#include <Lumo/Graphics/WorldList.h>
#include <Scene/Environment/Environment.h>
#include <Scene/Environment/EnvironmentManager.h>
#include <Scene/View/FragmentLibrary.h>
#include <Scene/View/FragmentParameters.h>
#include <Scene/View/GraphicsOptionGroup.h>

namespace Brio::Scene {

using Lumo::Objects::vec4;

ViewFragmentPassRenderer::ViewFragmentPassRenderer() = default;
ViewFragmentPassRenderer::~ViewFragmentPassRenderer() = default;

void ViewFragmentPassRenderer::pickGraph(const RenderParams& p) {
    record(ePickPlain, p);
    use(p, ePickPlain);
}

void ViewFragmentPassRenderer::pickSelectionGraph(const SelectionRenderParams& p) {
    record(ePickSelection, p);
    use(p, ePickSelection);
}

void ViewFragmentPassRenderer::pickSketchSelectionGraph(const SketchSelectionRenderParams& p) {
    record(ePickSketchSelection, p);
    use(p, ePickSketchSelection);
}

void ViewFragmentPassRenderer::use(const RenderParams& p, int kind) {
    const std::wstring key = p.rendererKey();
    auto it = m_graphs.find(key);
    if (it == m_graphs.end()) {
        Lumo::Devices::FragmentGraph* g = nullptr;
        const int r = p.renderer();
        if (kind == ePickPlain)
            g = r == 9    ? FragmentLibrary::createLayerEffectGraph(p)
                : r == 10 ? FragmentLibrary::createTransparencyOnlyEffectGraph(p)
                          : FragmentLibrary::createVisualEffectGraph(p);
        else
            g = r == 2 || r == 3 ? FragmentLibrary::createSelectionEffectGraph(p)
                                 : FragmentLibrary::createHighLightEffectGraph(p);
        it = m_graphs.emplace(key, Lumo::Objects::AutoPtr<Lumo::Devices::FragmentGraph>(g)).first;
    }
    m_current = it->second;
}

void ViewFragmentPassRenderer::releaseGraphs() {
    m_graphs.clear();
    m_current = nullptr;
}

void ViewFragmentPassRenderer::targets(Lumo::Devices::RenderTarget* color, Lumo::Devices::RenderTarget* depthStencil) {
    m_color = color;
    m_depth = depthStencil;
}

Lumo::Graphics::TraversalStateList* ViewFragmentPassRenderer::collectedTransparency() {
    if (!m_transparency)
        m_transparency = Lumo::Graphics::TraversalStateList::Make();
    return m_transparency;
}

void ViewFragmentPassRenderer::beginFrame() {
    if (m_transparency)
        m_transparency->Clear();
}

void ViewFragmentPassRenderer::setPassArguments(const RenderParams& p) {
    Lumo::Devices::FragmentGraph* g = m_current;
    if (!g)
        return;
    using F = FragmentParameters;
    // 1. the engine's targets
    F::setArg(g, L"finalDesc", m_color.get());
    F::setArg(g, L"final", m_color.get());
    F::setArg(g, L"depthstencil", m_depth.get());
    // 2. clear values: the environment's background, else a light grey of our own
    Environment* env = EnvironmentManager::getEnvManager()->activeEnvironment();
    vec4<float> clear(0.914f, 0.914f, 0.914f, 1.0f);
    if (p.environmentEnabled() && env) {
        const Brio::Color& c = env->backgroundColor();
        clear = {c.red(), c.green(), c.blue(), 1.0f};
    }
    F::setArg(g, L"clearColor", clear);
    F::setArg(g, L"clearDepth", 1.0f);
    F::setArg(g, L"clearStencil", 0);
    // 3. the environment's scenery and layout grid
    if (p.environmentEnabled() && env) {
        Lumo::Objects::AutoPtr<Lumo::Graphics::WorldList> scenery(Lumo::Graphics::WorldList::Make());
        scenery->Add(env->dome());
        scenery->Add(env->groundPlane());
        F::setObjectArg(g, L"Environment", scenery);
        if (Lumo::Graphics::GroupNode* grid = env->layoutGridNode())
            F::setArg(g, L"layoutGrid", static_cast<Lumo::Graphics::ARenderNode*>(grid));
    }
    // 4. ambient occlusion
    if (p.renderAmbientOcclusion()) {
        F::setArg(g, L"EnableSSAO", true);
        F::setArg(g, L"SampleCount", 16);
        F::setArg(g, L"SampleRadius", 0.1f);
        F::setArg(g, L"AOBlurAmount", 3.0f);
        F::setArg(g, L"CompositeFactor", 1.8f);
        F::setArg(g, L"SupportsClipping", true);
        F::setArg(g, L"shadowMapAgents",
                  std::wstring(
                      L"DrawFilterAgent,VisibilityAgent,ShadowCastingFilterAgent,RealizeBoxAgent,FrustumAgent,"
                      L"TavexLODAgent,FacetOrderAgent,SwapAgent,VisualStyleAgent,SliceAgent,TextureAgent,DrawAgent"));
    }
    // 5. NPR edges
    if (p.nprEffect() == 1) {
        F::setArg(g, L"edgeWidth", 2.0f);
        F::setArg(g, L"normalEdgeMultiplier", 4.0f);
        F::setArg(g, L"normalEdgeOffset", 1.0f);
        F::setArg(g, L"depthEdgeMultiplier", 3.0f);
        F::setArg(g, L"depthEdgeOffset", 0.5f);
    } else if (p.nprEffect() == 2) {
        F::setArg(g, L"edgeWidth", 2.0f);
        F::setArg(g, L"edgeCompMapColor", vec4<float>(0.1f, 0.1f, 0.1f, 1.0f));
        F::setArg(g, L"normalEdgeMultiplier", 2.0f);
        F::setArg(g, L"depthEdgeMultiplier", 1.0f);
        F::setArg(g, L"darkLevel", 0.3f);
        F::setArg(g, L"whiteLevel", 0.7f);
    }
    // 6. transparency: collected for the resolve pass, or drawn by the pass itself
    F::setArg(g, L"noculltransparency", false);
    if (p.renderer() == 10 || p.transparentCollectionEnabled())
        F::setArg(g, L"transpTraversalStateList", collectedTransparency());
    // 7. selection effect values
    if (auto* s = dynamic_cast<const SelectionRenderParams*>(&p)) {
        auto rgba = [](const Brio::Color& c) { return vec4<float>(c.red(), c.green(), c.blue(), c.alpha()); };
        F::setArg(g, L"useBase", s->useBase());
        F::setArg(g, L"baseColor", rgba(s->baseColor()));
        F::setArg(g, L"backFaceColor", rgba(s->backfaceColor()));
        F::setArg(g, L"useHalo", s->useHalo());
        F::setArg(g, L"haloColor", rgba(s->haloColor()));
        F::setArg(g, L"haloWidth", s->haloWidth());
        F::setArg(g, L"useLines", s->useLines());
        F::setArg(g, L"useHiddenLines", s->useHiddenLines());
        F::setArg(g, L"linesWidth", s->linesWidth());
        F::setArg(g, L"dilateOne", s->dilateOne());
        F::setArg(g, L"lineColor", rgba(s->lineColor()));
        F::setArg(g, L"hiddenLineColor", rgba(s->hiddenLineColor()));
        F::setArg(g, L"useGlow", s->useGlow());
        F::setArg(g, L"glowColor", rgba(s->glowColor()));
        F::setArg(g, L"blurWeight", s->blurWeight());
        const int option = int(GraphicsOptionGroup::get()->selectionEffectOption());
        F::setArg(g, L"quickHalo", s->quickHalo() || option == 2);
        F::setArg(g, L"fxaaEnabled", m_fxaa);
        F::setArg(g, L"useMinAlphaBlendOp", m_minAlphaOnce);
        m_minAlphaOnce = false;
        if (auto* k = dynamic_cast<const SketchSelectionRenderParams*>(&p))
            F::setArg(g, L"lineColor2", rgba(k->lineColor2()));
    }
    // 8. agents, or the model pass's visual-style flags
    if (p.renderer() != 1) {
        F::setArg(g, L"drawAgents",
                  std::wstring(L"DrawFilterAgent,VisibilityAgent,RealizeBoxAgent,FrustumAgent,"
                               L"TavexLODAgent,FacetOrderAgent,SwapAgent,VisualStyleAgent,"
                               L"TextureAgent,TransparencyAgent,DrawAgent"));
    } else {
        const int v = p.visualStyle();
        F::setArg(g, L"DrawToDepthOnly", v == 4 || v == 5);
        F::setArg(g, L"HasEdgesPass", v >= 1 && v <= 5);
        F::setArg(g, L"FilterFaces", !(v == 4 || v == 5));
        F::setArg(g, L"multiThreaded", Brio::MultiThreadOptionGroup::get()->multiThreadLumo());
    }
}

void ViewFragmentPassRenderer::record(EPick pick, const RenderParams& p) {
    m_lastPick = pick;
    m_lastRenderer = p.renderer();
    m_lastRendererKey = p.rendererKey();
    m_lastParams = &p;
}

} // namespace Brio::Scene
