// The hardware pick on the off-screen device: only what is seen inside a rectangle is reported
// (items hidden behind others are not), edges are picked and hidden by faces, the point is the
// front of what is seen, and the frame drawn after a pick is unchanged.
#include "SceneGLSupport.h"

#include <Lumo/Devices/SelectionContext.h>
#include <Lumo/Devices/SelectionRegion.h>
#include <Lumo/Graphics/FacetIntersection.h>
#include <Lumo/Graphics/HWPickAgent.h>
#include <Lumo/Graphics/IIntersection.h>
#include <Lumo/Graphics/ScriptPipeRenderer.h>
#include <Lumo/Graphics/SelectionStage.h>
#include <Scene/Attributes/TraversalState.h>

#include <chrono>
#include <cstdio>
#include <set>

namespace {

using namespace SceneGL;
using Lumo::Graphics::ARenderNode;
using Lumo::Graphics::GroupNode;
using Lumo::Graphics::IntersectionList;

constexpr int kW = 200, kH = 100; // the window; the view shows x -10..10, y -5..5

/// A box of half-size h about c, each face wound counter-clockwise seen from outside.
AutoPtr<Lumo::Devices::SimpleMesh> Box(vec3<float> c, float h) {
    using namespace Lumo::Devices;
    VertexBufferBuilder vb(eVertexPosition);
    IndexBufferBuilder ib;
    // Outward normal n and in-face axes u, v with u x v = -n: counter-clockwise on screen.
    const vec3<float> X(1, 0, 0), Y(0, 1, 0), Z(0, 0, 1);
    const vec3<float> faces[6][3] = {{Z * -1.f, X, Y}, {Z, Y, X},        {X * -1.f, Y, Z},
                                     {X, Z, Y},        {Y * -1.f, Z, X}, {Y, X, Z}};
    std::uint32_t base = 0;
    for (const auto& f : faces) {
        const vec3<float> o = c + f[0] * h;
        vb.AddVertex(o + (f[1] * -1.f - f[2]) * h);
        vb.AddVertex(o + (f[1] - f[2]) * h);
        vb.AddVertex(o + (f[1] + f[2]) * h);
        vb.AddVertex(o + (f[1] * -1.f + f[2]) * h);
        ib.AddTriangle(base, base + 1, base + 2);
        ib.AddTriangle(base, base + 2, base + 3);
        base += 4;
    }
    return AutoPtr<SimpleMesh>(SimpleMesh::Make(vb, ib));
}

AutoPtr<Lumo::Devices::SimpleMesh> Segment(vec3<float> a, vec3<float> b) {
    using namespace Lumo::Devices;
    VertexBufferBuilder vb(eVertexPosition);
    vb.AddVertex(a);
    vb.AddVertex(b);
    IndexBufferBuilder ib;
    ib.AddLine(0, 1);
    return AutoPtr<SimpleMesh>(SimpleMesh::Make(vb, ib, ePrimLineList));
}

/// Pixel of model point (x, y) in this view.
float Px(float x) {
    return (x / 10.f + 1.f) / 2.f * kW;
}
float Py(float y) {
    return (y / 5.f + 1.f) / 2.f * kH;
}

/// A parallel view along +z (device space): x -10..10, y -5..5, depth 0..1 for z -50..50.
void View(mat4<float>& view, mat4<float>& proj) {
    view = mat4<float>();
    proj = mat4<float>();
    proj.m[0][0] = 0.1f;
    proj.m[1][1] = 0.2f;
    proj.m[2][2] = 0.01f;
    proj.m[3][2] = 0.5f;
}

struct HWPicker {
    AutoPtr<Lumo::Devices::ADrawContext> dc;
    AutoPtr<Lumo::Graphics::SelectionStage> stage = Lumo::Graphics::SelectionStage::Make();
    AutoPtr<Lumo::Devices::SelectionContext> context = Lumo::Devices::SelectionContext::Make();
    AutoPtr<IntersectionList> hits = IntersectionList::Make();

    explicit HWPicker(Lumo::Devices::AVirtualDevice* device) : dc(Lumo::Devices::ADrawContext::Make(device)) {
        EnsureLibrary();
        EXPECT_TRUE(stage->Pipe().SetAgents(L"DrawFilterAgent,RealizeBoxAgent,FrustumAgent,HWPickAgent"));
        stage->Pipe().AddClientState(Lumo::Scene::TraversalState::StaticClassName(),
                                     AutoPtr<Lumo::Scene::TraversalState>(Lumo::Scene::TraversalState::Make()));
        mat4<float> view, proj;
        View(view, proj);
        stage->Camera(AutoPtr<Lumo::Devices::ARenderCamera>(Lumo::Devices::ARenderCamera::Make(view, proj)));
        stage->Context(context);
        stage->Intersections(hits);
    }
    /// A crossing rectangle between window pixels, y up.
    int Rect(ARenderNode* world, float x0, float y0, float x1, float y1) {
        AutoPtr<Lumo::Devices::RectangleRegion> r(Lumo::Devices::RectangleRegion::Make());
        r->WindowSize({float(kW), float(kH)});
        r->Min({x0, y0});
        r->Max({x1, y1});
        hits->Clear();
        stage->World(world);
        stage->Region(r);
        EXPECT_TRUE(stage->Run(*dc));
        return hits->Count();
    }
    /// The same in model units of this view.
    int RectAt(ARenderNode* world, float x0, float y0, float x1, float y1) {
        return Rect(world, Px(x0), Py(y0), Px(x1), Py(y1));
    }
    /// The leaves reported.
    std::set<ARenderNode*> Leaves() const {
        std::set<ARenderNode*> out;
        for (int i = 0; i < hits->Count(); ++i)
            if (!hits->At(i)->Path().empty())
                out.insert(hits->At(i)->Path().back().get());
        return out;
    }
    Lumo::Graphics::HWPickAgent* Agent() const {
        return static_cast<Lumo::Graphics::HWPickAgent*>(
            stage->Pipe().FindAgent(Lumo::Graphics::HWPickAgent::StaticClassName()));
    }
};

/// A front box hiding part of a back box, an edge in front of both, and an edge behind the
/// front box that shows only beyond its left side.
struct Scene {
    AutoPtr<Lumo::Devices::SimpleMesh> frontMesh = Box({0, 0, -5}, 2); // x, y -2..2, z -7..-3
    AutoPtr<Lumo::Devices::SimpleMesh> backMesh = Box({0, 0, 0}, 3);   // placed at x 0..6, y -3..3, z 2..8
    AutoPtr<Lumo::Devices::SimpleMesh> nearEdgeMesh = Segment({-1, 1.25f, -9}, {1, 1.25f, -9});
    AutoPtr<Lumo::Devices::SimpleMesh> farEdgeMesh = Segment({-4, 0.25f, 0}, {-1, 0.25f, 0});
    const vec4<float> red{1, 0, 0, 1}, blue{0, 0, 1, 1};
    AutoPtr<Lumo::Graphics::GeometryNode> front, back, nearEdge, farEdge;
    AutoPtr<GroupNode> root, placed;
    Scene() {
        EnsureLibrary();
        front = Leaf(frontMesh, kFaces, &red);
        back = Leaf(backMesh, kFaces, &blue);
        nearEdge = Leaf(nearEdgeMesh, kEdges);
        farEdge = Leaf(farEdgeMesh, kEdges);
        const mat4<float> at = mat4<float>::Translation({3, 0, 5});
        placed = Group(&at);
        placed->AddChild(back);
        root = Group();
        root->AddChild(front); // the hidden one drawn last: only the depth test keeps it hidden
        root->AddChild(placed);
    }
    void AddEdges() {
        root->AddChild(nearEdge);
        root->AddChild(farEdge);
    }
};

TEST(HWPickAgentGL, ARectangleReportsOnlyWhatIsSeenOncePerItem) {
    ASSERT_NE(Device(), nullptr);
    Scene s;
    HWPicker p(Device());
    ASSERT_NE(p.Agent(), nullptr) << "the factory makes the agent by name";

    // Over both boxes where the front one covers the back one: the front one alone.
    ASSERT_EQ(p.RectAt(s.root, 0.5f, -1, 1.5f, 1), 1);
    EXPECT_EQ(p.Leaves(), std::set<ARenderNode*>{s.front.get()});
    EXPECT_EQ(p.Agent()->DrawnCount(), 2) << "both were drawn; the depth test hid one";
    auto* hit = p.hits->At(0);
    EXPECT_TRUE(hit->GetInterface(Lumo::Graphics::FacetIntersection::StaticClassName()));
    EXPECT_EQ(hit->Path().front().get(), s.root.get());
    // The point is on the front face, inside the rectangle, its depth that of z = -7.
    EXPECT_NEAR(hit->Point().z, -7, 0.02);
    EXPECT_GE(hit->Point().x, 0.5 - 0.06);
    EXPECT_LE(hit->Point().x, 1.5 + 0.06);
    EXPECT_LE(std::abs(hit->Point().y), 1 + 0.11);
    EXPECT_NEAR(hit->Depth(), 0.5 + 0.01 * -7, 1e-4);

    // Reaching past the front box: the back one shows there and is reported too.
    ASSERT_EQ(p.RectAt(s.root, 1, -1, 4, 1), 2);
    EXPECT_EQ(p.Leaves(), (std::set<ARenderNode*>{s.front.get(), s.back.get()}));
    for (int i = 0; i < p.hits->Count(); ++i) {
        const auto* h = p.hits->At(i);
        const bool isBack = h->Path().back().get() == s.back.get();
        EXPECT_NEAR(h->Point().z, isBack ? 2 : -7, 0.02) << i;
        EXPECT_GE(h->Point().x, isBack ? 2 - 0.06 : 1 - 0.06) << i;
        EXPECT_NEAR(h->WorldMatrix().m[3][0], isBack ? 3 : 0, 1e-12) << i;
        ASSERT_EQ(h->Path().size(), isBack ? 3u : 2u) << i;
        if (isBack) {
            EXPECT_EQ(h->Path()[1].get(), s.placed.get());
        }
    }

    // Nothing there, nothing reported; a one-pixel rectangle over the boxes finds the front one.
    EXPECT_EQ(p.RectAt(s.root, -9, -4, -8, -3), 0);
    EXPECT_EQ(p.Rect(s.root, Px(1), Py(0), Px(1) + 1, Py(0) + 1), 1);
    EXPECT_EQ(p.Leaves(), std::set<ARenderNode*>{s.front.get()});
}

TEST(HWPickAgentGL, EdgesArePickedWhereSeenAndHiddenBehindFaces) {
    ASSERT_NE(Device(), nullptr);
    Scene s;
    s.AddEdges();
    HWPicker p(Device());
    // The edge in front of the front box shows over it.
    p.RectAt(s.root, -0.5f, 0.75f, 0.5f, 1.75f);
    EXPECT_EQ(p.Leaves(), (std::set<ARenderNode*>{s.front.get(), s.nearEdge.get()}));
    // The far edge behind the front box is hidden; left of the box it shows.
    p.RectAt(s.root, -1.5f, -0.5f, -0.5f, 1);
    EXPECT_EQ(p.Leaves(), std::set<ARenderNode*>{s.front.get()});
    p.RectAt(s.root, -3.5f, -0.5f, -2.5f, 1);
    EXPECT_EQ(p.Leaves(), std::set<ARenderNode*>{s.farEdge.get()});
    ASSERT_EQ(p.hits->Count(), 1);
    EXPECT_NEAR(p.hits->At(0)->Point().z, 0, 0.02);
    EXPECT_NEAR(p.hits->At(0)->Point().y, 0.25, 0.06);
}

TEST(HWPickAgentGL, WindowRectanglesKeepOnlyWhatIsWhollyInside) {
    ASSERT_NE(Device(), nullptr);
    Scene s;
    HWPicker p(Device());
    p.context->SelectionType(1);
    // Both seen, only the front box inside.
    p.RectAt(s.root, -2.5f, -2.5f, 4, 2.5f);
    EXPECT_EQ(p.Leaves(), std::set<ARenderNode*>{s.front.get()});
    p.RectAt(s.root, -2.5f, -3.5f, 6.5f, 3.5f);
    EXPECT_EQ(p.Leaves(), (std::set<ARenderNode*>{s.front.get(), s.back.get()}));
}

TEST(HWPickAgentGL, RepeatedPicksAgreeAndTheNextFrameDrawsAsBefore) {
    ASSERT_NE(Device(), nullptr);
    Scene s;
    // A frame of the scene with the draw agents, on targets bound once.
    AutoPtr<Lumo::Devices::RenderTarget> color = Lumo::Devices::RenderTarget::Make(kW, kH);
    AutoPtr<Lumo::Devices::RenderTarget> depth =
        Lumo::Devices::RenderTarget::Make(kW, kH, Lumo::Devices::eTargetDepthStencil);
    AutoPtr<Lumo::Devices::ADrawContext> dc = Lumo::Devices::ADrawContext::Make(Device());
    mat4<float> view, proj;
    View(view, proj);
    dc->ViewMatrix(view);
    dc->ProjMatrix(proj);
    dc->Viewport(kW, kH);
    AutoPtr<Lumo::Graphics::ScriptPipeRenderer> draw = Lumo::Graphics::ScriptPipeRenderer::Make();
    ASSERT_TRUE(draw->SetAgents(L"DrawFilterAgent,RealizeBoxAgent,FrustumAgent,DrawAgent"));
    draw->AddClientState(Lumo::Scene::TraversalState::StaticClassName(),
                         AutoPtr<Lumo::Scene::TraversalState>(Lumo::Scene::TraversalState::Make()));
    ASSERT_TRUE(Device()->Draw().BindTargets(color, depth));
    auto frame = [&] {
        Device()->Draw().Clear(Lumo::Devices::eClearColor | Lumo::Devices::eClearDepth, {0, 0, 0, 1});
        draw->Render(*dc, s.root);
        return Read(color);
    };
    const Image before = frame();
    const Pixel over = before.At(int(Px(1)), kH - 1 - int(Py(0))), beside = before.At(int(Px(5)), kH - 1 - int(Py(0)));
    EXPECT_TRUE(over.r > 100 && over.b < 50) << "the front box over the back " << Str(over);
    EXPECT_TRUE(beside.b > 100 && beside.r < 50) << "the back box beside it " << Str(beside);

    // The pick runs on the frame's own context.
    HWPicker p(Device());
    p.dc = dc;
    ASSERT_EQ(p.RectAt(s.root, 1, -1, 4, 1), 2);
    std::vector<std::pair<ARenderNode*, double>> first;
    for (int i = 0; i < p.hits->Count(); ++i)
        first.emplace_back(p.hits->At(i)->Path().back().get(), p.hits->At(i)->Point().z);
    ASSERT_EQ(p.RectAt(s.root, 1, -1, 4, 1), 2);
    for (int i = 0; i < p.hits->Count(); ++i) {
        EXPECT_EQ(p.hits->At(i)->Path().back().get(), first[size_t(i)].first);
        EXPECT_EQ(p.hits->At(i)->Point().z, first[size_t(i)].second);
    }
    EXPECT_EQ(dc->ProjMatrix(), proj) << "the context's matrices are given back";

    const Image after = frame();
    ASSERT_EQ(after.rgba.size(), before.rgba.size());
    EXPECT_TRUE(after.rgba == before.rgba) << "the frame after the pick differs";
    EXPECT_EQ(Device()->Draw().ColorTarget(), color.get());
}

TEST(HWPickAgentGL, ThousandsOfItemsEachFoundWhereSeen) {
    ASSERT_NE(Device(), nullptr);
    EnsureLibrary();
    // A 64 x 32 grid of small boxes (2048 items) with a second layer hidden right behind it.
    AutoPtr<GroupNode> root = Group();
    std::vector<AutoPtr<Lumo::Graphics::GeometryNode>> frontLayer;
    std::vector<AutoPtr<Lumo::Devices::SimpleMesh>> meshes;
    const vec4<float> grey{0.5f, 0.5f, 0.5f, 1};
    for (int layer = 0; layer < 2; ++layer)
        for (int j = 0; j < 32; ++j)
            for (int i = 0; i < 64; ++i) {
                const float x = -10 + (float(i) + 0.5f) * 20.f / 64.f, y = -5 + (float(j) + 0.5f) * 10.f / 32.f;
                meshes.push_back(Box({x, y, layer ? 1.f : 0.f}, 0.1f));
                AutoPtr<Lumo::Graphics::GeometryNode> leaf = Leaf(meshes.back(), kFaces, &grey);
                root->AddChild(leaf);
                if (!layer)
                    frontLayer.push_back(leaf);
            }
    HWPicker p(Device());
    // The whole window: every front box once, none of the hidden layer.
    ASSERT_EQ(p.Rect(root, 0, 0, kW, kH), 64 * 32);
    const std::set<ARenderNode*> seen = p.Leaves();
    EXPECT_EQ(seen, std::set<ARenderNode*>(frontLayer.begin(), frontLayer.end()));
    // A quarter of the window: exactly the boxes whose centres lie in it.
    ASSERT_EQ(p.RectAt(root, 0, 0, 10, 5), 32 * 16);

    const int runs = 20;
    const auto t0 = std::chrono::steady_clock::now();
    for (int r = 0; r < runs; ++r)
        p.RectAt(root, -5, -2.5f, 5, 2.5f);
    const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count() / runs;
    std::printf("hardware rectangle pick, 4096 items (%d drawn, %d reported, 100 x 50 px): %.0f us\n",
                p.Agent()->DrawnCount(), p.hits->Count(), us);
    RecordProperty("us_per_pick", int(us));
    EXPECT_EQ(p.hits->Count(), 32 * 16);
    // The software pick of the same rectangle, for comparison: it reports the hidden layer too.
    ASSERT_TRUE(p.stage->Pipe().SetAgents(L"DrawFilterAgent,RealizeBoxAgent,FrustumAgent,SWPickAgent"));
    const auto t1 = std::chrono::steady_clock::now();
    for (int r = 0; r < runs; ++r)
        p.RectAt(root, -5, -2.5f, 5, 2.5f);
    const double sw = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t1).count() / runs;
    std::printf("software rectangle pick of the same: %.0f us\n", sw);
    EXPECT_EQ(p.hits->Count(), 2 * 32 * 16);
}

} // namespace
