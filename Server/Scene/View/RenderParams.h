#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Scene/Foundations/SceneClass.h>
#include <ZoGe/ZoGeVector3d.h>

#include <string>

namespace Brio::Scene {

class ViewFragmentPassRenderer;

/// Which fragment graph draws a pass. The selection pairs hold a full and a simplified
/// variant; Accept moves between them by the selection effect option.
enum ERenderer : int {
    eRendererModel = 0,        ///< drawn like eRendererVisualEffect
    eRendererVisualEffect = 1, ///< the shaded model
    eRendererSelection = 2,
    eRendererSelectionSimplified = 3,
    eRendererHighlight = 4,
    eRendererHighlightSimplified = 5,
    eRendererSketchSelection = 6,
    eRendererSketchSelectionSimplified = 7,
    eRendererLayer = 9,             ///< plain overlay layers
    eRendererTransparencyOnly = 10, ///< resolves transparent geometry collected by earlier passes
};

/// Non-photorealistic look of the shaded model.
enum ENPREffect : int {
    eNPRNone = 0,
    eNPRPencil = 1,
    eNPREdgeContrast = 2,
    eNPRGraphite = 3,
};

enum EObjectShadowType : int {
    eObjectShadowNone = 0,
    eObjectShadowSharp = 1,
    eObjectShadowSoft = 2,
    eObjectShadowSoft2 = 3,
};

/// How one layer pass of a view fragment is drawn: which renderer (fragment graph) and which
/// of its effects are on. A pass keeps a clone of what it is given; the pass renderer caches
/// one graph per rendererKey(). The visual style is a Lumo::Scene visual style value (2 is the
/// default; 3, 4 and 5 draw no shaded faces, so ground shadow and ambient occlusion are off).
class RenderParams : public Lumo::Objects::ARefCounted, public Lumo::Scene::NetObjectCountImpl<RenderParams> {
    LUMO_SCENE_CLASS(RenderParams)
public:
    static Lumo::Objects::UString* InterfaceID() { return StaticClassName(); }
    static RenderParams* make() { return new RenderParams; }

    /// Process-wide parameters of the model pass, refreshed from the graphics options on every
    /// call: renderer 1 with the environment and caching (level 1) on.
    static RenderParams& sceneEffectParams();
    /// Process-wide parameters of plain overlay layers (renderer 9).
    static RenderParams& layerEffectParams();

    RenderParams& operator=(const RenderParams&) = default;

    /// Lets the pass renderer pick the graph for these parameters.
    virtual void Accept(ViewFragmentPassRenderer* renderer);
    /// A new object of the same kind holding every property.
    virtual RenderParams* clone() const;

    /// Every property except transparentCollectionEnabled, which only decides where the pass's
    /// transparent geometry is drawn.
    bool operator==(const RenderParams& other) const;
    bool operator!=(const RenderParams& other) const { return !(*this == other); }

    /// What tells fragment graphs apart; parameters with the same key share one graph.
    std::wstring rendererKey() const;

    bool renderGroundShadow() const;
    bool renderAmbientOcclusion() const;
    bool renderObjectShadow() const { return m_objectShadowType != eObjectShadowNone; }

    ERenderer renderer() const { return m_renderer; }
    void renderer(ERenderer value) { m_renderer = value; }
    ENPREffect nprEffect() const { return m_nprEffect; }
    void nprEffect(ENPREffect value) { m_nprEffect = value; }
    EObjectShadowType objectShadowType() const { return m_objectShadowType; }
    void objectShadowType(EObjectShadowType value) { m_objectShadowType = value; }
    int visualStyle() const { return m_visualStyle; }
    void visualStyle(int value) { m_visualStyle = value; }
    const ZoGeVector3d& groundPlaneOrientation() const { return m_groundPlaneOrientation; }
    void groundPlaneOrientation(const ZoGeVector3d& value) { m_groundPlaneOrientation = value; }
    float groundPlaneOffset() const { return m_groundPlaneOffset; }
    void groundPlaneOffset(float value) { m_groundPlaneOffset = value; }
    bool groundReflectionEnabled() const { return m_groundReflectionEnabled; }
    void groundReflectionEnabled(bool on) { m_groundReflectionEnabled = on; }
    bool groundShadowEnabled() const { return m_groundShadowEnabled; }
    void groundShadowEnabled(bool on) { m_groundShadowEnabled = on; }
    /// The ground shadow falls straight down rather than from the light.
    bool shadowStraightDown() const { return m_shadowStraightDown; }
    void shadowStraightDown(bool on) { m_shadowStraightDown = on; }
    bool ambientOcclusionEnabled() const { return m_ambientOcclusionEnabled; }
    void ambientOcclusionEnabled(bool on) { m_ambientOcclusionEnabled = on; }
    /// The pass's transparent geometry is collected for a later resolve pass.
    bool transparentCollectionEnabled() const { return m_transparentCollectionEnabled; }
    void transparentCollectionEnabled(bool on) { m_transparentCollectionEnabled = on; }
    /// The active environment is loaded for the pass.
    bool environmentEnabled() const { return m_environmentEnabled; }
    void environmentEnabled(bool on) { m_environmentEnabled = on; }
    bool cacheTarget() const { return m_cacheTarget; }
    void cacheTarget(bool on) { m_cacheTarget = on; }
    bool cacheDepthStencil() const { return m_cacheDepthStencil; }
    void cacheDepthStencil(bool on) { m_cacheDepthStencil = on; }
    /// The caching level this pass allows.
    int cacheSceneType() const { return m_cacheSceneType; }
    void cacheSceneType(int level) { m_cacheSceneType = level; }
    bool interactiveRendering() const { return m_interactiveRendering; }
    void interactiveRendering(bool on) { m_interactiveRendering = on; }
    bool colorCyclingEnabled() const { return m_colorCyclingEnabled; }
    void colorCyclingEnabled(bool on) { m_colorCyclingEnabled = on; }
    bool groundPlaneEnabled() const { return m_groundPlaneEnabled; }
    void groundPlaneEnabled(bool on) { m_groundPlaneEnabled = on; }
    /// Starts as the graphics option displaySilhouette.
    bool displaySilhouettes() const { return m_displaySilhouettes; }
    void displaySilhouettes(bool on) { m_displaySilhouettes = on; }

protected:
    RenderParams();
    RenderParams(const RenderParams&) = default;

private:
    ERenderer m_renderer = eRendererVisualEffect;
    ENPREffect m_nprEffect = eNPRNone;
    EObjectShadowType m_objectShadowType = eObjectShadowNone;
    int m_visualStyle = 2;
    ZoGeVector3d m_groundPlaneOrientation{0.0, 1.0, 0.0};
    float m_groundPlaneOffset = 0.0f;
    bool m_groundReflectionEnabled = false;
    bool m_groundShadowEnabled = false;
    bool m_shadowStraightDown = true;
    bool m_ambientOcclusionEnabled = false;
    bool m_transparentCollectionEnabled = true;
    bool m_environmentEnabled = false;
    bool m_cacheTarget = false;
    bool m_cacheDepthStencil = false;
    int m_cacheSceneType = 0;
    bool m_interactiveRendering = false;
    bool m_colorCyclingEnabled = false;
    bool m_groundPlaneEnabled = false;
    bool m_displaySilhouettes = false;
};

} // namespace Brio::Scene
