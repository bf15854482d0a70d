// The selection stage over scene graphs: the nearest facet under a point with the path to the
// instance it belongs to, edges within a tolerance and not beyond it, window and crossing
// rectangles, hidden subgraphs skipped, and subgraphs outside the pick not descended.
#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/IndexBufferBuilder.h>
#include <Lumo/Devices/RenderCamera.h>
#include <Lumo/Devices/SelectionContext.h>
#include <Lumo/Devices/SelectionRegion.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Devices/VertexBufferBuilder.h>
#include <Lumo/Devices/VirtualDevice.h>
#include <Lumo/Graphics/EdgeIntersection.h>
#include <Lumo/Graphics/FacetIntersection.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Graphics/MeshBVH.h>
#include <Lumo/Graphics/ScriptPipeRenderer.h>
#include <Lumo/Graphics/SelectionStage.h>
#include <Lumo/Objects/ClassFactory.h>
#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Attributes/TransformAttribute.h>
#include <Scene/Attributes/TraversalState.h>
#include <Scene/Attributes/VisibilityAttribute.h>
#include <Scene/Change/NodeData.h>
#include <Scene/Nodes/ANodeData.h>
#include <Scene/Nodes/NodeFunctions.h>
#include <Scene/View/VisibilityAgent.h>

#include "PickTestSupport.h"

#include <gtest/gtest.h>

namespace {

using Lumo::Graphics::ARenderNode;
using Lumo::Graphics::GroupNode;
using Lumo::Graphics::IIntersection;
using Lumo::Graphics::IntersectionList;
using Lumo::Objects::AutoPtr;
using mat4f = Lumo::Objects::mat4<float>;
using vec3f = Lumo::Objects::vec3<float>;

constexpr float kW = 200, kH = 100; // the window; the view shows x -10..10, y -5..5

using PickTest::Cube;

AutoPtr<ARenderNode> Leaf(Lumo::Devices::SimpleMesh* mesh) {
    AutoPtr<Lumo::Graphics::GeometryNode> g = Lumo::Scene::MakeGeometryNode(true);
    g->RenderGeometry(mesh);
    return AutoPtr<ARenderNode>(g.get());
}

AutoPtr<GroupNode> Placed(ARenderNode* child, vec3f at) {
    AutoPtr<GroupNode> g = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, true);
    Lumo::Scene::GetAttributeSet(g)->SetAttribute(
        AutoPtr<Lumo::Scene::Attribute>(Lumo::Scene::TransformAttribute::Make(mat4f::Translation(at), false)));
    g->AddChild(child);
    return g;
}

struct Picker {
    AutoPtr<Lumo::Devices::VirtualDevice> device = Lumo::Devices::VirtualDevice::Make(nullptr);
    AutoPtr<Lumo::Devices::ADrawContext> dc = Lumo::Devices::ADrawContext::Make(device);
    AutoPtr<Lumo::Graphics::SelectionStage> stage = Lumo::Graphics::SelectionStage::Make();
    AutoPtr<Lumo::Devices::SelectionContext> context = Lumo::Devices::SelectionContext::Make();
    AutoPtr<IntersectionList> hits = IntersectionList::Make();
    Picker() {
        Brio::Scene::NodeData::installRenderCallbacks(); // the scene's walk, with boxes of groups
        // The scene's own visibility agent prunes hidden subgraphs, as the view's pick lists do.
        Lumo::Objects::ClassFactory::Get().Register(Brio::Scene::VisibilityAgent::StaticClassName(), [] {
            return static_cast<Lumo::Objects::ARefCounted*>(Brio::Scene::VisibilityAgent::Make());
        });
        stage->Pipe().SetAgents(L"DrawFilterAgent,VisibilityAgent,RealizeBoxAgent,FrustumAgent,SWPickAgent");
        stage->Pipe().AddClientState(Lumo::Scene::TraversalState::StaticClassName(),
                                     AutoPtr<Lumo::Scene::TraversalState>(Lumo::Scene::TraversalState::Make()));
        // A parallel view down -z: x -10..10 and y -5..5 fill the window, depth 0..1 for z 50..-50.
        mat4f proj;
        proj.m[0][0] = 0.1f;
        proj.m[1][1] = 0.2f;
        proj.m[2][2] = -0.01f;
        proj.m[3][2] = 0.5f;
        stage->Camera(AutoPtr<Lumo::Devices::ARenderCamera>(Lumo::Devices::ARenderCamera::Make(mat4f(), proj)));
        stage->Context(context);
        stage->Intersections(hits);
    }
    ~Picker() { Brio::Scene::NodeData::uninstallRenderCallbacks(); }

    /// Picks at window pixel (x, y), y up.
    int Point(ARenderNode* world, float x, float y, int tolerance = 0) {
        AutoPtr<Lumo::Devices::PointRegion> r(Lumo::Devices::PointRegion::Make());
        r->WindowSize({kW, kH});
        r->Point({x, y});
        r->Tolerance(tolerance);
        return Run(world, r);
    }
    int Rect(ARenderNode* world, float x0, float y0, float x1, float y1, bool crossing) {
        AutoPtr<Lumo::Devices::RectangleRegion> r(Lumo::Devices::RectangleRegion::Make());
        r->WindowSize({kW, kH});
        r->Min({x0, y0});
        r->Max({x1, y1});
        context->SelectionType(crossing ? 3 : 1);
        const int n = Run(world, r);
        context->SelectionType(3);
        return n;
    }
    int Run(ARenderNode* world, Lumo::Devices::ISelectionRegion2D* region) {
        hits->Clear();
        stage->World(world);
        stage->Region(region);
        EXPECT_TRUE(stage->Run(*dc));
        return hits->Count();
    }
};

/// Pixel of model point (x, y) in this view.
float Px(float x) {
    return (x / 10.f + 1.f) / 2.f * kW;
}
float Py(float y) {
    return (y / 5.f + 1.f) / 2.f * kH;
}

TEST(SelectionStage, ThePointFindsTheNearestFacetOfTheRightInstance) {
    Picker p;
    AutoPtr<Lumo::Devices::SimpleMesh> cube = Cube(1);
    AutoPtr<ARenderNode> part = Leaf(cube);
    AutoPtr<GroupNode> root = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, true);
    AutoPtr<GroupNode> left = Placed(part, {-5, 0, 0}), right = Placed(part, {5, 0, 0});
    AutoPtr<GroupNode> behind = Placed(part, {5, 0, -10}); // hidden by `right` in this view
    root->AddChild(left);
    root->AddChild(right);
    root->AddChild(behind);
    const std::uint64_t builds = Lumo::Graphics::MeshBVH::BuildCount();
    ASSERT_EQ(p.Point(root, Px(5.3f), Py(0.2f)), 2);
    // Nearest first: the front face of `right`, then the one behind it.
    IIntersection* first = p.hits->At(0);
    EXPECT_NEAR(first->Point().z, 1, 1e-5);
    EXPECT_NEAR(first->Point().x, 5.3, 1e-3);
    EXPECT_NEAR(first->Normal().z, 1, 1e-9);
    EXPECT_LT(first->Depth(), p.hits->At(1)->Depth());
    ASSERT_GE(first->Path().size(), 3u);
    EXPECT_EQ(first->Path().front().get(), root.get());
    EXPECT_EQ(first->Path()[1].get(), right.get()) << "the instance that was hit, not another";
    EXPECT_EQ(first->Path().back().get(), part.get());
    EXPECT_TRUE(first->GetInterface(Lumo::Graphics::FacetIntersection::StaticClassName()));
    // Every instance shares the part's one hierarchy.
    EXPECT_LE(Lumo::Graphics::MeshBVH::BuildCount(), builds + 1);
    // Only the nearest with the hint; nothing where nothing is.
    p.context->SelectionHint(true);
    ASSERT_EQ(p.Point(root, Px(5.3f), Py(0.2f)), 1);
    EXPECT_EQ(p.hits->At(0)->Path()[1].get(), right.get());
    p.context->SelectionHint(false);
    EXPECT_EQ(p.Point(root, Px(0), Py(0)), 0);
    // A hidden instance is not picked; the one behind it then is.
    Lumo::Scene::GetAttributeSet(right)->SetAttribute(
        AutoPtr<Lumo::Scene::Attribute>(Lumo::Scene::VisibilityAttribute::Make(false)));
    ASSERT_EQ(p.Point(root, Px(5.3f), Py(0.2f)), 1);
    EXPECT_EQ(p.hits->At(0)->Path()[1].get(), behind.get());
}

TEST(SelectionStage, EdgesWithinTheToleranceAndNotBeyond) {
    Picker p;
    Lumo::Devices::VertexBufferBuilder vb(Lumo::Devices::eVertexPosition);
    vb.AddVertex({-5, 0, 0});
    vb.AddVertex({5, 0, 0});
    Lumo::Devices::IndexBufferBuilder ib;
    ib.AddLine(0, 1);
    AutoPtr<Lumo::Devices::SimpleMesh> line(Lumo::Devices::SimpleMesh::Make(vb, ib, Lumo::Devices::ePrimLineList));
    AutoPtr<GroupNode> root = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, true);
    root->AddChild(Leaf(line));
    const float y = Py(0) + 3; // three pixels above the line
    EXPECT_EQ(p.Point(root, Px(2), y, 2), 0);
    ASSERT_EQ(p.Point(root, Px(2), y, 4), 1);
    auto* edge = static_cast<Lumo::Graphics::EdgeIntersection*>(
        p.hits->At(0)->GetInterface(Lumo::Graphics::EdgeIntersection::StaticClassName()));
    ASSERT_TRUE(edge);
    EXPECT_EQ(edge->Edge(), 0);
    EXPECT_NEAR(edge->Along(), 0.7, 1e-3);
    EXPECT_NEAR(edge->Point().y, 0, 1e-9) << "the point on the edge, not on the ray";
}

TEST(SelectionStage, WindowAndCrossingRectangles) {
    Picker p;
    AutoPtr<Lumo::Devices::SimpleMesh> cube = Cube(1);
    AutoPtr<ARenderNode> part = Leaf(cube);
    AutoPtr<GroupNode> root = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, true);
    root->AddChild(Placed(part, {-5, 0, 0}));
    root->AddChild(Placed(part, {0, 0, 0}));
    root->AddChild(Placed(part, {5, 0, 0}));
    // From x = -7 to x = 0.5: the first cube inside, the second cut, the third away.
    EXPECT_EQ(p.Rect(root, Px(-7), Py(-3), Px(0.5f), Py(3), false), 1);
    EXPECT_EQ(p.Rect(root, Px(-7), Py(-3), Px(0.5f), Py(3), true), 2);
    // Corners given the other way round; a rectangle between the cubes catches nothing.
    EXPECT_EQ(p.Rect(root, Px(0.5f), Py(3), Px(-7), Py(-3), true), 2);
    EXPECT_EQ(p.Rect(root, Px(2), Py(-3), Px(3), Py(3), true), 0);
}

TEST(SelectionStage, SubgraphsOutsideThePickAreNotDescended) {
    Picker p;
    AutoPtr<Lumo::Devices::SimpleMesh> cube = Cube(0.1f);
    AutoPtr<ARenderNode> part = Leaf(cube);
    AutoPtr<GroupNode> root = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, true);
    AutoPtr<GroupNode> far = Placed(
        AutoPtr<ARenderNode>(Lumo::Scene::MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, true)).get(), {8, 0, 0});
    auto* farGroup = static_cast<GroupNode*>(far->Child(0));
    for (int i = 0; i < 50; ++i)
        farGroup->AddChild(Placed(part, {0.f, float(i) * 0.01f, 0}));
    root->AddChild(far);
    root->AddChild(Placed(part, {-8, 0, 0}));
    ASSERT_EQ(p.Point(root, Px(-8), Py(0)), 1);
    // Groups box themselves once, on the first walk; from then on the far group is skipped.
    ASSERT_EQ(p.Point(root, Px(-8), Py(0)), 1);
    EXPECT_LT(p.stage->Pipe().Stats().nodes, 10u) << "the far group's fifty parts were not visited";
    EXPECT_GE(p.stage->Pipe().Stats().pruned, 1u);
    // With the hint off, one hit per part under the point: those whose centres lie 0.1 or less
    // from it.
    EXPECT_EQ(p.Point(root, Px(8), Py(0.205f)), 20);
}

TEST(SelectionStage, ManyPlacementsAreCulledWithoutEnteringEachAndFollowEdits) {
    // Parts placed many times each, the placements of one part under a group of their own, and
    // the groups of all parts under one root, as an assembly's instances are.
    Picker p;
    AutoPtr<Lumo::Devices::SimpleMesh> cube = Cube(0.04f); // narrower than the spacing
    AutoPtr<GroupNode> root = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, true);
    std::vector<AutoPtr<ARenderNode>> parts;
    std::vector<AutoPtr<GroupNode>> placements;
    for (int k = 0; k < 10; ++k) {
        parts.push_back(Leaf(cube));
        AutoPtr<GroupNode> holder = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, true);
        for (int i = 0; i < 20; ++i) { // part k at every tenth column, spread over x -9.5..9.5
            placements.push_back(Placed(parts.back(), {-9.5f + float(i * 10 + k) * 0.095f, float(k % 3) - 1.f, 0}));
            holder->AddChild(placements.back());
        }
        root->AddChild(holder);
    }
    // Every placement is found where it stands, and only there.
    for (int k = 0; k < 10; ++k)
        for (int i : {0, 7, 19}) {
            const float x = -9.5f + float(i * 10 + k) * 0.095f, y = float(k % 3) - 1.f;
            ASSERT_EQ(p.Point(root, Px(x), Py(y)), 1) << "part " << k << " placement " << i;
            EXPECT_EQ(p.hits->At(0)->Path().back().get(), parts[std::size_t(k)].get());
            EXPECT_EQ(p.hits->At(0)->Path()[2].get(), placements[std::size_t(k * 20 + i)].get());
        }
    // A pick enters the few placements near the point, not the two hundred.
    ASSERT_EQ(p.Point(root, Px(-9.5f), Py(-1)), 1);
    EXPECT_LT(p.stage->Pipe().Stats().nodes, 40u);
    // A placement moved under the point after the groups were indexed is found there, and no
    // longer where it was.
    GroupNode* moved = placements[5 * 20 + 3];
    Lumo::Scene::GetAttributeSet(moved)->SetAttribute(
        AutoPtr<Lumo::Scene::Attribute>(Lumo::Scene::TransformAttribute::Make(mat4f::Translation({0, 4, 0}), false)));
    ASSERT_EQ(p.Point(root, Px(0), Py(4)), 1);
    EXPECT_EQ(p.hits->At(0)->Path()[2].get(), moved);
    EXPECT_EQ(p.Point(root, Px(-9.5f + 35 * 0.095f), Py(1)), 0);
    // Placements added later are picked too; a rectangle over everything takes every one.
    AutoPtr<GroupNode> extra = Placed(parts[0], {0, -4, 0});
    static_cast<GroupNode*>(root->Child(0))->AddChild(extra);
    ASSERT_EQ(p.Point(root, Px(0), Py(-4)), 1);
    EXPECT_EQ(p.hits->At(0)->Path()[2].get(), extra.get());
    EXPECT_EQ(p.Rect(root, 0, 0, kW, kH, true), 201);
}

} // namespace
