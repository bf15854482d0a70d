#include "../TestSupport.h"
#include "TestSource.h"

#include <Brio/Types/Color.h>
#include <Lumo/Graphics/AWorld.h>
#include <Scene/Change/ClientTypes.h>
#include <Scene/Change/NodeData.h>
#include <Scene/Change/SceneNodes.h>
#include <Scene/Nodes/NodeFunctions.h>
#include <Scene/Nodes/ReferenceNodeData.h>

using namespace Brio::Scene;
using namespace SceneTest;
using Lumo::Graphics::GroupNode;

namespace {
using FakeSource = SourceTest::RecordingSource;
INodeSource* AsSource(FakeSource& s) {
    return &s;
}

AutoPtr<GroupNode> Group(std::uint32_t client, std::uint64_t q = 0) {
    AutoPtr<GroupNode> g = GroupNode::Make();
    NodeData* d = NodeData::make(g, nullptr, Lumo::Scene::eGroupNode, false);
    d->clientType(client);
    d->qualifier(q);
    return g;
}

Brio::Color Grey(int i) {
    return Brio::Color(float(i) / 10.f, float(i) / 10.f, float(i) / 10.f, 1.f);
}
} // namespace

TEST(NodeDataTest, KindsSetsAndInterfaces) {
    LiveObjectGuard guard;
    FakeSource body;
    AutoPtr<GroupNode> g = GroupNode::Make(), inst = GroupNode::Make();
    NodeData* d = NodeData::make(g, AsSource(body), Lumo::Scene::eGroupNode, false);
    NodeData::make(inst, nullptr, Lumo::Scene::eInstanceNode, false);
    EXPECT_EQ(nodeData(g), d);
    EXPECT_EQ(Lumo::Scene::ANodeData::GetNodeData(g), d) << "also found as base node data";
    EXPECT_FALSE(d->attributeSet()->IsExtended());
    EXPECT_TRUE(nodeData(inst)->attributeSet()->IsExtended()) << "instances always get child sets";
    EXPECT_EQ(source(g), AsSource(body));
    d->source(nullptr);
    EXPECT_EQ(source(g), nullptr);
    EXPECT_EQ(d->ClassName(), Lumo::Objects::Intern(L"NodeData"));

    AutoPtr<Lumo::Graphics::AWorld> world = Lumo::Graphics::AWorld::Make(Lumo::Graphics::eRenderListWorld);
    d->decorationWorld(world);
    EXPECT_EQ(world->RefCount(), 2);
    d->decorationWorld(nullptr);
    EXPECT_EQ(world->RefCount(), 1);
}

TEST(NodeDataTest, ReferenceNodesAnswerForTheirTarget) {
    LiveObjectGuard guard;
    FakeSource component;
    AutoPtr<GroupNode> target = GroupNode::Make(), parent = Group(0);
    NodeData* t = NodeData::make(target, AsSource(component), Lumo::Scene::eGroupNode, false);
    t->clientType(eClientComponent);
    t->qualifier(42);
    AutoPtr<GroupNode> reference = Lumo::Scene::MakeReferenceNode(target, parent, Lumo::Graphics::eSingleNodeWorld);
    parent->AddChild(reference);
    EXPECT_TRUE(isReferenceNode(reference));
    EXPECT_EQ(source(reference), AsSource(component));
    EXPECT_EQ(clientType(reference), unsigned(eClientComponent));
    EXPECT_EQ(qualifier(reference), 42u);
    EXPECT_EQ(clientType(nullptr), 0u);
    EXPECT_EQ(findReferenceNode(parent, {target.get()}), reference.get());
    EXPECT_EQ(findReferenceNode(parent, {}), nullptr);
    EXPECT_EQ(findReferenceNode(parent, {parent.get()}), nullptr);
}

TEST(NodeDataTest, FacesAndEdgesChildrenAndEmptyPasses) {
    LiveObjectGuard guard;
    AutoPtr<GroupNode> body = Group(eClientBody);
    EXPECT_TRUE(isSelectionFragmentPassEmpty(body));
    AutoPtr<GroupNode> faces = Group(eClientFaces), edges7 = Group(eClientEdges, 7), edges0 = Group(eClientEdges, 0);
    body->AddChild(faces);
    body->AddChild(edges7);
    body->AddChild(edges0);
    EXPECT_EQ(findFacesChild(body), faces.get());
    EXPECT_EQ(findEdgesChild(body, 0), edges0.get());
    EXPECT_EQ(findEdgesChild(body, 7), edges7.get());
    EXPECT_EQ(findEdgesChild(body, 3), nullptr);
    EXPECT_EQ(sceneRoot(body), faces.get());
    EXPECT_TRUE(isSelectionFragmentPassEmpty(body));
    AutoPtr<GroupNode> face = Group(0x40);
    edges0->AddChild(face);
    EXPECT_FALSE(isSelectionFragmentPassEmpty(body));
    EXPECT_FALSE(isLayeredFragmentPassEmpty(body));
}

TEST(NodeDataTest, CyclingColoursWalkThePaletteOncePerNode) {
    LiveObjectGuard guard;
    NodeData::cyclingPalette(&Grey, 3);
    std::vector<AutoPtr<GroupNode>> nodes;
    for (int i = 0; i < 4; ++i)
        nodes.push_back(Group(eClientInstance));
    EXPECT_FLOAT_EQ(nodeData(nodes[0])->cyclingColor().red(), 0.0f);
    EXPECT_FLOAT_EQ(nodeData(nodes[1])->cyclingColor().red(), 0.1f);
    EXPECT_FLOAT_EQ(nodeData(nodes[0])->cyclingColor().red(), 0.0f) << "kept once chosen";
    EXPECT_FLOAT_EQ(nodeData(nodes[2])->cyclingColor().red(), 0.2f);
    EXPECT_FLOAT_EQ(nodeData(nodes[3])->cyclingColor().red(), 0.0f) << "wraps round";
    NodeData::cyclingPalette(nullptr, 0); // back to the built-in palette
}
