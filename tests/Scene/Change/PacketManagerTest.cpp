#include "PacketTestSupport.h"

#include <Lumo/Graphics/StandardObjectManager.h>
#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Change/CreateChangePacket.h>
#include <Scene/Change/GroupChangePacket.h>
#include <Scene/Change/RevalidatePacket.h>
#include <Scene/Nodes/LODGeometryNode.h>
#include <Scene/Nodes/NodeFunctions.h>

using namespace PacketTest;
using Brio::Scene::ChangePacket;
using Brio::Scene::CreateChangePacket;
using Brio::Scene::GroupChangePacket;
using Brio::Scene::RevalidatePacket;
using Lumo::Graphics::StandardObjectManager;

namespace {
/// Live packet counts, checked back at their start value.
struct PacketCounts {
    int change = ChangePacket::NetObjectCount(), revalidate = RevalidatePacket::NetObjectCount(),
        group = GroupChangePacket::NetObjectCount(), create = CreateChangePacket::NetObjectCount();
    ~PacketCounts() {
        EXPECT_EQ(ChangePacket::NetObjectCount(), change);
        EXPECT_EQ(RevalidatePacket::NetObjectCount(), revalidate);
        EXPECT_EQ(GroupChangePacket::NetObjectCount(), group);
        EXPECT_EQ(CreateChangePacket::NetObjectCount(), create);
    }
};
} // namespace

TEST(PacketManagerTest, PacketsForOneNodeMergeAndApplyThroughTheManager) {
    SceneTest::LiveObjectGuard guard;
    PacketCounts counts;
    AutoPtr<StandardObjectManager> manager = StandardObjectManager::Make();
    AutoPtr<Lumo::Graphics::GroupNode> group = SceneGroup(), child = SceneGroup();
    AutoPtr<Lumo::Scene::LODGeometryNode> lod = Lumo::Scene::MakeLODGeometryNode(true);
    AutoPtr<Lumo::Devices::SimpleMesh> mesh = Mesh();

    {
        AutoPtr<ChangePacket> first = ChangePacket::make(group);
        first->qualifier(1);
        first->setFlags(0x8, true);
        first->attributeSet()->SetAttribute(
            AutoPtr<Lumo::Scene::Attribute>(SceneTest::KindAttribute::Make(Lumo::Scene::eEffect, 1)));
        first->prepare();
        manager->PostPacket(first);
        AutoPtr<GroupChangePacket> children = GroupChangePacket::make(group);
        children->AddChild(child);
        manager->PostPacket(children);
        AutoPtr<ChangePacket> meshes = ChangePacket::make(lod);
        meshes->geometry(mesh, 3);
        manager->PostPacket(meshes);
        AutoPtr<ChangePacket> later = ChangePacket::make(group);
        later->qualifier(2);
        later->setFlags(0x8, false);
        later->attributeSet()->SetAttribute(
            AutoPtr<Lumo::Scene::Attribute>(SceneTest::KindAttribute::Make(Lumo::Scene::eEffect, 2)));
        later->prepare();
        manager->PostPacket(later);
        AutoPtr<CreateChangePacket> created =
            CreateChangePacket::make(CreateChangePacket::eCreateGroup, child, 0, false);
        manager->PostPacket(created->packet());
        EXPECT_EQ(manager->PendingCount(), 3) << "one packet per node; the create packet has none";
        EXPECT_EQ(first->mergedPacketCount(), 1) << "the group packet rides along";
    }
    EXPECT_EQ(manager->ApplyChanges(), 3);
    Brio::Scene::NodeData* data = Brio::Scene::nodeData(group);
    EXPECT_EQ(data->qualifier(), 2u);
    EXPECT_FALSE(group->Test(0x8));
    EXPECT_EQ(SceneTest::ValueOf(Lumo::Scene::GetAttributeSet(group)->GetAttribute(Lumo::Scene::eEffect)), 2);
    EXPECT_TRUE(group->HasChild(child)) << "a group packet merged into a change packet is not lost";
    EXPECT_EQ(lod->RenderGeometry(3), mesh.get());
    EXPECT_EQ(manager->PendingCount(), 0);
    group->RemoveChild(child);
}

TEST(PacketManagerTest, AChangePacketMergedIntoAGroupPacketStillApplies) {
    SceneTest::LiveObjectGuard guard;
    PacketCounts counts;
    AutoPtr<StandardObjectManager> manager = StandardObjectManager::Make();
    AutoPtr<Lumo::Graphics::GroupNode> group = SceneGroup(), a = SceneGroup(), b = SceneGroup();
    AutoPtr<GroupChangePacket> adds = GroupChangePacket::make(group);
    adds->AddChild(a);
    manager->PostPacket(adds);
    AutoPtr<ChangePacket> q1 = ChangePacket::make(group), q2 = ChangePacket::make(group);
    q1->qualifier(5);
    q2->clientType(0x40);
    manager->PostPacket(q1);
    manager->PostPacket(q2);
    AutoPtr<GroupChangePacket> more = GroupChangePacket::make(group);
    more->AddChild(b);
    manager->PostPacket(more);
    EXPECT_EQ(adds->mergedPacketCount(), 1) << "consecutive change packets fold into one";
    adds = nullptr;
    q1 = q2 = nullptr;
    more = nullptr;
    manager->ApplyChanges();
    EXPECT_TRUE(group->HasChild(a));
    EXPECT_TRUE(group->HasChild(b));
    EXPECT_EQ(Brio::Scene::nodeData(group)->qualifier(), 5u);
    EXPECT_EQ(Brio::Scene::nodeData(group)->clientType(), 0x40u);
    Lumo::Scene::RemoveAllChildren(group);
}

TEST(CreateChangePacketTest, NodesKeepTheirFirstSyncIdAndTypesFollowTheCreateKind) {
    SceneTest::LiveObjectGuard guard;
    PacketCounts counts;
    CreateChangePacket::ResetUniqueNodeID();
    AutoPtr<Lumo::Graphics::GroupNode> a = SceneGroup(), b = SceneGroup();
    AutoPtr<CreateChangePacket> pa = CreateChangePacket::make(CreateChangePacket::eCreateGroup, a, 4, true);
    AutoPtr<CreateChangePacket> pb = CreateChangePacket::make(CreateChangePacket::eCreateInstance, b, 4, true);
    AutoPtr<CreateChangePacket> again = CreateChangePacket::make(CreateChangePacket::eCreateBody, a, 3, true);
    EXPECT_EQ(pa->nodeId(), 1u);
    EXPECT_EQ(pb->nodeId(), 2u);
    EXPECT_EQ(again->nodeId(), 1u) << "the first packet's id stays with the node";
    EXPECT_EQ(pa->worldType(), 4u);
    EXPECT_TRUE(pa->extended());
    EXPECT_EQ(pb->worldType(), 1u);
    EXPECT_FALSE(pb->extended());
    EXPECT_EQ(again->worldType(), 3u);
    EXPECT_FALSE(again->extended()) << "only group nodes carry the extended flag";
    EXPECT_EQ(pa->newNode(), a.get());

    Lumo::Graphics::IChangePacket* packet = pa->packet();
    EXPECT_EQ(packet->Node(), nullptr);
    EXPECT_TRUE(packet->UpdateNode());
    EXPECT_EQ(packet->MergeChanges(*pb->packet()), packet);
    CreateChangePacket::ResetUniqueNodeID();
    EXPECT_EQ(CreateChangePacket::GetUniqueNodeID(), 1u);
    CreateChangePacket::ResetUniqueNodeID();
}
