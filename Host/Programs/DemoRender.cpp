// The sample host's render path: an assembly of a few parts, each a body with faces and edges,
// placed many times, drawn off screen through the scene library's fragment graphs.
#include "DemoRender.h"

#include <Brio/Brio.h>
#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/DrawManager.h>
#include <Lumo/Devices/FragmentGraph.h>
#include <Lumo/Devices/GLDevice.h>
#include <Lumo/Devices/IndexBufferBuilder.h>
#include <Lumo/Devices/RenderTarget.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Devices/VertexBufferBuilder.h>
#include <Lumo/Devices/VertexFormat.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Graphics/ScriptInterpreter.h>
#include <Lumo/Objects/SBox3.h>
#include <Scene/Scene.h>
#include <ZoGe/ZoGe.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

using Lumo::Devices::IndexBufferBuilder;
using Lumo::Devices::SimpleMesh;
using Lumo::Devices::VertexBufferBuilder;
using Lumo::Objects::AutoPtr;
using Lumo::Objects::mat4;
using Lumo::Objects::vec3;
using Lumo::Objects::vec4;

/// Faces and feature edges of one body.
struct Body {
    AutoPtr<SimpleMesh> faces, edges;
};

AutoPtr<Lumo::Devices::VertexFormat> Format(unsigned bits) {
    return AutoPtr<Lumo::Devices::VertexFormat>(Lumo::Devices::VertexFormat::Make(bits));
}

/// A quad with outward normal n, wound counter-clockwise seen from outside (a right-handed
/// world, as CAD models come).
void AddQuad(VertexBufferBuilder& vb, IndexBufferBuilder& ib, vec3<float> c, vec3<float> n, vec3<float> u, float hu,
             float hv) {
    const vec3<float> v = n.Cross(u);
    const int base = vb.VertexCount();
    for (auto [a, b] : {std::pair{-1.f, -1.f}, {1.f, -1.f}, {1.f, 1.f}, {-1.f, 1.f}})
        vb.AddVertex(c + u * (a * hu) + v * (b * hv), n);
    ib.AddTriangle(base, base + 1, base + 2);
    ib.AddTriangle(base, base + 2, base + 3);
}

Body Block(vec3<float> h) {
    VertexBufferBuilder vb(Format(Lumo::Devices::eVertexPosition | Lumo::Devices::eVertexNormal));
    IndexBufferBuilder ib;
    AddQuad(vb, ib, {h.x, 0, 0}, {1, 0, 0}, {0, 1, 0}, h.y, h.z);
    AddQuad(vb, ib, {-h.x, 0, 0}, {-1, 0, 0}, {0, 1, 0}, h.y, h.z);
    AddQuad(vb, ib, {0, h.y, 0}, {0, 1, 0}, {1, 0, 0}, h.x, h.z);
    AddQuad(vb, ib, {0, -h.y, 0}, {0, -1, 0}, {1, 0, 0}, h.x, h.z);
    AddQuad(vb, ib, {0, 0, h.z}, {0, 0, 1}, {1, 0, 0}, h.x, h.y);
    AddQuad(vb, ib, {0, 0, -h.z}, {0, 0, -1}, {1, 0, 0}, h.x, h.y);
    VertexBufferBuilder eb(Format(Lumo::Devices::eVertexPosition));
    IndexBufferBuilder el;
    for (int i = 0; i < 8; ++i)
        eb.AddVertex({(i & 1) ? h.x : -h.x, (i & 2) ? h.y : -h.y, (i & 4) ? h.z : -h.z});
    for (int i = 0; i < 8; ++i)
        for (int bit : {1, 2, 4})
            if (!(i & bit))
                el.AddLine(std::uint32_t(i), std::uint32_t(i | bit));
    return {AutoPtr<SimpleMesh>(SimpleMesh::Make(vb, ib)),
            AutoPtr<SimpleMesh>(SimpleMesh::Make(eb, el, Lumo::Devices::ePrimLineList))};
}

/// A cylinder standing on y, radius r, half-height h, with its two rim circles as edges.
Body Cylinder(float r, float h, int segments = 48) {
    const float pi = 3.14159265f;
    VertexBufferBuilder vb(Format(Lumo::Devices::eVertexPosition | Lumo::Devices::eVertexNormal));
    IndexBufferBuilder ib;
    for (int i = 0; i <= segments; ++i) {
        const float a = 2 * pi * float(i) / float(segments);
        const vec3<float> n(std::cos(a), 0, std::sin(a));
        vb.AddVertex({n.x * r, -h, n.z * r}, n);
        vb.AddVertex({n.x * r, h, n.z * r}, n);
    }
    for (int i = 0; i < segments; ++i) {
        const std::uint32_t a = std::uint32_t(2 * i);
        ib.AddTriangle(a, a + 1, a + 2);
        ib.AddTriangle(a + 1, a + 3, a + 2);
    }
    for (int cap = 0; cap < 2; ++cap) {
        const float y = cap ? h : -h;
        const vec3<float> n(0, cap ? 1.f : -1.f, 0);
        const std::uint32_t centre = std::uint32_t(vb.AddVertex({0, y, 0}, n));
        for (int i = 0; i <= segments; ++i) {
            const float a = 2 * pi * float(i) / float(segments);
            vb.AddVertex({std::cos(a) * r, y, std::sin(a) * r}, n);
        }
        for (int i = 0; i < segments; ++i) {
            const std::uint32_t a = centre + 1 + std::uint32_t(i);
            if (cap)
                ib.AddTriangle(centre, a + 1, a);
            else
                ib.AddTriangle(centre, a, a + 1);
        }
    }
    VertexBufferBuilder eb(Format(Lumo::Devices::eVertexPosition));
    IndexBufferBuilder el;
    for (int cap = 0; cap < 2; ++cap) {
        const int base = eb.VertexCount();
        for (int i = 0; i < segments; ++i) {
            const float a = 2 * pi * float(i) / float(segments);
            eb.AddVertex({std::cos(a) * r, cap ? h : -h, std::sin(a) * r});
        }
        for (int i = 0; i < segments; ++i)
            el.AddLine(std::uint32_t(base + i), std::uint32_t(base + (i + 1) % segments));
    }
    return {AutoPtr<SimpleMesh>(SimpleMesh::Make(vb, ib)),
            AutoPtr<SimpleMesh>(SimpleMesh::Make(eb, el, Lumo::Devices::ePrimLineList))};
}

AutoPtr<Lumo::Graphics::GroupNode> BodyNode(const Body& body, const mat4<float>& place) {
    using namespace Lumo::Scene;
    AutoPtr<Lumo::Graphics::GroupNode> group = MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, false);
    Brio::Scene::NodeData::make(group, nullptr, eGroupNode, false)->clientType(8);
    GetAttributeSet(group)->SetAttribute(AutoPtr<Attribute>(TransformAttribute::Make(place, false)));
    AutoPtr<Lumo::Graphics::GeometryNode> faces = MakeGeometryNode(false);
    Brio::Scene::NodeData::make(faces, nullptr, eGeometryNode, false)->clientType(16);
    faces->RenderGeometry(body.faces);
    AutoPtr<Lumo::Graphics::GeometryNode> edges = MakeGeometryNode(false);
    Brio::Scene::NodeData::make(edges, nullptr, eGeometryNode, false)->clientType(32);
    edges->RenderGeometry(body.edges);
    group->AddChild(faces);
    group->AddChild(edges);
    return group;
}

/// One component: a base plate with a boss and a pin, its bodies shared by every instance.
AutoPtr<Lumo::Graphics::GroupNode> Component(const std::vector<Body>& bodies) {
    using namespace Lumo::Scene;
    AutoPtr<Lumo::Graphics::GroupNode> c = MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, false);
    Brio::Scene::NodeData::make(c, nullptr, eGroupNode, false)->clientType(2);
    c->AddChild(BodyNode(bodies[0], mat4<float>::Translation({0, 0.15f, 0})));
    c->AddChild(BodyNode(bodies[1], mat4<float>::Translation({-0.35f, 0.65f, 0})));
    c->AddChild(BodyNode(bodies[2], mat4<float>::Translation({0.45f, 0.8f, 0.1f})));
    return c;
}

} // namespace

int RenderDemo(const DemoRenderOptions& o) {
    using namespace Brio::Scene;
    const auto start = std::chrono::steady_clock::now();
    // The host brings the library up once (devices, fragment library, agents, callbacks).
    Provider::provider()->initialize();

    // This run's look; the user's saved preferences are not written back.
    GraphicsOptionGroup* options = GraphicsOptionGroup::get();
    options->MSAA(o.msaa);
    options->FXAA(o.fxaa);
    options->visualStyle(!o.edges && o.visualStyle == 2 ? 0 : o.visualStyle);
    options->groundShadowEnabled(o.groundShadow);
    options->displayGroundPlane(o.groundShadow);

    std::vector<Body> bodies{Block({0.9f, 0.15f, 0.6f}), Block({0.35f, 0.35f, 0.35f}), Cylinder(0.22f, 0.5f)};
    AutoPtr<Lumo::Graphics::GroupNode> component = Component(bodies);
    AutoPtr<Lumo::Graphics::GroupNode> root = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, false);
    NodeData::make(root, nullptr, Lumo::Scene::eGroupNode, false);
    const vec4<float> palette[] = {{0.72f, 0.74f, 0.78f, 1}, {0.80f, 0.45f, 0.20f, 1}, {0.30f, 0.50f, 0.75f, 1},
                                   {0.45f, 0.62f, 0.35f, 1}, {0.78f, 0.70f, 0.35f, 1}, {0.60f, 0.40f, 0.60f, 1}};
    Lumo::Objects::SBox3 box;
    for (int r = 0; r < o.rows; ++r)
        for (int c = 0; c < o.columns; ++c) {
            const int i = r * o.columns + c;
            AutoPtr<Lumo::Graphics::GroupNode> inst =
                Lumo::Scene::MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, false);
            NodeData::make(inst, nullptr, Lumo::Scene::eGroupNode, false)->clientType(1);
            const vec3<float> at(float(c) * 2.4f, 0, float(r) * 1.9f);
            auto* set = Lumo::Scene::GetAttributeSet(inst);
            set->SetAttribute(AutoPtr<Lumo::Scene::Attribute>(Lumo::Scene::TransformAttribute::Make(
                mat4<float>::Rotation({0, 1, 0}, 0.3f * float(i)) * mat4<float>::Translation(at), false)));
            set->SetAttribute(AutoPtr<Lumo::Scene::Attribute>(Lumo::Scene::ColorEffectAttribute::Make(palette[i % 6])));
            inst->AddChild(component);
            root->AddChild(inst);
            box.Extend(Lumo::Objects::vec3<double>(at.x - 1.2, 0.0, at.z - 1.2));
            box.Extend(Lumo::Objects::vec3<double>(at.x + 1.2, 1.3, at.z + 1.2));
        }

    // A document with the scene's roots, and one view of one fragment, as a host keeps them.
    Brio::StrongRef<Brio::Asset> document = Brio::Asset::make(L"Demo");
    Brio::Segment* segment = document->createSegment(L"Views");
    SceneAssetAdapter adapter(document.getTarget());
    adapter.scene(root);
    Brio::StrongRef<Camera> camera = Camera::make(segment);
    const auto centre = box.Center();
    const float radius = float(box.Size().Length() / 2);
    const ZoGePoint3d target(centre.x, 0.3, centre.z);
    camera->projection(Camera::ePerspective);
    camera->target(target);
    camera->position(target + ZoGeVector3d(0.55, 0.75, 1.0).normal() * (radius * 2.1));
    camera->up(ZoGeVector3d(0, 1, 0));
    camera->fit(Brio::BBox(Brio::Point3f(float(box.Min().x), float(box.Min().y), float(box.Min().z)),
                           Brio::Point3f(float(box.Max().x), float(box.Max().y), float(box.Max().z))));
    camera->zoom(0.78); // fit leaves room for the box seen from any side; the grid may fill more
    Brio::StrongRef<ViewFragment> fragment = ViewFragment::make(segment);
    fragment->camera(camera);
    fragment->scene(&adapter);
    AutoPtr<Lumo::Graphics::GroupNode> view(makeViewNode(nullptr));
    Brio::StrongRef<Viewport> window = Viewport::make(segment);
    window->set(0, o.width, 0, o.height);
    viewNodeData(view)->viewport(window);
    view->AddChild(fragment->viewFragmentNode());

    ViewRenderer* renderer = Provider::provider()->requestViewRenderer(view, nullptr);
    renderer->render(ViewRenderer::eInvalidateAll);
    const bool written = renderer->writeImage(Brio::Utility::toWide(o.output));
    auto* engine = &static_cast<ViewRendererForImage*>(renderer)->engine();
    const std::string deviceName =
        engine->device() ? static_cast<Lumo::Devices::GLDevice*>(engine->device())->RendererName() : "no device";
    Provider::provider()->releaseViewRenderer(renderer);
    view->RemoveChild(fragment->viewFragmentNode());
    if (!written) {
        std::fprintf(stderr, "brioscene: cannot draw or write %s (%s)\n", o.output.c_str(), deviceName.c_str());
        return 1;
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("Rendered %s: %d x %d, %d instances of 3 bodies, %s, %.0f ms\n", o.output.c_str(), o.width, o.height,
                o.rows * o.columns, deviceName.c_str(), ms);
    return 0;
}
