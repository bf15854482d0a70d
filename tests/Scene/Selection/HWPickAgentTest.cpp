// The hardware pick without a GL device: it reports nothing, never fails the pick, and hands
// every state on to the agents after it.
#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/IndexBufferBuilder.h>
#include <Lumo/Devices/RenderCamera.h>
#include <Lumo/Devices/SelectionContext.h>
#include <Lumo/Devices/SelectionRegion.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Devices/VertexBufferBuilder.h>
#include <Lumo/Devices/VirtualDevice.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Graphics/HWPickAgent.h>
#include <Lumo/Graphics/IIntersection.h>
#include <Lumo/Graphics/ScriptPipeRenderer.h>
#include <Lumo/Graphics/SelectionStage.h>
#include <Scene/Attributes/TraversalState.h>
#include <Scene/Change/NodeData.h>
#include <Scene/Nodes/NodeFunctions.h>

#include <gtest/gtest.h>

namespace {

using Lumo::Objects::AutoPtr;
using mat4f = Lumo::Objects::mat4<float>;

struct GpuFreePick {
    AutoPtr<Lumo::Devices::VirtualDevice> device = Lumo::Devices::VirtualDevice::Make(nullptr);
    AutoPtr<Lumo::Devices::ADrawContext> dc = Lumo::Devices::ADrawContext::Make(device);
    AutoPtr<Lumo::Graphics::SelectionStage> stage = Lumo::Graphics::SelectionStage::Make();
    AutoPtr<Lumo::Devices::SelectionContext> context = Lumo::Devices::SelectionContext::Make();
    AutoPtr<Lumo::Graphics::IntersectionList> hits = Lumo::Graphics::IntersectionList::Make();
    GpuFreePick() {
        Brio::Scene::NodeData::installRenderCallbacks();
        stage->Pipe().AddClientState(Lumo::Scene::TraversalState::StaticClassName(),
                                     AutoPtr<Lumo::Scene::TraversalState>(Lumo::Scene::TraversalState::Make()));
        mat4f proj; // x, y -10..10; depth 0..1 for z -50..50
        proj.m[0][0] = proj.m[1][1] = 0.1f;
        proj.m[2][2] = 0.01f;
        proj.m[3][2] = 0.5f;
        stage->Camera(AutoPtr<Lumo::Devices::ARenderCamera>(Lumo::Devices::ARenderCamera::Make(mat4f(), proj)));
        stage->Context(context);
        stage->Intersections(hits);
    }
    ~GpuFreePick() { Brio::Scene::NodeData::uninstallRenderCallbacks(); }
    int Rect(Lumo::Graphics::ARenderNode* world) {
        AutoPtr<Lumo::Devices::RectangleRegion> r(Lumo::Devices::RectangleRegion::Make());
        r->WindowSize({100, 100});
        r->Min({10, 10});
        r->Max({90, 90});
        hits->Clear();
        stage->World(world);
        stage->Region(r);
        EXPECT_TRUE(stage->Run(*dc));
        return hits->Count();
    }
};

TEST(HWPickAgent, WithoutADeviceReportsNothingAndPassesStatesOn) {
    GpuFreePick p;
    Lumo::Devices::VertexBufferBuilder vb(Lumo::Devices::eVertexPosition);
    vb.AddVertex({-1, -1, 0});
    vb.AddVertex({1, -1, 0});
    vb.AddVertex({0, 1, 0});
    Lumo::Devices::IndexBufferBuilder ib;
    ib.AddTriangle(0, 1, 2);
    AutoPtr<Lumo::Devices::SimpleMesh> mesh(Lumo::Devices::SimpleMesh::Make(vb, ib));
    AutoPtr<Lumo::Graphics::GeometryNode> leaf = Lumo::Scene::MakeGeometryNode(true);
    leaf->RenderGeometry(mesh);
    AutoPtr<Lumo::Graphics::GroupNode> root = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, true);
    root->AddChild(leaf);

    ASSERT_TRUE(p.stage->Pipe().SetAgents(L"DrawFilterAgent,RealizeBoxAgent,FrustumAgent,HWPickAgent"));
    auto* agent = static_cast<Lumo::Graphics::HWPickAgent*>(
        p.stage->Pipe().FindAgent(Lumo::Graphics::HWPickAgent::StaticClassName()));
    ASSERT_NE(agent, nullptr);
    EXPECT_EQ(p.Rect(root), 0);
    EXPECT_EQ(agent->DrawnCount(), 0);

    // The software pick behind it still sees the leaf.
    ASSERT_TRUE(p.stage->Pipe().SetAgents(L"DrawFilterAgent,RealizeBoxAgent,FrustumAgent,HWPickAgent,SWPickAgent"));
    ASSERT_EQ(p.Rect(root), 1);
    EXPECT_EQ(p.hits->At(0)->Path().back().get(), leaf.get());
}

} // namespace
