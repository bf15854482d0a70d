#include <Scene/View/RenderParams.h>

#include <Lumo/Objects/AutoPtr.h>
#include <Scene/View/GraphicsOptionGroup.h>
#include <Scene/View/ViewFragmentPassRenderer.h>

#include <boost/format.hpp>

namespace Brio::Scene {

LUMO_DEFINE_CLASS(RenderParams, Lumo::Objects::ARefCounted)

namespace {

/// Styles that draw no shaded faces, so nothing casts a ground shadow or is occluded.
bool drawsNoShading(int visualStyle) {
    return visualStyle >= 3 && visualStyle <= 5;
}

} // namespace

RenderParams::RenderParams() : m_displaySilhouettes(GraphicsOptionGroup::get()->displaySilhouette()) {}

RenderParams& RenderParams::sceneEffectParams() {
    static const Lumo::Objects::AutoPtr<RenderParams> params = make();
    const GraphicsOptionGroup* options = GraphicsOptionGroup::get();
    params->renderer(eRendererVisualEffect);
    params->environmentEnabled(true);
    params->cacheTarget(true);
    params->cacheDepthStencil(true);
    params->cacheSceneType(1);
    params->visualStyle(options->visualStyle());
    params->nprEffect(static_cast<ENPREffect>(options->NPREffect()));
    params->groundPlaneEnabled(options->displayGroundPlane());
    params->groundShadowEnabled(options->groundShadowEnabled());
    params->groundReflectionEnabled(options->groundReflectionEnabled());
    params->ambientOcclusionEnabled(options->ambientOccludedEnabled());
    params->objectShadowType(static_cast<EObjectShadowType>(options->objectShadowType()));
    return *params;
}

RenderParams& RenderParams::layerEffectParams() {
    static const Lumo::Objects::AutoPtr<RenderParams> params = make();
    params->renderer(eRendererLayer);
    return *params;
}

void RenderParams::Accept(ViewFragmentPassRenderer* renderer) {
    if (renderer)
        renderer->pickGraph(*this);
}

RenderParams* RenderParams::clone() const {
    return new RenderParams(*this);
}

bool RenderParams::operator==(const RenderParams& o) const {
    return m_renderer == o.m_renderer && m_nprEffect == o.m_nprEffect && m_objectShadowType == o.m_objectShadowType &&
           m_visualStyle == o.m_visualStyle && m_groundPlaneOrientation == o.m_groundPlaneOrientation &&
           m_groundPlaneOffset == o.m_groundPlaneOffset && m_groundReflectionEnabled == o.m_groundReflectionEnabled &&
           m_groundShadowEnabled == o.m_groundShadowEnabled && m_shadowStraightDown == o.m_shadowStraightDown &&
           m_ambientOcclusionEnabled == o.m_ambientOcclusionEnabled && m_environmentEnabled == o.m_environmentEnabled &&
           m_cacheTarget == o.m_cacheTarget && m_cacheDepthStencil == o.m_cacheDepthStencil &&
           m_cacheSceneType == o.m_cacheSceneType && m_interactiveRendering == o.m_interactiveRendering &&
           m_colorCyclingEnabled == o.m_colorCyclingEnabled && m_groundPlaneEnabled == o.m_groundPlaneEnabled &&
           m_displaySilhouettes == o.m_displaySilhouettes;
}

std::wstring RenderParams::rendererKey() const {
    // Streams write bools as 1 and 0.
    return (boost::wformat(L"{Renderer %1%, nprEffect %2%, groundReflectionEnabled %3%, groundShadowEnabled %4%, "
                           L"objectShadow %5%, ambientOcclusionEnabled %6%, transpCollection %7%, "
                           L"environmentEnabled %8%, groundPlaneEnabled %9%}") %
            static_cast<int>(m_renderer) % static_cast<int>(m_nprEffect) % m_groundReflectionEnabled %
            renderGroundShadow() % static_cast<int>(m_objectShadowType) % renderAmbientOcclusion() %
            m_transparentCollectionEnabled % m_environmentEnabled % m_groundPlaneEnabled)
        .str();
}

bool RenderParams::renderGroundShadow() const {
    return m_groundShadowEnabled && !drawsNoShading(m_visualStyle);
}

bool RenderParams::renderAmbientOcclusion() const {
    return m_ambientOcclusionEnabled && !drawsNoShading(m_visualStyle);
}

} // namespace Brio::Scene
