#include "SceneGLSupport.h"

#include <cstring>

#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Graphics/RenderFlags.h>
#include <Lumo/Graphics/ScriptPipeRenderer.h>
#include <Lumo/Graphics/TraversalStateList.h>
#include <Scene/Attributes/OpacityAttribute.h>
#include <Scene/Attributes/VisibilityAttribute.h>
#include <Scene/Nodes/LODGeometryNode.h>
#include <Scene/View/LODStrategy.h>

using namespace SceneGL;
using Lumo::Devices::FragmentGraph;
using Lumo::Devices::SimpleMesh;

namespace {

/// A cube of half-size h centred at c, wound for the tests' left-handed views.
SimpleMesh* Box(float h, vec3<float> c = {}) {
    using namespace Lumo::Devices;
    AutoPtr<VertexFormat> f(VertexFormat::Make(eVertexPosition | eVertexNormal));
    VertexBufferBuilder vb(f);
    IndexBufferBuilder ib;
    const vec3<float> normals[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (const auto& n : normals) {
        const vec3<float> u = std::fabs(n.x) > 0.5f ? vec3<float>(0, 1, 0) : vec3<float>(1, 0, 0);
        const vec3<float> v = u.Cross(n); // u x v = -n: counter-clockwise on screen from outside
        const int base = vb.VertexCount();
        for (auto [a, b] : {std::pair{-1.f, -1.f}, {1.f, -1.f}, {1.f, 1.f}, {-1.f, 1.f}})
            vb.AddVertex(c + (n + u * a + v * b) * h, n);
        ib.AddTriangle(base, base + 1, base + 2);
        ib.AddTriangle(base, base + 2, base + 3);
    }
    return SimpleMesh::Make(vb, ib, ePrimTriangleList);
}

/// A closed line loop (as a line list) around the square of half-size h in the plane z.
SimpleMesh* SquareEdges(float h, float z) {
    using namespace Lumo::Devices;
    AutoPtr<VertexFormat> f(VertexFormat::Make(eVertexPosition));
    VertexBufferBuilder vb(f);
    vb.AddVertex({-h, -h, z});
    vb.AddVertex({h, -h, z});
    vb.AddVertex({h, h, z});
    vb.AddVertex({-h, h, z});
    vb.AddVertex({-h, -h, z});
    vb.AddVertex({h, h, z}); // a diagonal across the face
    IndexBufferBuilder ib;
    ib.AddLine(0, 1);
    ib.AddLine(1, 2);
    ib.AddLine(2, 3);
    ib.AddLine(3, 0);
    ib.AddLine(4, 5);
    return SimpleMesh::Make(vb, ib, ePrimLineList);
}

class FragmentLibraryGL : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(Device(), nullptr);
        EnsureLibrary();
    }
    static AutoPtr<FragmentGraph> Visual(RenderParams* p = nullptr) {
        AutoPtr<RenderParams> own;
        if (!p) {
            own = RenderParams::make();
            p = own;
        }
        return AutoPtr<FragmentGraph>(FragmentLibrary::createVisualEffectGraph(*p));
    }
};

TEST_F(FragmentLibraryGL, VisualGraphShadesModelsKeepsDepthAndFillsTheBackground) {
    Frame frame;
    PerspectiveView(*frame.dc, 5.0f, 0.8f, 128, 128);
    Lumo::Devices::SDrawLight right;
    right.viewSpace = false;
    right.direction = {-1, 0, 0};
    right.color = {0.8f, 0.8f, 0.8f};
    right.specular = {0.1f, 0.1f, 0.1f};
    frame.dc->Lights().push_back(right);
    AutoPtr<SimpleMesh> sphere(GLTest::Sphere(1.0f)), box(Box(0.35f, {0.6f, 0.5f, -1.2f}));
    const vec4<float> grey(0.8f, 0.8f, 0.8f, 1), red(0.9f, 0.1f, 0.1f, 1);
    AutoPtr<Lumo::Graphics::GroupNode> world = Group();
    // The box comes first but is nearer: depth, not order, decides.
    world->AddChild(Leaf(box, kFaces, &red));
    world->AddChild(Leaf(sphere, kFaces, &grey));
    AutoPtr<FragmentGraph> graph = Visual();
    frame.Begin();
    ASSERT_TRUE(frame.Run(graph, world));
    Image img = Read(frame.color);
    EXPECT_TRUE(Near(img.At(3, 3), 233, 233, 233, 0)) << "background: " << Str(img.At(3, 3));
    const int rightSide = img.Luma(86, 64), leftSide = img.Luma(42, 64);
    EXPECT_GT(rightSide, leftSide + 40) << "lit from the right: " << rightSide << " vs " << leftSide;
    EXPECT_GT(leftSide, 25) << "the far side is not black";
    const Pixel boxPixel = img.At(84, 42);
    EXPECT_GT(boxPixel.r, 3 * boxPixel.g + 20) << "the nearer box covers the sphere: " << Str(boxPixel);
}

TEST_F(FragmentLibraryGL, TransparentPartIsDrawnAfterAndBlendedOverTheOpaqueOne) {
    Frame frame(64, 64);
    OrthoView(*frame.dc, 1.0f, 64, 64);
    frame.dc->Lights().clear();
    AutoPtr<SimpleMesh> front(Quad(0.5f, 1.0f)), back(Quad(0.8f, 3.0f));
    const vec4<float> blue(0, 0, 1, 1), red(1, 0, 0, 1);
    AutoPtr<Lumo::Graphics::GroupNode> world = Group();
    AutoPtr<Lumo::Graphics::GeometryNode> glass = Leaf(front, kFaces, &red);
    Lumo::Scene::GetAttributeSet(glass)->SetAttribute(
        AutoPtr<Lumo::Scene::Attribute>(Lumo::Scene::OpacityAttribute::Make(0.5f, true)));
    world->AddChild(glass); // first in the graph, yet blended over what lies behind
    world->AddChild(Leaf(back, kFaces, &blue));
    AutoPtr<RenderParams> p = RenderParams::make();
    p->transparentCollectionEnabled(false);
    AutoPtr<FragmentGraph> graph = Visual(p);
    frame.Begin();
    ASSERT_TRUE(frame.Run(graph, world));
    Image img = Read(frame.color);
    const Pixel mixed = img.At(32, 32), opaque = img.At(8, 32);
    EXPECT_GT(mixed.r, 60) << Str(mixed);
    EXPECT_GT(mixed.b, 30) << "the blue part shows through: " << Str(mixed);
    EXPECT_LT(opaque.r, 10) << Str(opaque);
    EXPECT_GT(opaque.b, 100) << Str(opaque);
}

TEST_F(FragmentLibraryGL, CollectedTransparencyIsResolvedByTheTransparencyGraph) {
    Frame frame(64, 64);
    OrthoView(*frame.dc, 1.0f, 64, 64);
    AutoPtr<SimpleMesh> front(Quad(0.5f, 1.0f)), back(Quad(0.8f, 3.0f));
    const vec4<float> blue(0, 0, 1, 1), red(1, 0, 0, 1);
    AutoPtr<Lumo::Graphics::GroupNode> world = Group();
    AutoPtr<Lumo::Graphics::GeometryNode> glass = Leaf(front, kFaces, &red);
    Lumo::Scene::GetAttributeSet(glass)->SetAttribute(
        AutoPtr<Lumo::Scene::Attribute>(Lumo::Scene::OpacityAttribute::Make(0.5f, true)));
    world->AddChild(glass);
    world->AddChild(Leaf(back, kFaces, &blue));
    AutoPtr<Lumo::Graphics::TraversalStateList> collected(Lumo::Graphics::TraversalStateList::Make());
    AutoPtr<RenderParams> p = RenderParams::make(); // collects transparent geometry by default
    AutoPtr<FragmentGraph> graph = Visual(p);
    ASSERT_TRUE(FragmentParameters::setArg(graph, L"transpTraversalStateList", collected.get()));
    frame.Begin();
    ASSERT_TRUE(frame.Run(graph, world));
    EXPECT_EQ(collected->Count(), 1);
    Pixel before = Read(frame.color).At(32, 32);
    EXPECT_TRUE(Near(before, 0, 0, 255, 60)) << "not drawn by the model pass: " << Str(before);
    AutoPtr<FragmentGraph> resolve(FragmentLibrary::createTransparencyOnlyEffectGraph(*p));
    ASSERT_TRUE(FragmentParameters::setArg(resolve, L"transpTraversalStateList", collected.get()));
    const auto viewBefore = frame.dc->ViewMatrix();
    ASSERT_TRUE(frame.interpreter->Run(resolve));
    EXPECT_EQ(std::memcmp(&viewBefore, &frame.dc->ViewMatrix(), sizeof viewBefore), 0)
        << "a run leaves the caller's camera";
    Pixel after = Read(frame.color).At(32, 32);
    EXPECT_GT(after.r, 60) << Str(after);
    EXPECT_GT(after.b, 30) << Str(after);
}

TEST_F(FragmentLibraryGL, EdgesAreDrawnCrispOverTheirFacesInTheEdgeColour) {
    Frame frame;
    PerspectiveView(*frame.dc, 3.0f, 0.8f, 128, 128);
    AutoPtr<SimpleMesh> face(Quad(0.6f, 0.0f)), edges(SquareEdges(0.6f, 0.0f));
    const vec4<float> white(1, 1, 1, 1);
    AutoPtr<Lumo::Graphics::GroupNode> body = Group();
    body->AddChild(Leaf(face, kFaces, &white));
    body->AddChild(Leaf(edges, kEdges, &white));
    AutoPtr<RenderParams> p = RenderParams::make(); // visual style 2: shaded with edges
    AutoPtr<FragmentGraph> graph = Visual(p);
    ASSERT_TRUE(FragmentParameters::setArg(graph, L"HasEdgesPass", true));
    ASSERT_TRUE(FragmentParameters::setArg(graph, L"FilterFaces", true));
    frame.Begin();
    ASSERT_TRUE(frame.Run(graph, body));
    Image img = Read(frame.color);
    // Every pixel the diagonal crosses is dark: no stipple of face showing through.
    int dark = 0, checked = 0;
    for (int i = 40; i < 88; ++i) {
        const int x = i, y = 127 - i; // the diagonal runs bottom-left to top-right
        int best = 255;
        for (int d = -1; d <= 1; ++d)
            best = std::min(best, img.Luma(x, y + d));
        ++checked;
        dark += best < 60;
    }
    EXPECT_EQ(dark, checked) << "edge pixels lost to the face";
    EXPECT_GT(img.Luma(64, 90), 120) << "the face itself stays light";
    // Without the edges pass the edges are not drawn at all.
    AutoPtr<FragmentGraph> plain = Visual(p);
    ASSERT_TRUE(FragmentParameters::setArg(plain, L"HasEdgesPass", false));
    frame.Begin();
    ASSERT_TRUE(frame.Run(plain, body));
    EXPECT_GT(Read(frame.color).Luma(64, 63), 120);
}

TEST_F(FragmentLibraryGL, DepthOnlyStyleWritesDepthButNoColour) {
    Frame frame(64, 64);
    OrthoView(*frame.dc, 1.0f, 64, 64);
    AutoPtr<SimpleMesh> quad(Quad(0.5f, 1.0f));
    const vec4<float> red(1, 0, 0, 1);
    AutoPtr<Lumo::Graphics::GroupNode> world = Group();
    world->AddChild(Leaf(quad, kFaces, &red));
    AutoPtr<FragmentGraph> graph = Visual();
    ASSERT_TRUE(FragmentParameters::setArg(graph, L"DrawToDepthOnly", true));
    frame.Begin();
    ASSERT_TRUE(frame.Run(graph, world));
    EXPECT_TRUE(Near(Read(frame.color).At(32, 32), 233, 233, 233, 0)) << Str(Read(frame.color).At(32, 32));
    std::vector<float> depth;
    ASSERT_TRUE(Device()->Draw().ReadDepth(frame.depth, depth));
    EXPECT_LT(depth[32 * 64 + 32], 0.99f);
    EXPECT_FLOAT_EQ(depth[2 * 64 + 2], 1.0f);
}

TEST_F(FragmentLibraryGL, FXAASmoothsAJaggedEdge) {
    Frame frame(64, 64);
    OrthoView(*frame.dc, 1.0f, 64, 64);
    using namespace Lumo::Devices;
    AutoPtr<VertexFormat> f(VertexFormat::Make(eVertexPosition | eVertexNormal));
    VertexBufferBuilder vb(f);
    vb.Normal({0, 0, -1});
    vb.AddVertex({-1, -1, 1});
    vb.AddVertex({1, -0.3f, 1});
    vb.AddVertex({-1, 1, 1});
    AutoPtr<SimpleMesh> tri(SimpleMesh::Make(vb, ePrimTriangleList));
    const vec4<float> black(0, 0, 0, 1);
    AutoPtr<Lumo::Graphics::GroupNode> world = Group();
    world->AddChild(Leaf(tri, kFaces, &black));
    frame.clear = {1, 1, 1, 1};
    AutoPtr<FragmentGraph> graph = Visual();
    frame.Begin();
    ASSERT_TRUE(frame.Run(graph, world));
    auto partial = [](const Image& img) {
        int n = 0;
        for (int i = 0; i < 64 * 64; ++i)
            n += img.rgba[size_t(i) * 4] > 20 && img.rgba[size_t(i) * 4] < 235;
        return n;
    };
    const int jagged = partial(Read(frame.color));
    AutoPtr<RenderTarget> out(RenderTarget::Make(64, 64, eTargetRGBA8, 1));
    AutoPtr<FragmentGraph> fxaa(FragmentLibrary::createFXAAEffectGraph());
    EXPECT_EQ(fxaa->RequiredFeatureLevel(), 30);
    ASSERT_TRUE(FragmentParameters::setArg(fxaa, L"input", frame.color.get()));
    ASSERT_TRUE(FragmentParameters::setArg(fxaa, L"final", out.get()));
    ASSERT_TRUE(frame.interpreter->Run(fxaa))
        << std::string(frame.interpreter->LastError().begin(), frame.interpreter->LastError().end());
    Image smooth = Read(out);
    EXPECT_GT(partial(smooth), jagged + 20) << "intermediate shades along the edge";
    EXPECT_TRUE(Near(smooth.At(60, 60), 255, 255, 255, 0)) << "flat areas are untouched";
    EXPECT_TRUE(Near(smooth.At(3, 32), 0, 0, 0, 3)) << Str(smooth.At(3, 32));
}

TEST_F(FragmentLibraryGL, GroundShadowFallsUnderThePart) {
    Frame frame;
    // Looking down steeply onto a box hovering 0.6 above the ground.
    const float pitch = 0.9f;
    mat4<float> view = mat4<float>::Rotation({1, 0, 0}, -pitch) * mat4<float>::Translation({0, 0, 6});
    frame.dc->ViewMatrix(view);
    const float n = 0.1f, fz = 100.0f, y = 1.0f / std::tan(0.45f);
    frame.dc->ProjMatrix(mat4<float>(y, 0, 0, 0, 0, y, 0, 0, 0, 0, fz / (fz - n), 1, 0, 0, -n * fz / (fz - n), 0));
    frame.dc->Viewport(128, 128);
    AutoPtr<SimpleMesh> box(Box(0.5f, {0, 1.1f, 0}));
    const vec4<float> grey(0.7f, 0.7f, 0.7f, 1);
    AutoPtr<Lumo::Graphics::GroupNode> world = Group();
    world->AddChild(Leaf(box, kFaces, &grey));
    AutoPtr<RenderParams> p = RenderParams::make();
    p->groundPlaneEnabled(true);
    p->groundShadowEnabled(true);
    p->groundPlaneOffset(0.6f); // the ground lies 0.6 below the part
    AutoPtr<FragmentGraph> graph = Visual(p);
    Lumo::Objects::SBox3 bounds;
    bounds.Extend(Lumo::Objects::vec3<double>(-0.5, 0.6, -0.5));
    bounds.Extend(Lumo::Objects::vec3<double>(0.5, 1.6, 0.5));
    FragmentLibrary::setGroundShadowArgs(graph, bounds, *p, *frame.dc);
    frame.Begin();
    ASSERT_TRUE(frame.Run(graph, world));
    Image shadowed = Read(frame.color);
    AutoPtr<FragmentGraph> plain = Visual();
    frame.Begin();
    ASSERT_TRUE(frame.Run(plain, world));
    Image open = Read(frame.color);
    // Below the part on screen, ground that was background colour is now in shadow; nothing
    // else changed.
    int shaded = 0, elsewhere = 0;
    for (int yy = 0; yy < 128; ++yy)
        for (int x = 0; x < 128; ++x) {
            const int d = open.Luma(x, yy) - shadowed.Luma(x, yy);
            if (d > 50 && open.Luma(x, yy) >= 230)
                ++shaded;
            else if (d > 3 && (x < 20 || x > 108 || yy < 20))
                ++elsewhere;
        }
    EXPECT_GT(shaded, 100) << "a shadow on the ground under the part";
    EXPECT_EQ(elsewhere, 0) << "open ground keeps the background";
    EXPECT_TRUE(Near(shadowed.At(4, 124), 233, 233, 233, 0)) << Str(shadowed.At(4, 124));
}

TEST_F(FragmentLibraryGL, FrustumCullingSkipsWholeSubgraphsOutsideTheView) {
    Frame frame(64, 64);
    OrthoView(*frame.dc, 1.0f, 64, 64);
    AutoPtr<SimpleMesh> quad(Quad(0.3f, 1.0f));
    const vec4<float> red(1, 0, 0, 1);
    AutoPtr<Lumo::Graphics::GroupNode> world = Group();
    world->AddChild(Leaf(quad, kFaces, &red));
    const mat4<float> away = mat4<float>::Translation({10, 0, 0});
    AutoPtr<Lumo::Graphics::GroupNode> outside = Group(&away);
    for (int i = 0; i < 20; ++i)
        outside->AddChild(Leaf(quad, kFaces, &red));
    world->AddChild(outside);
    AutoPtr<Lumo::Graphics::ScriptPipeRenderer> r(Lumo::Graphics::ScriptPipeRenderer::Make());
    ASSERT_TRUE(r->SetAgents(L"::StdDrawAgents"));
    frame.Begin();
    r->Render(*frame.dc, world);
    EXPECT_EQ(r->Stats().items, 1u) << "only the part in view made items";
    EXPECT_GE(r->Stats().pruned, 1u);
    EXPECT_LT(r->Stats().nodes, 10u) << "the outside group was not descended";
    // A part whose mesh moves into view is drawn next frame: boxes follow mesh data.
    AutoPtr<SimpleMesh> moving(Quad(0.3f, 1.0f));
    AutoPtr<Lumo::Graphics::GroupNode> holder = Group(&away);
    holder->AddChild(Leaf(moving, kFaces, &red));
    world->AddChild(holder);
    r->Render(*frame.dc, world);
    EXPECT_EQ(r->Stats().items, 1u);
    std::vector<float> v(moving->VertexData(),
                         moving->VertexData() + moving->VertexCount() * moving->Format()->Stride());
    for (size_t i = 0; i < v.size(); i += size_t(moving->Format()->Stride()))
        v[i] -= 10.0f;
    moving->SetVertices(v);
    r->Render(*frame.dc, world);
    EXPECT_EQ(r->Stats().items, 2u) << "the group's cached box did not follow its mesh";
    world->RemoveChild(holder);
    // Hidden subgraphs are pruned the same way.
    Lumo::Scene::GetAttributeSet(outside)->SetAttribute(
        AutoPtr<Lumo::Scene::Attribute>(Lumo::Scene::VisibilityAttribute::Make(false)));
    Lumo::Scene::GetAttributeSet(outside)->RemoveAttribute(Lumo::Scene::eTransform);
    r->Render(*frame.dc, world);
    EXPECT_EQ(r->Stats().items, 1u);
    EXPECT_TRUE(Near(Read(frame.color).At(32, 32), 255, 0, 0, 60));
}

TEST_F(FragmentLibraryGL, LevelOfDetailFollowsThePixelSize) {
    Frame frame;
    AutoPtr<SimpleMesh> coarse(Box(0.5f)), fine(GLTest::Sphere(0.5f));
    AutoPtr<Lumo::Scene::LODGeometryNode> lod = Lumo::Scene::MakeLODGeometryNode(false);
    Brio::Scene::NodeData::make(lod, nullptr, Lumo::Scene::eLODGeometryNode, false)->clientType(kFaces);
    lod->RenderGeometry(coarse, 8);
    lod->RenderGeometry(fine, 15);
    const vec4<float> grey(0.7f, 0.7f, 0.7f, 1);
    Lumo::Scene::GetAttributeSet(lod)->SetAttribute(
        AutoPtr<Lumo::Scene::Attribute>(Lumo::Scene::ColorEffectAttribute::Make(grey)));
    AutoPtr<Lumo::Graphics::GroupNode> world = Group();
    world->AddChild(lod);
    AutoPtr<FragmentGraph> graph = Visual();
    // Near: the sphere fills much of the view, its corners are empty; far: a few pixels of box.
    PerspectiveView(*frame.dc, 2.0f, 0.8f, 128, 128);
    frame.Begin();
    ASSERT_TRUE(frame.Run(graph, world));
    Image nearImg = Read(frame.color);
    // The box's corner lies outside the sphere's outline.
    const int cx = 64 + int(0.5f / 1.5f * 64 / std::tan(0.4f) * 0.85f);
    EXPECT_TRUE(Near(nearImg.At(cx, 64 - (cx - 64)), 233, 233, 233, 0))
        << "near: the fine sphere, " << Str(nearImg.At(cx, 64 - (cx - 64)));
    EXPECT_EQ(Brio::Scene::LODStrategy::mapLevel(3), 8);
    EXPECT_EQ(Brio::Scene::LODStrategy::mapLevel(10), 11);
    EXPECT_EQ(Brio::Scene::LODStrategy::mapLevel(14), 13);
    EXPECT_EQ(Brio::Scene::LODStrategy::mapLevel(15), 15);
    PerspectiveView(*frame.dc, 60.0f, 0.8f, 128, 128);
    frame.Begin();
    ASSERT_TRUE(frame.Run(graph, world));
    Image farImg = Read(frame.color);
    // Far away the box is drawn: its square outline fills its corners.
    int covered = 0;
    for (int y = 58; y < 70; ++y)
        for (int x = 58; x < 70; ++x)
            covered += farImg.Luma(x, y) < 225;
    EXPECT_GT(covered, 0);
}

TEST_F(FragmentLibraryGL, GraphsCarryTheirNamesLevelsAndArguments) {
    AutoPtr<RenderParams> p = RenderParams::make();
    AutoPtr<FragmentGraph> v = Visual(p);
    EXPECT_EQ(v->Name()->Text(), L"TavexVisualEffectGraph");
    EXPECT_EQ(v->Category(), L"SceneDraw");
    EXPECT_EQ(v->RequiredFeatureLevel(), 20);
    EXPECT_FALSE(FragmentParameters::setArg(v, L"noSuchArgument", true)) << "unknown arguments answer false";
    EXPECT_TRUE(FragmentParameters::setArg(v, L"HasEdgesPass", true));
    EXPECT_FALSE(FragmentParameters::setArg(v, L"clearColor", true)) << "a colour is no bool";
    bool out = false;
    EXPECT_TRUE(FragmentParameters::getArg(v, L"HasEdgesPass", out));
    EXPECT_TRUE(out);
    vec4<float> c;
    EXPECT_FALSE(FragmentParameters::getArg(v, L"clearColor", c)) << "not set yet";
    p->nprEffect(Brio::Scene::ENPREffect(1));
    AutoPtr<FragmentGraph> npr = Visual(p);
    EXPECT_EQ(npr->RequiredFeatureLevel(), 30);
    AutoPtr<FragmentGraph> layer(FragmentLibrary::createLayerEffectGraph(*p));
    EXPECT_EQ(layer->Name()->Text(), L"TavexLayerEffectGraph");
    AutoPtr<FragmentGraph> fxaa(FragmentLibrary::createFXAAEffectGraph());
    EXPECT_EQ(fxaa->Name()->Text(), L"NPR_FXAA_Graph");
    ASSERT_EQ(fxaa->FragmentCount(), 1);
    EXPECT_EQ(fxaa->Fragment(0)->Name()->Text(), L"NPR_FXAAPass");
}

} // namespace

namespace {

TEST_F(FragmentLibraryGL, PassRendererSharesGraphsByKeyAndSetsEachPassesArguments) {
    Brio::Scene::ViewFragmentPassRenderer pr;
    AutoPtr<RenderParams> a = RenderParams::make();
    AutoPtr<RenderParams> same(a->clone());
    AutoPtr<RenderParams> other(a->clone());
    other->transparentCollectionEnabled(false); // equal parameters, another key
    a->Accept(&pr);
    FragmentGraph* first = pr.currentGraph();
    ASSERT_NE(first, nullptr);
    same->Accept(&pr);
    EXPECT_EQ(pr.currentGraph(), first) << "equal keys share one graph";
    other->Accept(&pr);
    EXPECT_NE(pr.currentGraph(), first);
    EXPECT_EQ(pr.graphCount(), 2);
    AutoPtr<RenderParams> layer = RenderParams::make();
    layer->renderer(Brio::Scene::ERenderer(9));
    layer->Accept(&pr);
    EXPECT_EQ(pr.currentGraph()->Name()->Text(), L"TavexLayerEffectGraph");

    // A depth-only visual style, drawn through the pass renderer's arguments.
    Frame frame(64, 64);
    OrthoView(*frame.dc, 1.0f, 64, 64);
    AutoPtr<SimpleMesh> quad(Quad(0.5f, 1.0f));
    const vec4<float> red(1, 0, 0, 1);
    AutoPtr<Lumo::Graphics::GroupNode> world = Group();
    world->AddChild(Leaf(quad, kFaces, &red));
    AutoPtr<RenderParams> hidden = RenderParams::make();
    hidden->visualStyle(4);
    hidden->Accept(&pr);
    pr.targets(frame.color, frame.depth);
    pr.setPassArguments(*hidden);
    bool depthOnly = false;
    EXPECT_TRUE(FragmentParameters::getArg(pr.currentGraph(), L"DrawToDepthOnly", depthOnly));
    EXPECT_TRUE(depthOnly);
    FragmentParameters::setArg(pr.currentGraph(), L"world", static_cast<Lumo::Graphics::ARenderNode*>(world.get()));
    frame.Begin();
    ASSERT_TRUE(frame.interpreter->Run(pr.currentGraph()));
    EXPECT_TRUE(Near(Read(frame.color).At(32, 32), 233, 233, 233, 0));
    pr.releaseGraphs();
    EXPECT_EQ(pr.graphCount(), 0);
}

} // namespace
