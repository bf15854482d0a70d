// Frames of generated assemblies (parts x triangles per part x instances) drawn by a view's image
// renderer at 1280 x 800, set up as a host sets up a view: a plain look, the default look, and a
// redraw served from the pass cache. Each is compared with a floor measured in the same run: the
// same meshes and instances queued straight to the device's draw manager, with no scene graph.
// Frame times include the device's work (each frame ends with a finish); cpu_ms is the processor
// time of the whole process, the software device's threads too. Every heap allocation is counted
// (global operator new and the graphics heap).
// VIEWBENCH_IMAGES=<directory> also writes each case's last frame as a PNG, to see what is timed.
#include <Brio/Brio.h>
#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/DrawManager.h>
#include <Lumo/Devices/GLDevice.h>
#include <Lumo/Devices/IndexBufferBuilder.h>
#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Devices/RenderTarget.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Devices/SolidEffectInstance.h>
#include <Lumo/Devices/VertexBufferBuilder.h>
#include <Lumo/Devices/VertexFormat.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Objects/HeapOperators.h>
#include <Lumo/Objects/SBox3.h>
#include <Lumo/Objects/SharedMatrix.h>
#include <Scene/Scene.h>
#include <ZoGe/ZoGe.h>

#include "../tests/Scene/Walk/CountingNew.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Lumo::Devices::IndexBufferBuilder;
using Lumo::Devices::SimpleMesh;
using Lumo::Devices::VertexBufferBuilder;
using Lumo::Objects::AutoPtr;
using Lumo::Objects::mat4;
using Lumo::Objects::vec3;
using Lumo::Objects::vec4;

constexpr int kWidth = 1280, kHeight = 800;

/// Every heap allocation so far on this thread (where frames are made): through operator new,
/// and the graphics heap's own blocks.
std::uint64_t Allocations() {
    return std::uint64_t(CountingNew::allocations) + std::uint64_t(Lumo::Objects::HeapOperators::Stats().totalBlocks);
}

/// Faces and feature edges of one part.
struct Part {
    AutoPtr<SimpleMesh> faces, edges;
};

/// A closed torus of about `triangles` triangles with per-vertex normals, and a few feature
/// lines (four rings and four meridians); part p gets its own radii, stretch and tilt.
Part MakePart(int p, int triangles) {
    using namespace Lumo::Devices;
    const int minor = std::max(3, int(std::sqrt(triangles / 4.0))), major = std::max(3, triangles / 2 / minor);
    const float R = 0.45f + 0.04f * float(p % 7), r = 0.1f + 0.03f * float(p % 5);
    const float sx = 1.0f + 0.04f * float(p % 3), sz = 1.0f - 0.05f * float(p % 4), tilt = 0.2f * float(p % 4);
    const float ct = std::cos(tilt), st = std::sin(tilt), pi = 3.14159265f;
    auto turn = [&](vec3<float> v) { return vec3<float>(v.x, v.y * ct - v.z * st, v.y * st + v.z * ct); };
    auto at = [&](float u, float v) {
        const float d = R + r * std::cos(v);
        return turn({sx * d * std::cos(u), r * std::sin(v), sz * d * std::sin(u)});
    };
    auto normal = [&](float u, float v) {
        // The stretch's inverse transpose keeps normals perpendicular to the stretched surface.
        const vec3<float> n(std::cos(v) * std::cos(u) / sx, std::sin(v), std::cos(v) * std::sin(u) / sz);
        return turn(n.Normalized());
    };
    VertexBufferBuilder vb(AutoPtr<VertexFormat>(VertexFormat::Make(eVertexPosition | eVertexNormal)));
    for (int i = 0; i <= major; ++i)
        for (int j = 0; j <= minor; ++j) {
            const float u = 2 * pi * float(i) / float(major), v = 2 * pi * float(j) / float(minor);
            vb.AddVertex(at(u, v), normal(u, v));
        }
    IndexBufferBuilder ib;
    // Counter-clockwise seen from outside.
    for (int i = 0; i < major; ++i)
        for (int j = 0; j < minor; ++j) {
            const std::uint32_t a = std::uint32_t(i * (minor + 1) + j), b = a + std::uint32_t(minor + 1);
            ib.AddTriangle(a, a + 1, b);
            ib.AddTriangle(a + 1, b + 1, b);
        }
    VertexBufferBuilder eb(AutoPtr<VertexFormat>(VertexFormat::Make(eVertexPosition)));
    IndexBufferBuilder el;
    auto loop = [&](int segments, auto point) {
        const int base = eb.VertexCount();
        for (int k = 0; k < segments; ++k)
            eb.AddVertex(point(2 * pi * float(k) / float(segments)));
        for (int k = 0; k < segments; ++k)
            el.AddLine(std::uint32_t(base + k), std::uint32_t(base + (k + 1) % segments));
    };
    for (float v : {0.0f, pi / 2, pi, 3 * pi / 2})
        loop(major, [&](float u) { return at(u, v); });
    for (float u : {0.0f, pi / 2, pi, 3 * pi / 2})
        loop(minor, [&](float v) { return at(u, v); });
    return {AutoPtr<SimpleMesh>(SimpleMesh::Make(vb, ib)),
            AutoPtr<SimpleMesh>(SimpleMesh::Make(eb, el, ePrimLineList))};
}

/// The meshes of an assembly's parts, made once per process so that every case draws the same
/// (already uploaded) buffers.
const std::vector<Part>& Parts(int parts, int triangles) {
    static std::map<std::pair<int, int>, std::vector<Part>> made;
    std::vector<Part>& list = made[{parts, triangles}];
    if (list.empty())
        for (int p = 0; p < parts; ++p)
            list.push_back(MakePart(p, triangles));
    return list;
}

int Side(int instances) {
    return int(std::ceil(std::sqrt(double(instances))));
}

mat4<float> Placement(int i, int side) {
    const float x = float(i % side) * 2.0f, z = float(i / side) * 2.0f;
    return mat4<float>::Rotation({0, 1, 0}, 0.37f * float(i)) * mat4<float>::Translation({x, 0, z});
}

vec4<float> ColourOf(int i) {
    return {0.35f + 0.5f * float((i * 37) % 11) / 10.0f, 0.35f + 0.5f * float((i * 17) % 7) / 6.0f,
            0.35f + 0.5f * float((i * 7) % 5) / 4.0f, 1.0f};
}

Lumo::Objects::SBox3 GridBox(int instances) {
    const int side = Side(instances), rows = (instances + side - 1) / side;
    Lumo::Objects::SBox3 box;
    box.Extend(vec3<double>(-1.1, -1.1, -1.1));
    box.Extend(vec3<double>(2.0 * (side - 1) + 1.1, 1.1, 2.0 * (rows - 1) + 1.1));
    return box;
}

/// The host's node tree: instances (1) on a grid, each with its own transform and colour over its
/// part's component (2), which every instance of the part shares; the component holds one body (8)
/// of faces (16) and edges (32).
AutoPtr<Lumo::Graphics::GroupNode> BuildScene(const std::vector<Part>& parts, int instances) {
    using namespace Lumo::Scene;
    using Brio::Scene::NodeData;
    std::vector<AutoPtr<Lumo::Graphics::GroupNode>> components;
    for (const Part& part : parts) {
        AutoPtr<Lumo::Graphics::GroupNode> component = MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, false);
        NodeData::make(component, nullptr, eGroupNode, false)->clientType(2);
        AutoPtr<Lumo::Graphics::GroupNode> body = MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, false);
        NodeData::make(body, nullptr, eGroupNode, false)->clientType(8);
        AutoPtr<Lumo::Graphics::GeometryNode> faces = MakeGeometryNode(false);
        NodeData::make(faces, nullptr, eGeometryNode, false)->clientType(16);
        faces->RenderGeometry(part.faces);
        AutoPtr<Lumo::Graphics::GeometryNode> edges = MakeGeometryNode(false);
        NodeData::make(edges, nullptr, eGeometryNode, false)->clientType(32);
        edges->RenderGeometry(part.edges);
        body->AddChild(faces);
        body->AddChild(edges);
        component->AddChild(body);
        components.push_back(component);
    }
    AutoPtr<Lumo::Graphics::GroupNode> root = MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, false);
    NodeData::make(root, nullptr, eGroupNode, false);
    const int side = Side(instances);
    for (int i = 0; i < instances; ++i) {
        AutoPtr<Lumo::Graphics::GroupNode> inst = MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, false);
        NodeData::make(inst, nullptr, eGroupNode, false)->clientType(1);
        AttributeSet* set = GetAttributeSet(inst);
        set->SetAttribute(AutoPtr<Attribute>(TransformAttribute::Make(Placement(i, side), false)));
        set->SetAttribute(AutoPtr<Attribute>(ColorEffectAttribute::Make(ColourOf(i))));
        inst->AddChild(components[size_t(i) % components.size()]);
        root->AddChild(inst);
    }
    return root;
}

/// Looks at the grid from above and in front, fitted as the host's demo fits its camera.
void FitCamera(Brio::Scene::Camera& camera, const Lumo::Objects::SBox3& box) {
    const auto centre = box.Center();
    const float radius = float(box.Size().Length() / 2);
    const ZoGePoint3d target(centre.x, 0.0, centre.z);
    camera.projection(Brio::Scene::Camera::ePerspective);
    camera.target(target);
    camera.position(target + ZoGeVector3d(0.55, 0.75, 1.0).normal() * (radius * 2.1));
    camera.up(ZoGeVector3d(0, 1, 0));
    camera.fit(Brio::BBox(Brio::Point3f(float(box.Min().x), float(box.Min().y), float(box.Min().z)),
                          Brio::Point3f(float(box.Max().x), float(box.Max().y), float(box.Max().z))));
    camera.zoom(0.78);
}

mat4<float> ToFloat(const mat4<double>& m) {
    mat4<float> r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = float(m.m[i][j]);
    return r;
}

enum class Look { Plain, Default, Cached };

/// The process-wide graphics options of a look; everything else that changes the picture is
/// pinned so that a user's saved preferences do not change what is measured.
void ApplyOptions(Look look) {
    using Brio::Scene::GraphicsOptionGroup;
    GraphicsOptionGroup* o = GraphicsOptionGroup::get();
    static const double defaultMinFPS = o->minFPS();
    const bool plain = look == Look::Plain;
    o->visualStyle(2);
    o->NPREffect(0);
    o->objectShadowType(0);
    o->ambientOccludedEnabled(false);
    o->groundReflectionEnabled(false);
    o->displaySilhouette(false);
    o->environmentID(L"SkyRoom");
    o->MSAA(!plain);
    o->FXAA(!plain);
    o->groundShadowEnabled(!plain);
    o->displayGroundPlane(!plain);
    o->optimizedRendering(look == Look::Cached);
    o->cachingRenderingResult(look == Look::Cached);
    o->minFPS(look == Look::Cached ? 1000.0 : defaultMinFPS);
}

/// One view of one fragment showing the assembly, as a host keeps them, with its image renderer.
class View {
public:
    View(AutoPtr<Lumo::Graphics::GroupNode> root, const Lumo::Objects::SBox3& box, Look look)
        : m_root(std::move(root)), m_document(Brio::Asset::make(L"ViewBench")), m_adapter(m_document.getTarget()) {
        using namespace Brio::Scene;
        ApplyOptions(look);
        Brio::Segment* segment = m_document->createSegment(L"Views");
        m_camera = Camera::make(segment);
        FitCamera(*m_camera, box);
        m_fragment = ViewFragment::make(segment);
        m_fragment->camera(m_camera);
        if (look == Look::Plain) {
            // The model pass's own parameters: the shaded model alone, without the environment.
            AutoPtr<RenderParams> params(RenderParams::make());
            params->renderer(eRendererVisualEffect);
            params->environmentEnabled(false);
            params->transparentCollectionEnabled(false);
            m_fragment->scene(m_root, params.get());
        } else {
            m_adapter.scene(m_root);
            m_fragment->scene(&m_adapter);
        }
        m_view = makeViewNode(nullptr);
        m_window = Viewport::make(segment);
        m_window->set(0, kWidth, 0, kHeight);
        viewNodeData(m_view)->viewport(m_window);
        m_view->AddChild(m_fragment->viewFragmentNode());
        m_renderer = Provider::provider()->requestViewRenderer(m_view, nullptr);
    }
    ~View() {
        Brio::Scene::Provider::provider()->releaseViewRenderer(m_renderer);
        m_view->RemoveChild(m_fragment->viewFragmentNode());
    }
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    Brio::Scene::RenderEngine& Engine() const {
        return static_cast<Brio::Scene::ViewRendererForImage*>(m_renderer)->engine();
    }
    Lumo::Devices::GLDevice* Device() const { return static_cast<Lumo::Devices::GLDevice*>(Engine().device()); }
    /// One frame of invalidate bits type, finished on the device.
    void Frame(unsigned type) {
        m_renderer->render(type);
        Device()->Draw().Finish();
    }
    void Save(const std::string& name) const {
        if (const char* dir = std::getenv("VIEWBENCH_IMAGES"))
            m_renderer->writeImage(Brio::Utility::toWide(std::string(dir) + "/" + name + ".png"));
    }

private:
    AutoPtr<Lumo::Graphics::GroupNode> m_root;
    Brio::StrongRef<Brio::Asset> m_document;
    Brio::Scene::SceneAssetAdapter m_adapter;
    Brio::StrongRef<Brio::Scene::Camera> m_camera;
    Brio::StrongRef<Brio::Scene::ViewFragment> m_fragment;
    Brio::StrongRef<Brio::Scene::Viewport> m_window;
    AutoPtr<Lumo::Graphics::GroupNode> m_view;
    Brio::Scene::ViewRenderer* m_renderer = nullptr;
};

void Initialize() {
    static const bool done = [] {
        Brio::Scene::Provider::provider()->initialize();
        return true;
    }();
    (void)done;
}

using Key = std::tuple<int, int, int>;

Key KeyOf(const benchmark::State& state) {
    return {int(state.range(0)), int(state.range(1)), int(state.range(2))};
}

std::string NameOf(const char* look, const Key& k) {
    return std::string(look) + "-" + std::to_string(std::get<0>(k)) + "x" + std::to_string(std::get<1>(k)) + "x" +
           std::to_string(std::get<2>(k));
}

/// Milliseconds per frame: wall time, and the process's processor time, which takes in the
/// software device's own threads and moves less than wall time on a shared machine.
struct Cost {
    double wall = 0, cpu = 0;
};

double ProcessCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) * 1e-6;
}

/// The floor's cost per frame, by assembly, for the ratios of the view cases.
std::map<Key, Cost>& FloorCost() {
    static std::map<Key, Cost> cost;
    return cost;
}

/// The floor: every instance's faces and edges as one render item each (its world matrix; a lit
/// solid colour shared by instances of one colour, unlit black for edges), queued to the device's
/// draw manager and flushed into a 1280 x 800 target with the view's camera, lights and ambient.
class Floor {
public:
    Floor(Lumo::Devices::GLDevice* device, const Key& k) : m_device(device) {
        using namespace Lumo::Devices;
        const auto [parts, triangles, instances] = k;
        const std::vector<Part>& meshes = Parts(parts, triangles);
        const int side = Side(instances);
        AutoPtr<SolidEffectInstance> edgeColour(SolidEffectInstance::Make(device));
        edgeColour->Color(vec4<float>(0, 0, 0, 1));
        edgeColour->Lighting(false);
        std::map<std::tuple<float, float, float>, AutoPtr<SolidEffectInstance>> colours;
        for (int i = 0; i < instances; ++i) {
            const vec4<float> c = ColourOf(i);
            AutoPtr<SolidEffectInstance>& effect = colours[{c.x, c.y, c.z}];
            if (!effect) {
                effect = SolidEffectInstance::Make(device);
                effect->Color(c);
            }
            AutoPtr<Lumo::Objects::SharedMatrix> world(Lumo::Objects::SharedMatrix::Make(Placement(i, side)));
            const Part& part = meshes[size_t(i % parts)];
            m_items.emplace_back(RenderItem::Make(part.faces, effect, world));
            AutoPtr<RenderItem> edges(RenderItem::Make(part.edges, edgeColour, world));
            edges->DepthPriority(1);
            m_items.push_back(edges);
        }
        m_color = RenderTarget::Make(kWidth, kHeight, eTargetRGBA8, 1);
        m_depth = RenderTarget::Make(kWidth, kHeight, eTargetDepthStencil, 1);
        m_dc = ADrawContext::Make(device);
        // The camera the view fits, with the clip range the engine gives it for this box.
        Brio::StrongRef<Brio::Asset> document = Brio::Asset::make(L"ViewBenchFloor");
        Brio::StrongRef<Brio::Scene::Camera> camera = Brio::Scene::Camera::make(document->createSegment(L"Views"));
        const Lumo::Objects::SBox3 box = GridBox(instances);
        FitCamera(*camera, box);
        const ZoGeMatrix3d view = camera->getViewMatrix();
        double zmin = 1e300, zmax = -1e300;
        for (int i = 0; i < 8; ++i) {
            ZoGePoint3d p((i & 1) ? box.Max().x : box.Min().x, (i & 2) ? box.Max().y : box.Min().y,
                          (i & 4) ? box.Max().z : box.Min().z);
            p.transformBy(view);
            zmin = std::min(zmin, p.z), zmax = std::max(zmax, p.z);
        }
        const double depth = std::max(zmax - zmin, 1.0), farD = -zmin + 2 * depth;
        camera->clipNear(std::max(-zmax - 2 * depth, farD / Brio::Scene::SceneRenderSettings::maxNearFarRatio()));
        camera->clipFar(farD);
        m_dc->ViewMatrix(ToFloat(camera->getDeviceViewMatrix()));
        m_dc->ProjMatrix(ToFloat(camera->getDeviceProjectionMatrix(double(kWidth) / double(kHeight))));
        m_dc->Viewport(kWidth, kHeight);
    }

    void Frame() {
        auto& draw = m_device->Draw();
        m_device->MakeCurrent();
        draw.BindTargets(m_color, m_depth);
        draw.BaseStates(nullptr);
        draw.Clear(Lumo::Devices::eClearColor | Lumo::Devices::eClearDepth | Lumo::Devices::eClearStencil,
                   {0.914f, 0.914f, 0.914f, 1});
        draw.BeginScene();
        for (const auto& item : m_items)
            draw.Draw(item);
        draw.Flush(*m_dc);
        draw.Finish();
    }
    void Save(const std::string& name) {
        if (const char* dir = std::getenv("VIEWBENCH_IMAGES"))
            m_device->Draw().SavePng(m_color, std::string(dir) + "/" + name + ".png");
    }

private:
    Lumo::Devices::GLDevice* m_device;
    std::vector<AutoPtr<Lumo::Devices::RenderItem>> m_items;
    AutoPtr<Lumo::Devices::RenderTarget> m_color, m_depth;
    AutoPtr<Lumo::Devices::ADrawContext> m_dc;
};

/// Times frames in the benchmark's loop: processor time, allocations and draw calls per frame as
/// counters; answers the mean cost of a frame.
template <class F> Cost TimeFrames(benchmark::State& state, F&& frame, Lumo::Devices::DrawManager& draw) {
    std::uint64_t allocations = 0, draws = 0, frames = 0;
    Cost total;
    for (auto _ : state) {
        draw.ResetStats();
        const std::uint64_t before = Allocations();
        const double cpu0 = ProcessCpuMs();
        const auto t0 = std::chrono::steady_clock::now();
        frame();
        const auto t1 = std::chrono::steady_clock::now();
        total.cpu += ProcessCpuMs() - cpu0;
        allocations += Allocations() - before;
        draws += draw.Stats().drawCalls;
        ++frames;
        const double s = std::chrono::duration<double>(t1 - t0).count();
        total.wall += 1000.0 * s;
        state.SetIterationTime(s);
    }
    if (!frames)
        return total;
    state.counters["allocs/frame"] = double(allocations) / double(frames);
    state.counters["draws/frame"] = double(draws) / double(frames);
    state.counters["cpu_ms"] = total.cpu / double(frames);
    return {total.wall / double(frames), total.cpu / double(frames)};
}

/// The floor's cost for this assembly: the one measured by its own case, or a few frames now.
Cost FloorFor(Lumo::Devices::GLDevice* device, const Key& k) {
    auto found = FloorCost().find(k);
    if (found != FloorCost().end())
        return found->second;
    Floor floor(device, k);
    floor.Frame();
    floor.Frame();
    const double cpu0 = ProcessCpuMs();
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < 2; ++i)
        floor.Frame();
    const double wall = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    return FloorCost()[k] = {wall / 2, (ProcessCpuMs() - cpu0) / 2};
}

void BM_Floor(benchmark::State& state) {
    Initialize();
    const Key k = KeyOf(state);
    // The shared device every view renderer draws with.
    auto* device = dynamic_cast<Lumo::Devices::GLDevice*>(Brio::Scene::GetDefaultLumoDevice(nullptr));
    if (!device) {
        state.SkipWithError("no graphics device");
        return;
    }
    Floor floor(device, k);
    // Uploads, programs and the driver's shader variants, some of which it makes on a second frame.
    floor.Frame();
    floor.Frame();
    auto frame = [&] { floor.Frame(); };
    FloorCost()[k] = TimeFrames(state, frame, device->Draw());
    floor.Save(NameOf("floor", k));
}

void ViewCase(benchmark::State& state, Look look) {
    Initialize();
    const Key k = KeyOf(state);
    const auto [parts, triangles, instances] = k;
    View view(BuildScene(Parts(parts, triangles), instances), GridBox(instances), look);
    Lumo::Devices::GLDevice* device = view.Device();
    if (!device) {
        state.SkipWithError("no graphics device");
        return;
    }
    const Cost floor = FloorFor(device, k);
    // A full redraw each frame; the cached case redraws an unchanged scene, each time after a
    // frame that left its picture in the pass cache.
    const unsigned type =
        look == Look::Cached ? Brio::Scene::ViewRenderer::eInvalidateNone : Brio::Scene::ViewRenderer::eInvalidateAll;
    // Uploads, programs, the environment, the driver's shader variants; the pass cache fills.
    view.Frame(type);
    view.Frame(type);
    auto frame = [&] { view.Frame(type); };
    const Cost cost = TimeFrames(state, frame, device->Draw());
    const Brio::Scene::RenderEngine& engine = view.Engine();
    state.counters["floor_ms"] = floor.wall;
    state.counters["x_floor"] = cost.wall / floor.wall;
    state.counters["x_floor_cpu"] = cost.cpu / floor.cpu;
    state.counters["samples"] = engine.sampleCount();
    state.counters["fxaa"] = engine.fxaa() ? 1 : 0;
    if (look == Look::Cached) {
        state.counters["cachedPasses"] = engine.cachedPasses();
        state.counters["cachingLevel"] = engine.cachingLevel();
    }
    view.Save(NameOf(look == Look::Plain ? "plain" : look == Look::Default ? "default" : "cached", k));
}

void BM_Plain(benchmark::State& state) {
    ViewCase(state, Look::Plain);
}
void BM_Default(benchmark::State& state) {
    ViewCase(state, Look::Default);
}
void BM_CachedRedraw(benchmark::State& state) {
    ViewCase(state, Look::Cached);
}

// Grouped by assembly so that each view case follows its floor. The 2 x 100 x 4 assembly is the
// smoke run's.
const bool registered = [] {
    const Key sizes[] = {{2, 100, 4}, {10, 1000, 1000}, {100, 10000, 1000}};
    const std::pair<const char*, void (*)(benchmark::State&)> cases[] = {
        {"Floor", BM_Floor}, {"Plain", BM_Plain}, {"Default", BM_Default}, {"CachedRedraw", BM_CachedRedraw}};
    for (const auto& [p, t, n] : sizes)
        for (const auto& [name, fn] : cases)
            benchmark::RegisterBenchmark(name, fn)->Args({p, t, n})->Iterations(3)->UseManualTime()->Unit(
                benchmark::kMillisecond);
    return true;
}();

} // namespace
