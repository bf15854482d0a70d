// The selector's members of the pick pipeline: how the stage composes its agents, the hardware
// sub-stage and its geometry filter around a window pick, the selector's pick agent on leaves
// wholly inside a rectangle, and where along an edge the point region puts a pick.
#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/IndexBufferBuilder.h>
#include <Lumo/Devices/RenderCamera.h>
#include <Lumo/Devices/SelectionContext.h>
#include <Lumo/Devices/SelectionRegion.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Devices/VertexBufferBuilder.h>
#include <Lumo/Devices/VirtualDevice.h>
#include <Lumo/Graphics/FacetIntersection.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Graphics/IIntersection.h>
#include <Lumo/Graphics/ScriptPipeRenderer.h>
#include <Lumo/Objects/UString.h>
#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Attributes/TransformAttribute.h>
#include <Scene/Change/NodeData.h>
#include <Scene/Nodes/NodeFunctions.h>
#include <Scene/Selection/HWSelectionSWFilterAgent.h>
#include <Scene/Selection/SelectionOutputAgent.h>
#include <Scene/Selection/TavexPointRegion.h>
#include <Scene/Selection/TavexSelectionStage.h>

#include "PickTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Brio::Scene::TavexSelectionStage;
using Lumo::Objects::AutoPtr;
using mat4f = Lumo::Objects::mat4<float>;
using vec3d = Lumo::Objects::vec3<double>;

std::wstring Names(const Lumo::Graphics::ScriptPipeRenderer& pipe) {
    std::wstring out;
    for (int i = 0; i < pipe.AgentCount(); ++i)
        out += std::wstring(i ? L"," : L"") + pipe.Agent(i)->ClassName()->c_str();
    return out;
}

TEST(TavexPointRegion, EdgeFractionsAreTakenInSpaceNotOnScreen) {
    AutoPtr<Brio::Scene::TavexPointRegion> region(Brio::Scene::TavexPointRegion::Make());
    region->WindowSize({100, 100});
    region->Point({30, 52});
    region->Tolerance(3);
    double t = -1;
    // Parallel ends (w = 1): the screen fraction, measured where the point falls on the line.
    ASSERT_TRUE(region->TestEdgeIntersect(vec3d(10, 50, 1), vec3d(50, 50, 1), t));
    EXPECT_NEAR(t, 0.5, 1e-12);
    // The far end four times as deep: half way on screen is a fifth of the way in space.
    ASSERT_TRUE(region->TestEdgeIntersect(vec3d(10, 50, 1), vec3d(50, 50, 4), t));
    EXPECT_NEAR(t, 0.2, 1e-12);
    // Mostly vertical edges are measured along y; a point past the end clamps to it.
    ASSERT_TRUE(region->TestEdgeIntersect(vec3d(29, 0, 1), vec3d(31, 104, 1), t));
    EXPECT_NEAR(t, 0.5, 0.01);
    region->Point({50, 51});
    ASSERT_TRUE(region->TestEdgeIntersect(vec3d(10, 50, 1), vec3d(48, 50, 1), t));
    EXPECT_EQ(t, 1.0);
    // Beyond the tolerance is a miss; a point-like edge is at its start.
    EXPECT_FALSE(region->TestEdgeIntersect(vec3d(10, 40, 1), vec3d(50, 40, 1), t));
    ASSERT_TRUE(region->TestEdgeIntersect(vec3d(50, 50, 1), vec3d(50, 50, 2), t));
    EXPECT_EQ(t, 0.0);
    // The plain region answers the screen fraction even under perspective.
    AutoPtr<Lumo::Devices::PointRegion> plain(Lumo::Devices::PointRegion::Make());
    plain->Point({30, 52});
    plain->Tolerance(3);
    ASSERT_TRUE(plain->TestEdgeIntersect(vec3d(10, 50, 1), vec3d(50, 50, 4), t));
    EXPECT_NEAR(t, 0.5, 1e-12);
}

TEST(TavexSelectionStage, ComposesTheSceneAgentsIntoThePipeline) {
    AutoPtr<Lumo::Graphics::ScriptPipeRenderer> pipe(Lumo::Graphics::ScriptPipeRenderer::Make());
    ASSERT_TRUE(pipe->SetAgents(L"DrawFilterAgent,SwapAgent,FrustumAgent,SWPickAgent"));
    AutoPtr<Brio::Scene::SelectionOutputAgent> output(Brio::Scene::SelectionOutputAgent::Make());
    TavexSelectionStage::compose(*pipe, output, true);
    EXPECT_EQ(Names(*pipe), L"VisibilityAgent,DrawFilterAgent,SwapAgent,SliceAgent,FrustumAgent,TavexSWPickAgent,"
                            L"SelectionOutputAgent");
    EXPECT_EQ(pipe->Agent(pipe->AgentCount() - 1), output.get());
    // Without a swap agent the slice agent leads; without visibility none is added.
    ASSERT_TRUE(pipe->SetAgents(L"FrustumAgent,SWPickAgent"));
    TavexSelectionStage::compose(*pipe, output, false);
    EXPECT_EQ(Names(*pipe), L"SliceAgent,FrustumAgent,TavexSWPickAgent,SelectionOutputAgent");
}

using PickTest::Cube;

struct Stage {
    AutoPtr<Lumo::Devices::VirtualDevice> device = Lumo::Devices::VirtualDevice::Make(nullptr);
    AutoPtr<Lumo::Devices::ADrawContext> dc = Lumo::Devices::ADrawContext::Make(device);
    AutoPtr<TavexSelectionStage> stage = TavexSelectionStage::Make();
    AutoPtr<Lumo::Devices::SelectionContext> context = Lumo::Devices::SelectionContext::Make();
    AutoPtr<Lumo::Graphics::IntersectionList> hits = Lumo::Graphics::IntersectionList::Make();
    AutoPtr<Lumo::Graphics::GroupNode> root = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, true);
    AutoPtr<Lumo::Devices::SimpleMesh> cube = Cube(1);
    Stage() {
        Brio::Scene::NodeData::installRenderCallbacks();
        stage->Initialize(true);
        mat4f proj; // parallel: x and y -10..10 fill the window, depth 0..1 for z 50..-50
        proj.m[0][0] = proj.m[1][1] = 0.1f;
        proj.m[2][2] = -0.01f;
        proj.m[3][2] = 0.5f;
        stage->Camera(AutoPtr<Lumo::Devices::ARenderCamera>(Lumo::Devices::ARenderCamera::Make(mat4f(), proj)));
        stage->Context(context);
        stage->Intersections(hits);
        stage->World(root);
        for (float x : {-5.f, 0.f, 5.f}) {
            AutoPtr<Lumo::Graphics::GroupNode> g = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, true);
            Lumo::Scene::GetAttributeSet(g)->SetAttribute(AutoPtr<Lumo::Scene::Attribute>(
                Lumo::Scene::TransformAttribute::Make(mat4f::Translation({x, 0, 0}), false)));
            AutoPtr<Lumo::Graphics::GeometryNode> leaf = Lumo::Scene::MakeGeometryNode(true);
            leaf->RenderGeometry(cube);
            g->AddChild(leaf);
            root->AddChild(g);
        }
    }
    ~Stage() { Brio::Scene::NodeData::uninstallRenderCallbacks(); }
    /// A rectangle between model x0 and x1 over y -3..3, in a 200 x 200 window.
    int Rect(float x0, float x1, int type) {
        AutoPtr<Lumo::Devices::RectangleRegion> r(Lumo::Devices::RectangleRegion::Make());
        r->WindowSize({200, 200});
        r->Min({(x0 / 10 + 1) * 100, 70});
        r->Max({(x1 / 10 + 1) * 100, 130});
        context->SelectionType(type);
        context->SelectionLevel(1);
        stage->Region(r);
        hits->Clear();
        stage->output(false)->clear();
        EXPECT_TRUE(stage->Run(*dc));
        return hits->Count();
    }
};

TEST(TavexSelectionStage, RectanglesThroughTheSelectorsAgents) {
    Stage s;
    EXPECT_EQ(Names(s.stage->Pipe()), L"SliceAgent,VisibilityAgent,DrawFilterAgent,RealizeBoxAgent,FrustumAgent,"
                                      L"TavexSWPickAgent,SelectionOutputAgent");
    // x -7 .. 0.5: the first cube wholly inside, taken whole (no facet), the second touched.
    EXPECT_EQ(s.Rect(-7, 0.5f, 1), 1);
    auto* whole = static_cast<Lumo::Graphics::FacetIntersection*>(
        s.hits->At(0)->GetInterface(Lumo::Graphics::FacetIntersection::StaticClassName()));
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->Facet(), -1);
    EXPECT_NEAR(whole->Point().x, -5, 1e-9) << "a whole item is reported at its centre";
    EXPECT_EQ(s.Rect(-7, 0.5f, 3), 2);
    EXPECT_EQ(s.Rect(2, 3, 3), 0);
}

TEST(TavexSelectionStage, AHardwareWindowPickArmsTheFilterAndGivesTheTypeBack) {
    Stage s;
    EXPECT_EQ(s.stage->hardwareStage(), nullptr) << "made on the first hardware pick";
    s.context->IsHWPick(true);
    s.Rect(-7, 0.5f, 1); // without a GL device the hardware reports nothing, but runs
    ASSERT_NE(s.stage->hardwareStage(), nullptr);
    EXPECT_EQ(Names(s.stage->hardwareStage()->Pipe()),
              L"SliceAgent,VisibilityAgent,DrawFilterAgent,RealizeBoxAgent,FrustumAgent,HWPickAgent,"
              L"HWSelectionSWFilterAgent,SelectionOutputAgent");
    EXPECT_EQ(s.context->SelectionType(), 1) << "the window type is given back after the run";
    EXPECT_FALSE(s.stage->filterAgent()->armed());
    // A second hardware pick reuses the sub-stage and does not add another filter.
    Lumo::Graphics::SelectionStage* hw = s.stage->hardwareStage();
    s.Rect(-7, 0.5f, 3);
    EXPECT_EQ(s.stage->hardwareStage(), hw);
    EXPECT_EQ(s.context->SelectionType(), 3);
    EXPECT_EQ(Names(hw->Pipe()).find(L"HWSelectionSWFilterAgent,HWSelectionSWFilterAgent"), std::wstring::npos);
}

TEST(HWSelectionSWFilterAgent, KeepsOnlyLeavesWhollyInsideWhileArmed) {
    // The filter on its own in a software walk: armed, only the cube inside passes to the
    // output agent behind it.
    Stage s;
    AutoPtr<Brio::Scene::HWSelectionSWFilterAgent> filter(Brio::Scene::HWSelectionSWFilterAgent::Make());
    Lumo::Graphics::ScriptPipeRenderer& pipe = s.stage->Pipe();
    const int pick = pipe.AgentIndex(Lumo::Objects::Intern(L"TavexSWPickAgent"));
    ASSERT_GE(pick, 0);
    pipe.InsertAgent(pick + 1, filter);
    auto recorded = [&](int child) {
        return s.stage->output(false)->find(*AutoPtr<Lumo::Graphics::IIntersection>(s.hits->At(child))) != nullptr;
    };
    ASSERT_EQ(s.Rect(-7, 0.5f, 3), 2);
    EXPECT_TRUE(recorded(0) && recorded(1)) << "disarmed, everything passes";
    filter->arm(s.context);
    ASSERT_EQ(s.Rect(-7, 0.5f, 3), 2);
    int passed = 0;
    for (int i = 0; i < s.hits->Count(); ++i)
        passed += recorded(i);
    EXPECT_EQ(passed, 1) << "the cube cut by the rectangle is held back";
    filter->arm(nullptr);
    ASSERT_EQ(s.Rect(-7, 0.5f, 3), 2);
    EXPECT_FALSE(recorded(0) || recorded(1)) << "armed without a context, nothing passes";
}

} // namespace
