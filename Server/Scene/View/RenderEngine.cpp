#include <Scene/View/RenderEngine.h>

#include <Scene/Change/NodeData.h>
#include <Scene/Change/ObjectManager.h>
#include <Scene/Change/SceneAttachment.h>
#include <Scene/Diagnostics/GraphicsDevice.h>
#include <Scene/Environment/Camera.h>
#include <Scene/Environment/Environment.h>
#include <Scene/Environment/LayoutGrid.h>
#include <Scene/Environment/Light.h>
#include <Scene/Environment/Lighting.h>
#include <Scene/Environment/Viewport.h>
#include <Scene/Persistence/SceneAssetAdapter.h>
#include <Scene/View/FragmentLibrary.h>
#include <Scene/View/FragmentParameters.h>
#include <Scene/View/GraphicsOptionGroup.h>
#include <Scene/View/RenderParams.h>
#include <Scene/View/SceneRenderSettings.h>
#include <Scene/View/ViewFragment.h>
#include <Scene/View/ViewFragmentNodeData.h>
#include <Scene/View/ViewFragmentPass.h>
#include <Scene/View/ViewFragmentPassRenderer.h>
#include <Scene/View/ViewNodeData.h>
#include <Scene/View/ViewNodes.h>
#include <Scene/View/ViewRenderer.h>

#include <Brio/Base/MemoryImageResource.h>
#include <Brio/Base/StringConversion.h>
#include <Brio/Types/Color.h>
#include <Lumo/Devices/ADepthStencilState.h>
#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/ARasterizerState.h>
#include <Lumo/Devices/DeviceCaches.h>
#include <Lumo/Devices/DrawManager.h>
#include <Lumo/Devices/FragmentGraph.h>
#include <Lumo/Devices/GLDevice.h>
#include <Lumo/Devices/IBLInstance.h>
#include <Lumo/Devices/RenderTarget.h>
#include <Lumo/Devices/StateSetter.h>
#include <Lumo/Devices/TargetCache.h>
#include <Lumo/Devices/WindowTarget.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Graphics/ScriptInterpreter.h>
#include <Lumo/Objects/SBox3.h>
#include <Lumo/Objects/SharedMatrix.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace Brio::Scene {

using Lumo::Devices::RenderTarget;
using Lumo::Objects::AutoPtr;
using Lumo::Objects::mat4;
using Lumo::Objects::vec3;
using Lumo::Objects::vec4;

namespace {

mat4<float> ToFloat(const mat4<double>& m) {
    mat4<float> r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = float(m.m[i][j]);
    return r;
}

vec3<float> Rgb(const Brio::Color& c) {
    return {c.red(), c.green(), c.blue()};
}

/// The box of what the view shows (its fragments' scenes), in world space.
Lumo::Objects::SBox3 ViewBox(Lumo::Graphics::GroupNode* viewNode) {
    Lumo::Objects::SBox3 box;
    if (viewNode)
        for (int i = 0; i < viewNode->ChildCount(); ++i)
            box.Extend(NodeData::subtreeBox(viewNode->Child(i)));
    return box;
}

} // namespace

RenderEngine::RenderEngine(ViewRenderer& owner, void* window)
    : m_owner(owner), m_window(window), m_passes(std::make_unique<ViewFragmentPassRenderer>()) {}

RenderEngine::~RenderEngine() {
    releaseTargets();
    m_passes->resetPassCache();
    m_passes->releaseGraphs();
    m_interpreter.reset();
}

bool RenderEngine::initialize() {
    Lumo::Devices::AVirtualDevice* any = GetDefaultLumoDevice(m_window);
    auto* gl = dynamic_cast<Lumo::Devices::GLDevice*>(any);
    if (!gl)
        return false;
    m_device = gl;
    m_dc = Lumo::Devices::ADrawContext::Make(gl);
    m_interpreter = std::make_unique<Lumo::Graphics::ScriptInterpreter>(*m_dc);
    m_fxaaGraph = FragmentLibrary::createFXAAEffectGraph();
    // Base states of every pass, the same each frame: solid, back faces culled, a little
    // slope bias so that edges drawn over faces win, depth less-or-equal.
    m_baseStates = Lumo::Devices::StateSetter::Make();
    AutoPtr<Lumo::Devices::ARasterizerState> raster(
        Lumo::Devices::ARasterizerState::Make(Lumo::Devices::eCullBack, Lumo::Devices::eFillSolid));
    raster->DepthBias(2);
    raster->SlopeScaledDepthBias(1.0f);
    m_baseStates->Rasterizer(raster);
    AutoPtr<Lumo::Devices::ADepthStencilState> depthState(
        Lumo::Devices::ADepthStencilState::Make(true, true, Lumo::Devices::eCompareLessEqual));
    m_baseStates->DepthStencil(depthState);
    if (m_window) {
        std::string error;
        m_windowTarget = Lumo::Devices::WindowTarget::Make(nullptr, reinterpret_cast<unsigned long>(m_window), &error);
    }
    return true;
}

Lumo::Devices::AVirtualDevice* RenderEngine::device() const {
    return m_device.get();
}

Lumo::Devices::ADrawContext* RenderEngine::drawContext() const {
    return m_dc.get();
}

int RenderEngine::sampleCount() const {
    return m_color ? m_color->Samples() : 0;
}

int RenderEngine::cachedPasses() const {
    return m_passes->cachedPasses();
}

void RenderEngine::releaseTargets() {
    if (!m_device)
        return;
    auto& cache = m_device->Targets();
    if (m_device->MakeCurrent())
        m_device->Draw().BindTargets(nullptr, nullptr);
    for (auto* t : {&m_color, &m_depth, &m_resolve}) {
        if (*t)
            cache.Release(*t);
        *t = nullptr;
    }
    m_width = m_height = 0;
    m_samples = 0;
    m_imageReady = false;
}

bool RenderEngine::beginDeviceFrame() {
    return m_device && m_device->MakeCurrent();
}

void RenderEngine::recover() {
    // A device that cannot draw may have lost what the graphs hold: start them over.
    m_passes->releaseGraphs();
    m_passes->resetPassCache();
    m_interpreter = std::make_unique<Lumo::Graphics::ScriptInterpreter>(*m_dc);
    ++m_refusedFrames;
}

void RenderEngine::updateTargets(int width, int height) {
    const int samples = m_msaa ? std::max(1, m_device->MultisampleCount()) : 1;
    // Windows and images draw off screen alike, so FXAA needs no targets of its own.
    if (m_color && width == m_width && height == m_height && samples == m_samples)
        return;
    releaseTargets();
    auto& cache = m_device->Targets();
    m_color = cache.Acquire(width, height, Lumo::Devices::eTargetRGBA8, samples);
    m_depth = cache.Acquire(width, height, Lumo::Devices::eTargetDepthStencil, samples);
    m_resolve = cache.Acquire(width, height, Lumo::Devices::eTargetRGBA8, 1);
    if (!m_color || !m_depth || !m_resolve) {
        releaseTargets();
        return;
    }
    m_width = width;
    m_height = height;
    m_samples = samples;
}

int RenderEngine::decideCachingLevel(unsigned type) const {
    const GraphicsOptionGroup* options = GraphicsOptionGroup::get();
    if (GetCardCertificationInfo(m_device).workarounds & CardCertificationInfo::kNoCaching)
        return 0;
    if (!options->optimizedRendering() || !options->cachingRenderingResult())
        return 0;
    if (double(m_frameRate) > options->minFPS())
        return 0;
    if (m_owner.interactive() || (type & 1))
        return 0;
    return (type & 6) ? 1 : 2;
}

void RenderEngine::frame(unsigned type) {
    if (!m_device)
        return;
    if (!beginDeviceFrame()) {
        recover();
        return;
    }
    ObjectManager::get()->syncChanges();

    Lumo::Graphics::GroupNode* viewNode = m_owner.viewNode();
    ViewNodeData* viewData = viewNode ? viewNodeData(viewNode) : nullptr;
    int width = 0, height = 0;
    if (viewData && viewData->viewport()) {
        width = int(std::lround(viewData->viewport()->width()));
        height = int(std::lround(viewData->viewport()->height()));
    } else if (m_windowTarget) {
        width = m_windowTarget->Width();
        height = m_windowTarget->Height();
    }
    if (width <= 0 || height <= 0)
        return; // nothing to draw into

    const GraphicsOptionGroup* options = GraphicsOptionGroup::get();
    m_msaa = !m_owner.interactive() && options->MSAA();
    m_fxaa = !m_owner.interactive() && !m_owner.savingImage() && options->FXAA();
    updateTargets(width, height);
    if (!m_color)
        return;

    auto& draw = m_device->Draw();
    // Textures nobody uses any more are let go once the cache grows past its budget.
    m_device->Caches()->Textures()->Limit(5000000);
    draw.BaseStates(m_baseStates);
    m_interpreter->BaseStates(m_baseStates);
    m_interpreter->DefaultTargets(m_color, m_depth);

    draw.BindTargets(m_color, m_depth);
    Brio::Color background = SceneRenderSettings::backgroundColor();
    vec4<float> clear(background.red(), background.green(), background.blue(), 1.0f);
    if (SceneRenderSettings::backgroundCycling())
        clear.x = SceneRenderSettings::nextCyclingRed();
    if (!m_window && options->transparentBackground())
        clear.w = 0.0f;
    draw.Viewport(0, 0, m_width, m_height);
    draw.Clear(Lumo::Devices::eClearColor | Lumo::Devices::eClearDepth | Lumo::Devices::eClearStencil, clear, 1.0f, 0);
    m_dc->ViewMatrix(mat4<float>());
    m_dc->ProjMatrix(mat4<float>());
    m_dc->Viewport(m_width, m_height);
    m_passes->frameSignature({clear.x, clear.y, clear.z, clear.w, float(m_samples)});
    m_passes->clearAlpha(clear.w);

    m_fragmentsDrawn = 0;
    RenderTarget* finished = m_color;
    if (viewNode) {
        runFragments(type);
        if (m_fxaa && m_fxaaGraph) {
            // FXAA samples a plain texture: a multisampled frame is resolved first.
            RenderTarget* input = m_color;
            AutoPtr<RenderTarget> plain;
            if (m_samples > 1) {
                plain = m_device->Targets().Acquire(m_width, m_height, Lumo::Devices::eTargetRGBA8, 1);
                if (plain && draw.Resolve(m_color, plain))
                    input = plain;
            }
            FragmentParameters::setArg(m_fxaaGraph.get(), L"input", input);
            FragmentParameters::setArg(m_fxaaGraph.get(), L"final", m_resolve.get());
            FragmentParameters::setArg(m_fxaaGraph.get(), L"finalDesc", m_resolve.get());
            m_interpreter->DefaultTargets(m_resolve, nullptr);
            if (input->Samples() == 1 && m_interpreter->Run(m_fxaaGraph))
                finished = m_resolve;
            m_interpreter->DefaultTargets(m_color, m_depth);
            if (plain)
                m_device->Targets().Release(plain);
        }
        m_fragments.clear();
    }
    m_interpreter->ReleaseLocalTargets();
    if (finished != m_resolve)
        draw.Resolve(m_color, m_resolve);
    draw.BindTargets(nullptr, nullptr);
    m_imageReady = true;
    if (m_windowTarget)
        m_windowTarget->Present(draw, m_resolve);
}

void RenderEngine::runFragments(unsigned type) {
    Lumo::Graphics::GroupNode* viewNode = m_owner.viewNode();
    auto& draw = m_device->Draw();
    m_cachingLevel = decideCachingLevel(type);
    m_passes->beginFrame();
    m_passes->targets(m_color, m_depth);
    m_passes->targetSize(m_width, m_height);
    const Lumo::Objects::SBox3 viewBox = ViewBox(viewNode);
    m_passes->worldBox(viewBox);

    m_fragments.clear();
    for (int i = 0; i < viewNode->ChildCount(); ++i)
        if (auto* group = dynamic_cast<Lumo::Graphics::GroupNode*>(viewNode->Child(i)))
            m_fragments.emplace_back(group);

    for (const auto& node : m_fragments) {
        if (m_owner.excludeViewFragment(node))
            continue;
        ViewFragmentNodeData* data = viewFragmentNodeData(node);
        if (!data)
            continue;
        ViewFragment* fragment = nullptr;
        if (INodeSource* source = data->source())
            fragment = static_cast<ViewFragment*>(source->queryInterface(ViewFragment::interfaceId()));
        m_passes->fragmentNode(node);
        m_passes->fxaaEnabled(m_fxaa);

        std::vector<ViewFragmentPass> passes;
        data->viewFragmentRenderingPass(passes);
        int cachedType = 0;
        for (const ViewFragmentPass& pass : passes)
            if (pass.renderParams && pass.renderParams->cacheTarget())
                cachedType = pass.renderParams->cacheSceneType();
        m_passes->cachingLevel(std::min(m_cachingLevel, cachedType));

        draw.BindTargets(m_color, m_depth);
        const bool independent = data->independent();
        if (independent)
            draw.Clear(Lumo::Devices::eClearDepth | Lumo::Devices::eClearStencil, {0, 0, 0, 0}, 1.0f, 0);

        // The fragment's part of the frame, in pixels from the bottom left.
        double x0 = 0, y0 = 0, x1 = m_width, y1 = m_height;
        if (Viewport* vp = data->viewport().getTarget()) {
            const double w = x1 - x0, h = y1 - y0;
            if (vp->space() == Viewport::eRelative) {
                x1 = x0 + vp->right() * w;
                y1 = y0 + vp->top() * h;
                x0 = x0 + vp->left() * w;
                y0 = y0 + vp->bottom() * h;
            } else if (vp->space() == Viewport::eAbsolute) {
                const double ax0 = std::max(vp->left(), x0), ay0 = std::max(vp->bottom(), y0);
                const double ax1 = std::min(vp->right(), x1), ay1 = std::min(vp->top(), y1);
                x0 = ax0, y0 = ay0, x1 = ax1, y1 = ay1;
            }
        }
        const int px = std::max(0, int(std::lround(x0))), py = std::max(0, int(std::lround(y0)));
        const int pw = int(std::lround(x1)) - px, ph = int(std::lround(y1)) - py;
        if (pw < 1 || ph < 1)
            continue; // the fragment has no pixels in this frame
        draw.Viewport(px, py, pw, ph);
        m_interpreter->DefaultViewport(px, py, pw, ph);
        m_passes->viewport(px, py, pw, ph);
        m_dc->Viewport(pw, ph);

        const mat4<float> savedView = m_dc->ViewMatrix(), savedProj = m_dc->ProjMatrix();
        mat4<float> passView, passProj;
        for (size_t i = 0; i < passes.size(); ++i) {
            m_passes->makePassCurrent(passes[i], *m_dc);
            if (i == 0) {
                realizeLighting(*data);
                setCamera(*data, independent, pw, ph);
                if (Environment* env = m_passes->environment())
                    if (LayoutGrid* grid = env->layoutGrid())
                        if (Camera* camera = data->camera().getTarget())
                            grid->setup(camera, viewBox, m_window);
                passView = m_dc->ViewMatrix();
                passProj = m_dc->ProjMatrix();
                // Picks in this fragment look through the camera it was last drawn with.
                AutoPtr<Lumo::Objects::SharedMatrix> v(Lumo::Objects::SharedMatrix::Make(passView));
                AutoPtr<Lumo::Objects::SharedMatrix> p(Lumo::Objects::SharedMatrix::Make(passProj));
                data->updateRenderCamera(v, p);
                if (passes[i].renderParams)
                    m_passes->interactiveRendering(passes[i].renderParams->interactiveRendering());
            } else {
                m_dc->ViewMatrix(passView);
                m_dc->ProjMatrix(passProj);
            }
            AutoPtr<Lumo::Devices::ADrawContext> second(Lumo::Devices::ADrawContext::Make(m_device));
            second->CopyView(*m_dc);
            AutoPtr<SceneAttachment> attachment(SceneAttachment::make());
            attachment->renderParams = passes[i].renderParams.get();
            if (passes[i].renderParams) {
                attachment->visualStyle = passes[i].renderParams->visualStyle();
                attachment->colorCyclingEnabled = passes[i].renderParams->colorCyclingEnabled();
            }
            attachment->sceneNode = viewNode;
            attachment->secondContext = second;
            attachment->viewport = m_passes.get();
            attachment->context = m_dc;
            SceneAttachment::attach(*m_dc, attachment);
            draw.Viewport(px, py, pw, ph);
            m_passes->runPass(*m_dc, *m_interpreter);
            SceneAttachment::attach(*m_dc, nullptr);
        }
        m_dc->ViewMatrix(savedView);
        m_dc->ProjMatrix(savedProj);
        if (fragment) {
            draw.Viewport(0, 0, m_width, m_height);
            draw.Flush(*m_dc);
        }
        draw.Viewport(0, 0, m_width, m_height);
        ++m_fragmentsDrawn;
    }
    m_interpreter->DefaultViewport(0, 0, 0, 0);
}

void RenderEngine::fitClipRange(Camera& camera, const Lumo::Objects::SBox3& worldBox, bool grid) {
    Lumo::Objects::SBox3 box = worldBox;
    // The box in camera space (right-handed, looking along -z).
    const ZoGeMatrix3d view = camera.getViewMatrix();
    double zmin = std::numeric_limits<double>::max(), zmax = -zmin;
    if (box.IsEmpty()) {
        box.Extend(vec3<double>(-10, -10, -10));
        box.Extend(vec3<double>(10, 10, 10));
        for (int i = 0; i < 8; ++i) {
            ZoGePoint3d p((i & 1) ? 10 : -10, (i & 2) ? 10 : -10, (i & 4) ? 10 : -10);
            zmin = std::min(zmin, p.z), zmax = std::max(zmax, p.z);
        }
    } else {
        for (int i = 0; i < 8; ++i) {
            ZoGePoint3d p((i & 1) ? box.Max().x : box.Min().x, (i & 2) ? box.Max().y : box.Min().y,
                          (i & 4) ? box.Max().z : box.Min().z);
            p.transformBy(view);
            zmin = std::min(zmin, p.z), zmax = std::max(zmax, p.z);
        }
        if (zmax - zmin < 1e-12)
            zmin -= 10, zmax += 10; // a single point
    }
    double nearD = -zmax, farD = -zmin;
    const double depth = std::max(farD - nearD, 1.0);
    if (!grid) {
        nearD -= 2 * depth;
        farD += 2 * depth;
    }
    if (camera.projection() == Camera::ePerspective) {
        // Everything behind the eye still needs a valid frustum in front of it.
        if (farD <= 0)
            farD = depth;
        nearD = std::max(nearD, farD / SceneRenderSettings::maxNearFarRatio());
    }
    camera.clipNear(nearD);
    camera.clipFar(farD);
}

void RenderEngine::setCamera(ViewFragmentNodeData& data, bool independent, int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    Camera* camera = data.camera().getTarget();
    if (!camera)
        return;
    if (camera->projection() == Camera::eNoProjection) {
        // Pixels to the unit square.
        mat4<float> view;
        view.m[0][0] = 2.0f / float(width);
        view.m[1][1] = 2.0f / float(height);
        view.m[3][0] = -1.0f;
        view.m[3][1] = -1.0f;
        m_dc->ViewMatrix(view);
        m_dc->ProjMatrix(mat4<float>());
        return;
    }
    if (independent) {
        Lumo::Objects::SBox3 box = m_passes->worldBox();
        Environment* env = m_passes->environment();
        LayoutGrid* grid = env ? env->layoutGrid() : nullptr;
        if (grid && grid->getRootNode())
            box.Extend(NodeData::subtreeBox(grid->getRootNode()));
        if (SceneAssetAdapter* adapter = data.sceneAssetAdapter())
            if (Lumo::Graphics::GroupNode* edit = adapter->activeEditScene()) {
                const Lumo::Objects::SBox3 editBox = NodeData::subtreeBox(edit);
                if (!editBox.IsEmpty() && !(box.Contains(editBox.Min()) && box.Contains(editBox.Max()))) {
                    box.Extend(editBox);
                    m_passes->cachingLevel(0);
                }
            }
        fitClipRange(*camera, box, grid != nullptr);
    }
    m_dc->ViewMatrix(ToFloat(camera->getDeviceViewMatrix()));
    m_dc->ProjMatrix(ToFloat(camera->getDeviceProjectionMatrix(double(width) / double(height))));
}

void RenderEngine::realizeLighting(ViewFragmentNodeData& data) {
    auto& lights = m_dc->Lights();
    lights.clear();
    Lighting* lighting = data.lighting().getTarget();
    if (Environment* env = m_passes->environment())
        if (Lighting* aux = env->auxLighting())
            lighting = aux;
    Camera* camera = data.camera().getTarget();
    vec3<float> ambient(0, 0, 0);
    bool any = false;
    if (lighting) {
        for (int i = 0; i < lighting->lightCount(); ++i) {
            Brio::StrongRef<Light> light = lighting->getLight(i);
            if (!light)
                continue;
            Lumo::Devices::SDrawLight l;
            l.type = light->lightType() == Light::ePoint  ? Lumo::Devices::eLightPoint
                     : light->lightType() == Light::eSpot ? Lumo::Devices::eLightSpot
                                                          : Lumo::Devices::eLightDirectional;
            l.color = Rgb(light->diffuseColor());
            l.specular = Rgb(light->specularColor());
            ambient = ambient + Rgb(light->ambientColor());
            l.viewSpace = false; // carried into the world here, with this frame's camera
            const ZoGeVector3d d = light->worldDirection(camera);
            const ZoGePoint3d p = light->worldPosition(camera);
            l.direction = {float(d.x), float(d.y), float(d.z)};
            l.position = {float(p.x), float(p.y), float(p.z)};
            l.attenuation = {1, 0, 0};
            if (light->lightType() != Light::eDirectional) {
                float c = 1, lin = 0, q = 0;
                light->getAttenuation(c, lin, q);
                l.attenuation = {c, lin, q};
            }
            if (light->lightType() == Light::eSpot) {
                float inner = 0, outer = 0;
                light->getSpotCone(inner, outer);
                l.spotCosInner = std::cos(inner);
                l.spotCosOuter = std::cos(outer);
            }
            lights.push_back(l);
            any = true;
        }
    }
    Environment* env = m_passes->environment();
    Lumo::Devices::IBLInstance* ibl = env ? env->iblInstance() : nullptr;
    m_dc->ImageBasedLighting(ibl);
    // The environment's light is the ambient light where it has one; lights' own ambient
    // colours (as bright as their diffuse ones) would wash every face out, so they are kept to
    // a fill. Without lights a view keeps the device's rig and its ambient.
    const float fill = 0.3f;
    if (ibl && !ibl->IsEmpty())
        m_dc->AmbientLight({0, 0, 0});
    else if (any)
        m_dc->AmbientLight({std::min(ambient.x, fill), std::min(ambient.y, fill), std::min(ambient.z, fill)});
    else
        m_dc->AmbientLight({0.25f, 0.25f, 0.25f});
}

bool RenderEngine::readPixels(std::vector<std::uint8_t>& rgba, int& width, int& height) {
    if (!m_device || !m_resolve || !m_imageReady)
        return false;
    if (!m_device->Draw().ReadPixels(m_resolve, rgba))
        return false;
    width = m_width;
    height = m_height;
    return true;
}

bool RenderEngine::writePng(const std::string& utf8Path) {
    if (!m_device || !m_resolve || !m_imageReady)
        return false;
    return m_device->Draw().SavePng(m_resolve, utf8Path);
}

Brio::StrongRef<Brio::MemoryImageResource> RenderEngine::readImage() {
    std::vector<std::uint8_t> rgba;
    int width = 0, height = 0;
    if (!readPixels(rgba, width, height))
        return {};
    return Brio::MemoryImageResource::make(width, height, Brio::MemoryImageResource::eRGBA8, width * 4,
                                           std::move(rgba));
}

bool RenderEngine::writeImage(const std::wstring& path) {
    return writePng(Brio::Utility::toUtf8(path));
}

} // namespace Brio::Scene
