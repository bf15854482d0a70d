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
#include <Scene/View/ViewFragmentPass.h>

#include <Lumo/Devices/ADeviceResource.h>
#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/DrawManager.h>
#include <Lumo/Devices/GLDevice.h>
#include <Lumo/Devices/RenderCamera.h>
#include <Lumo/Devices/SolidEffectInstance.h>
#include <Lumo/Devices/TargetCache.h>
#include <Lumo/Graphics/ARenderNode.h>
#include <Lumo/Graphics/ScriptInterpreter.h>
#include <Lumo/Graphics/ScriptPipeRenderer.h>
#include <Scene/Change/SceneNodes.h>

#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Attributes/TransformAttribute.h>
#include <Scene/Nodes/NodeFunctions.h>

#include <algorithm>
#include <unordered_map>

namespace Brio::Scene {

using Lumo::Objects::vec4;

/// Results of cacheable passes (colour and depth as the pass left them), kept while nothing
/// they depend on changes: the graph and resources, the camera, lights, viewport and targets,
/// the parameters and the environment. A slow view that is redrawn unchanged (an overlay
/// moved, a window exposed) then copies the model pass back instead of drawing it.
class PassCache {
public:
    struct Entry {
        std::vector<float> signature;
        Lumo::Objects::AutoPtr<Lumo::Devices::RenderTarget> color, depth;
    };

    ~PassCache() { clear(); }

    bool restore(const void* key, const std::vector<float>& signature, Lumo::Devices::DrawManager& draw,
                 Lumo::Devices::RenderTarget* color, Lumo::Devices::RenderTarget* depth) {
        auto it = m_entries.find(key);
        if (it == m_entries.end() || it->second.signature != signature || !color)
            return false;
        if (!draw.Resolve(it->second.color, color))
            return false;
        if (depth && it->second.depth)
            draw.Resolve(it->second.depth, depth);
        return true;
    }

    void store(const void* key, std::vector<float> signature, Lumo::Devices::GLDevice& device,
               Lumo::Devices::RenderTarget* color, Lumo::Devices::RenderTarget* depth) {
        if (!color)
            return;
        Entry& e = m_entries[key];
        auto fits = [](Lumo::Devices::RenderTarget* have, Lumo::Devices::RenderTarget* like) {
            return have && have->Width() == like->Width() && have->Height() == like->Height() &&
                   have->Format() == like->Format() && have->Samples() == like->Samples();
        };
        m_device = &device;
        if (!fits(e.color, color)) {
            if (e.color)
                device.Targets().Release(e.color);
            e.color = device.Targets().Acquire(color->Width(), color->Height(), color->Format(), color->Samples());
        }
        if (depth && !fits(e.depth, depth)) {
            if (e.depth)
                device.Targets().Release(e.depth);
            e.depth = device.Targets().Acquire(depth->Width(), depth->Height(), depth->Format(), depth->Samples());
        }
        auto& draw = device.Draw();
        if (!e.color || !draw.Resolve(color, e.color) || (depth && (!e.depth || !draw.Resolve(depth, e.depth)))) {
            e.signature.clear(); // never restore a half-made copy
            return;
        }
        e.signature = std::move(signature);
    }

    void clear() {
        for (auto& [key, e] : m_entries) {
            if (m_device && e.color)
                m_device->Targets().Release(e.color);
            if (m_device && e.depth)
                m_device->Targets().Release(e.depth);
        }
        m_entries.clear();
    }

private:
    std::unordered_map<const void*, Entry> m_entries;
    Lumo::Devices::GLDevice* m_device = nullptr;
};

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
    m_cachedPasses = 0;
}

void ViewFragmentPassRenderer::fragmentNode(Lumo::Graphics::GroupNode* node) {
    m_fragmentNode = node;
}

void ViewFragmentPassRenderer::viewport(int x, int y, int width, int height) {
    m_viewport[0] = x;
    m_viewport[1] = y;
    m_viewport[2] = width;
    m_viewport[3] = height;
}

void ViewFragmentPassRenderer::targetSize(int width, int height) {
    m_targetWidth = width;
    m_targetHeight = height;
}

void ViewFragmentPassRenderer::resetPassCache() {
    if (m_cache)
        m_cache->clear();
    m_shadowKey.clear();
}

void ViewFragmentPassRenderer::placeScenery(Environment& env, const RenderParams& p) {
    // The ground lies under the model's lowest point (less the plane's offset) and the dome
    // around it, wherever and however low the model is.
    if (m_worldBox.IsEmpty())
        return;
    using Lumo::Objects::vec3;
    vec3<double> up(p.groundPlaneOrientation().x, p.groundPlaneOrientation().y, p.groundPlaneOrientation().z);
    up = up.Length() < 1e-12 ? vec3<double>(0, 1, 0) : up.Normalized();
    double low = 1e300;
    for (int i = 0; i < 8; ++i) {
        const vec3<double> corner((i & 1) ? m_worldBox.Max().x : m_worldBox.Min().x,
                                  (i & 2) ? m_worldBox.Max().y : m_worldBox.Min().y,
                                  (i & 4) ? m_worldBox.Max().z : m_worldBox.Min().z);
        low = std::min(low, corner.Dot(up));
    }
    low -= p.groundPlaneOffset();
    const vec3<double> c = m_worldBox.Center();
    const vec3<double> at = c - up * (c.Dot(up) - low);
    const vec3<float> offset(float(at.x), float(at.y), float(at.z));
    if (&env == m_placedEnvironment && (offset - m_sceneryOffset).Length() < 1e-6f)
        return; // unchanged: the graph (and cached passes) stay as they are
    m_placedEnvironment = &env;
    m_sceneryOffset = offset;
    const Lumo::Objects::mat4<float> place = Lumo::Objects::mat4<float>::Translation(offset);
    for (Lumo::Graphics::GroupNode* g : {env.groundPlane(), env.dome()})
        if (Lumo::Scene::AttributeSet* set = g ? Lumo::Scene::GetAttributeSet(g) : nullptr)
            set->SetAttribute(
                Lumo::Objects::AutoPtr<Lumo::Scene::Attribute>(Lumo::Scene::TransformAttribute::Make(place, false)));
}

void ViewFragmentPassRenderer::makePassCurrent(const ViewFragmentPass& pass, Lumo::Devices::ADrawContext& dc) {
    using F = FragmentParameters;
    m_sceneNode = pass.scene;
    m_params = pass.renderParams;
    m_current = nullptr;
    if (!m_params)
        return;
    m_params->Accept(this);
    if (m_params->environmentEnabled()) {
        Environment* env = EnvironmentManager::getEnvManager()->activeEnvironment();
        if (env != m_environment)
            m_environment = env;
        if (env) {
            env->loadEnvironment(dc); // once per environment; later calls find it loaded
            placeScenery(*env, *m_params);
        }
    } else {
        m_environment = nullptr;
    }
    Lumo::Devices::FragmentGraph* g = m_current;
    if (!g)
        return;
    setPassArguments(*m_params);
    F::setArg(g, L"viewport",
              vec4<float>(float(m_viewport[0]), float(m_viewport[1]), float(m_viewport[2]), float(m_viewport[3])));
    Lumo::Graphics::GroupNode* scene = m_sceneNode;
    const int renderer = m_params->renderer();
    if (m_lastPick == ePickPlain) {
        if (renderer != 10 && scene)
            F::setArg(g, L"world", static_cast<Lumo::Graphics::ARenderNode*>(scene));
    } else if (scene) {
        auto* faces = findFacesChild(scene);
        auto* edges = findEdgesChild(scene, 0);
        F::setArg(g, L"world", static_cast<Lumo::Graphics::ARenderNode*>(faces));
        F::setArg(g, L"linesWorld", static_cast<Lumo::Graphics::ARenderNode*>(edges));
        if (m_lastPick == ePickSketchSelection) {
            if (auto* edges2 = findEdgesChild(scene, 1))
                F::setArg(g, L"linesWorld2", static_cast<Lumo::Graphics::ARenderNode*>(edges2));
            auto* k = static_cast<const SketchSelectionRenderParams*>(m_params.get());
            F::setArg(g, L"useLines", k->useLines());
        }
    }
    if (m_lastPick != ePickPlain)
        if (auto* s = dynamic_cast<const SelectionRenderParams*>(m_params.get()))
            setHighlightEffects(*s, dc);
}

void ViewFragmentPassRenderer::setHighlightEffects(const SelectionRenderParams& p, Lumo::Devices::ADrawContext& dc) {
    Lumo::Devices::AVirtualDevice* device = dc.VirtualDevice();
    if (!device)
        return;
    if (device != m_highlightDevice) {
        m_highlightEffects.clear(); // effects belong to the device that made them
        m_highlightDevice = device;
    }
    const SelectEffectInfo e = p.effect();
    auto* sketch = dynamic_cast<const SketchSelectionRenderParams*>(&p);
    const Brio::Color colors[4] = {e.baseColor, e.lineColor, e.hiddenLineColor, sketch ? e.lineColor2 : e.lineColor};
    static const wchar_t* const names[4] = {L"baseEffect", L"lineEffect", L"hiddenLineEffect", L"lineEffect2"};
    auto& set = m_highlightEffects[int(p.renderer())];
    for (int i = 0; i < 4; ++i) {
        if (!set[size_t(i)]) {
            // Flat colour: the wash is blended over the model's own shading.
            Lumo::Devices::SolidEffectInstance* solid = Lumo::Devices::SolidEffectInstance::Make(device);
            if (!solid)
                return;
            solid->Lighting(false);
            set[size_t(i)] = solid;
        }
        auto* solid = static_cast<Lumo::Devices::SolidEffectInstance*>(set[size_t(i)].get());
        const Brio::Color& c = colors[i];
        const vec4<float> rgba(c.red(), c.green(), c.blue(), c.alpha());
        if (solid->Color() != rgba)
            solid->Color(rgba);
        FragmentParameters::setArg(m_current, names[i], static_cast<Lumo::Devices::EffectInstance*>(solid));
    }
}

void ViewFragmentPassRenderer::keepShadowMap(Lumo::Devices::ADrawContext& dc) {
    // The light looks at the model's box from a place of its own: a moving camera leaves the
    // map as it is, so it is drawn again only when the model or the light change.
    Lumo::Devices::FragmentGraph* g = m_current;
    auto* device = dynamic_cast<Lumo::Devices::GLDevice*>(dc.VirtualDevice());
    Lumo::Devices::ARenderCamera* light = nullptr;
    if (!device || !m_sceneNode || !FragmentParameters::getArg(g, L"lightCamera", light) || !light)
        return;
    std::vector<float> key;
    auto push = [&key](std::uint64_t v) {
        key.insert(key.end(), {float(v & 0xFFFFFF), float((v >> 24) & 0xFFFFFF), float(v >> 48)});
    };
    push(Lumo::Graphics::ARenderNode::GraphStamp());
    push(Lumo::Devices::ADeviceResource::ChangeStamp());
    push(reinterpret_cast<std::uintptr_t>(m_sceneNode.get()));
    for (const auto* m : {&light->ViewMatrix(), &light->ProjMatrix()})
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                key.push_back(m->m[i][j]);
    constexpr int kSize = 1024;
    if (!m_shadowMap || key != m_shadowKey) {
        if (!m_shadowMap)
            m_shadowMap = device->Targets().Acquire(kSize, kSize, Lumo::Devices::eTargetDepth32F, 1);
        if (!m_shadowMap)
            return;
        if (!m_shadowRenderer) {
            m_shadowRenderer = Lumo::Graphics::ScriptPipeRenderer::Make();
            m_shadowRenderer->SetAgents(L"::StdShadowMapAgents");
        }
        auto& draw = device->Draw();
        const auto view = dc.ViewMatrix(), proj = dc.ProjMatrix();
        const int w = dc.ViewportWidth(), h = dc.ViewportHeight();
        draw.BindTargets(nullptr, m_shadowMap);
        draw.Viewport(0, 0, kSize, kSize);
        draw.Clear(Lumo::Devices::eClearDepth, {0, 0, 0, 0}, 1.0f, 0);
        dc.ViewMatrix(light->ViewMatrix());
        dc.ProjMatrix(light->ProjMatrix());
        dc.Viewport(kSize, kSize);
        m_shadowRenderer->Render(dc, m_sceneNode);
        dc.ViewMatrix(view);
        dc.ProjMatrix(proj);
        dc.Viewport(w, h);
        m_shadowKey = std::move(key);
        m_restampShadowKey = true;
        ++m_shadowMapsDrawn;
    }
    FragmentParameters::setArg(g, L"shadowMapIn", m_shadowMap.get());
}

bool ViewFragmentPassRenderer::runPass(Lumo::Devices::ADrawContext& dc,
                                       Lumo::Graphics::ScriptInterpreter& interpreter) {
    const bool ok = runCurrentPass(dc, interpreter);
    if (m_restampShadowKey && m_shadowKey.size() >= 6) {
        // Drawing realises what it draws (buffers, effect variants), which moves the stamps
        // on once; the kept map already shows that state.
        const std::uint64_t stamps[2] = {Lumo::Graphics::ARenderNode::GraphStamp(),
                                         Lumo::Devices::ADeviceResource::ChangeStamp()};
        for (int i = 0; i < 2; ++i) {
            m_shadowKey[size_t(3 * i)] = float(stamps[i] & 0xFFFFFF);
            m_shadowKey[size_t(3 * i + 1)] = float((stamps[i] >> 24) & 0xFFFFFF);
            m_shadowKey[size_t(3 * i + 2)] = float(stamps[i] >> 48);
        }
    }
    m_restampShadowKey = false;
    return ok;
}

bool ViewFragmentPassRenderer::runCurrentPass(Lumo::Devices::ADrawContext& dc,
                                              Lumo::Graphics::ScriptInterpreter& interpreter) {
    Lumo::Devices::FragmentGraph* g = m_current;
    if (!g || !m_params)
        return true;
    // Ground shadows need the camera the pass is drawn with.
    if (m_params->renderer() <= 1 && m_params->groundPlaneEnabled() && m_params->renderGroundShadow()) {
        FragmentLibrary::setGroundShadowArgs(g, m_worldBox, *m_params, dc);
        keepShadowMap(dc);
    }
    auto* device = dynamic_cast<Lumo::Devices::GLDevice*>(dc.VirtualDevice());
    const int type = m_params->cacheSceneType();
    if (!device || m_cachingLevel <= 0 || !m_params->cacheTarget() || type < 1 || type > m_cachingLevel)
        return interpreter.Run(g);

    // What the pass's pixels depend on beyond the graph itself.
    std::vector<float> sig;
    sig.reserve(64);
    auto push = [&sig](std::uint64_t v) {
        sig.push_back(float(v & 0xFFFFFF));
        sig.push_back(float((v >> 24) & 0xFFFFFF));
        sig.push_back(float(v >> 48));
    };
    push(Lumo::Graphics::ARenderNode::GraphStamp());
    push(Lumo::Devices::ADeviceResource::ChangeStamp());
    push(reinterpret_cast<std::uintptr_t>(m_sceneNode.get()));
    push(reinterpret_cast<std::uintptr_t>(m_fragmentNode.get()));
    push(reinterpret_cast<std::uintptr_t>(m_environment));
    push(reinterpret_cast<std::uintptr_t>(g));
    for (const auto* m : {&dc.ViewMatrix(), &dc.ProjMatrix()})
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                sig.push_back(m->m[i][j]);
    for (int v : m_viewport)
        sig.push_back(float(v));
    sig.push_back(float(m_targetWidth));
    sig.push_back(float(m_targetHeight));
    const auto& lights = dc.Lights();
    sig.push_back(float(lights.size()));
    for (const auto& l : lights) {
        sig.push_back(float(l.type));
        sig.push_back(l.viewSpace ? 1.0f : 0.0f);
        for (const auto* v : {&l.color, &l.specular, &l.direction, &l.position, &l.attenuation})
            sig.insert(sig.end(), {v->x, v->y, v->z});
        sig.insert(sig.end(), {l.spotCosInner, l.spotCosOuter});
    }
    sig.insert(sig.end(), {dc.AmbientLight().x, dc.AmbientLight().y, dc.AmbientLight().z});
    sig.insert(sig.end(), m_frameSignature.begin(), m_frameSignature.end());
    for (const wchar_t c : m_lastRendererKey)
        sig.push_back(float(c));

    if (!m_cache)
        m_cache = std::make_unique<PassCache>();
    const void* key = m_params.get();
    if (m_cache->restore(key, sig, device->Draw(), m_color, m_depth)) {
        ++m_cachedPasses;
        return true;
    }
    if (!interpreter.Run(g))
        return false;
    m_cache->store(key, std::move(sig), *device, m_color, m_depth);
    return true;
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
    vec4<float> clear(0.914f, 0.914f, 0.914f, m_clearAlpha);
    if (p.environmentEnabled() && env) {
        const Brio::Color& c = env->backgroundColor();
        clear = {c.red(), c.green(), c.blue(), m_clearAlpha};
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
