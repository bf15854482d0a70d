#include "../Walk/AssemblyFixture.h"
#include "PacketTestSupport.h"

#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Change/ProxyTree.h>
#include <Scene/Nodes/NodeFunctions.h>
#include <Scene/Nodes/ReferenceNodeData.h>

using namespace PacketTest;
using Brio::Scene::ChangePacket;
using Brio::Scene::ProxyTree;
using Lumo::Graphics::ARenderNode;
using Lumo::Graphics::GroupNode;
using Lumo::Scene::Attribute;
using Lumo::Scene::GetAttributeSet;
using Lumo::Scene::GetReferenceNodeData;
using Lumo::Scene::ReferenceNodeData;
using SceneTest::KindAttribute;
using SceneTest::ValueOf;

namespace {

/// The descent a node change makes into a shared subgraph: a reference proxy for target
/// under parent (found again when already there).
GroupNode* Descend(GroupNode* parent, ARenderNode* target) {
    if (GroupNode* found = ProxyTree::childReference(*parent, target))
        return found;
    AutoPtr<GroupNode> proxy = Lumo::Scene::MakeReferenceNode(target, parent, Lumo::Graphics::eSingleNodeWorld);
    GetReferenceNodeData(proxy)->MarkReferenceProxy();
    parent->AddChild(proxy);
    return proxy;
}

/// A child proxy that adds (or removes) target under the packet's node.
void ChildProxy(ChangePacket& packet, ARenderNode* target, bool add) {
    AutoPtr<GroupNode> proxy = Lumo::Scene::MakeReferenceNode(target, nullptr, Lumo::Graphics::eSingleNodeWorld);
    if (add)
        GetReferenceNodeData(proxy)->MarkTargetAdded();
    else
        GetReferenceNodeData(proxy)->MarkTargetRemoved();
    packet.attributeHolder(true)->AddChild(proxy);
}

void SetKind(GroupNode* node, Lumo::Scene::EAttributeType kind, int value) {
    GetAttributeSet(node)->SetAttribute(AutoPtr<Attribute>(KindAttribute::Make(kind, value)));
}

struct PacketSharedComponentTest : ::testing::Test {
    SceneTest::LiveObjectGuard guard; // first in, last out
    SceneFixture::Assembly assembly = SceneFixture::BuildAssembly(1, 3, 2);
    GroupNode* component = assembly.components[0];
    GroupNode* reference = static_cast<GroupNode*>(assembly.root->Child(0));
    ReferenceNodeData* live = GetReferenceNodeData(reference);

    AutoPtr<ChangePacket> Packet() { return ChangePacket::make(assembly.root); }
    GroupNode* Proxy(ChangePacket& p) { return Descend(p.attributeHolder(true), component); }
    Attribute* Effect(const char* name) {
        return GetAttributeSet(live->TargetInstance(name))->GetAttribute(Lumo::Scene::eEffect);
    }
};

} // namespace

TEST_F(PacketSharedComponentTest, InstanceOverrideReachesExactlyOneInstance) {
    Attribute* before0 = Effect("i0");
    Attribute* before2 = Effect("i2");
    AutoPtr<ChangePacket> p = Packet();
    SetKind(ProxyTree::refInstance(Proxy(*p), "i1"), Lumo::Scene::eEffect, 42);
    p->prepare();
    EXPECT_TRUE(p->ChangeType() & Brio::Scene::RevalidatePacket::kEffectChange)
        << "an instance's attributes count as the packet's attribute changes";

    EXPECT_TRUE(p->UpdateNode());
    EXPECT_EQ(ValueOf(Effect("i1")), 42);
    EXPECT_EQ(Effect("i0"), before0);
    EXPECT_EQ(Effect("i2"), before2);
    EXPECT_FALSE(GetAttributeSet(component)->HasAttribute(Lumo::Scene::eEffect)) << "the shared target is untouched";
    EXPECT_FALSE(GetAttributeSet(reference)->HasAttribute(Lumo::Scene::eEffect));
    EXPECT_EQ(reference->ChildCount(), 3);
    EXPECT_EQ(assembly.root->ChildCount(), 1);
    EXPECT_EQ(component->ParentCount(), 3);
}

TEST_F(PacketSharedComponentTest, InstancesAreAddedAndRemovedByName) {
    AutoPtr<GroupNode> i0 = live->TargetInstance("i0");
    AutoPtr<ChangePacket> p = Packet();
    GroupNode* proxy = Proxy(*p);
    SetKind(ProxyTree::refInstance(proxy, "i9"), Lumo::Scene::eOpacity, 5);
    ProxyTree::removeInstance(proxy, "i0");
    ProxyTree::removeInstance(proxy, "missing");
    EXPECT_TRUE(ProxyTree::isInstanceRemoved(proxy, "i0"));
    p->UpdateNode();

    EXPECT_FALSE(live->HasTargetInstance("i0"));
    EXPECT_FALSE(reference->HasChild(i0));
    EXPECT_FALSE(i0->HasChild(component)) << "a removed instance no longer shows the target";
    GroupNode* i9 = live->TargetInstance("i9");
    ASSERT_NE(i9, nullptr);
    EXPECT_TRUE(reference->HasChild(i9));
    EXPECT_TRUE(i9->HasChild(component));
    EXPECT_EQ(ValueOf(GetAttributeSet(i9)->GetAttribute(Lumo::Scene::eOpacity)), 5);
    EXPECT_EQ(component->ParentCount(), 3);
}

TEST_F(PacketSharedComponentTest, RemovingTheTargetEmptiesAndDropsTheReferenceNode) {
    AutoPtr<ChangePacket> p = Packet();
    GetReferenceNodeData(Proxy(*p))->MarkTargetRemoved();
    AutoPtr<GroupNode> held = reference;
    p->UpdateNode();
    EXPECT_EQ(assembly.root->ChildCount(), 0);
    EXPECT_EQ(held->ChildCount(), 0);
    EXPECT_EQ(component->ParentCount(), 0) << "no instance keeps the removed target";
}

TEST_F(PacketSharedComponentTest, ANewSubtreeBecomesALiveReferenceNode) {
    AutoPtr<GroupNode> other = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, false);
    Lumo::Scene::ANodeData::Make(other, Lumo::Scene::eGroupNode, true);
    AutoPtr<ChangePacket> p = Packet();
    GroupNode* proxy = Descend(p->attributeHolder(true), other);
    SetKind(ProxyTree::refInstance(proxy, "n0"), Lumo::Scene::eEffect, 3);
    p->UpdateNode();

    ASSERT_EQ(assembly.root->ChildCount(), 2);
    GroupNode* made = ProxyTree::childReference(*assembly.root, other);
    ASSERT_EQ(made, proxy) << "the proxy itself moves under the live node";
    EXPECT_EQ(p->attributeHolder()->ChildCount(), 0);
    ReferenceNodeData* data = GetReferenceNodeData(made);
    EXPECT_EQ(data->Parent(), assembly.root.get());
    EXPECT_EQ(data->Flags(), std::uint32_t(ReferenceNodeData::eRefNotifierAdded)) << "proxy marks cleared";
    GroupNode* n0 = data->TargetInstance("n0");
    ASSERT_NE(n0, nullptr);
    EXPECT_TRUE(made->HasChild(n0));
    EXPECT_TRUE(n0->HasChild(other));
    EXPECT_EQ(ValueOf(GetAttributeSet(n0)->GetAttribute(Lumo::Scene::eEffect)), 3);
}

TEST_F(PacketSharedComponentTest, MergedTreesCombineInstanceOverridesLaterValuesWinning) {
    AutoPtr<ChangePacket> first = Packet(), later = Packet();
    SetKind(ProxyTree::refInstance(Proxy(*first), "i1"), Lumo::Scene::eEffect, 1);
    SetKind(ProxyTree::refInstance(Proxy(*first), "i2"), Lumo::Scene::eEffect, 5);
    SetKind(ProxyTree::refInstance(Proxy(*later), "i1"), Lumo::Scene::eEffect, 2);
    ProxyTree::removeInstance(Proxy(*later), "i0");
    Merge(*first, *later);
    later = nullptr; // the merged tree must not depend on the later packet
    EXPECT_EQ(first->attributeHolder()->ChildCount(), 1) << "proxies for one target merge";
    first->UpdateNode();
    EXPECT_EQ(ValueOf(Effect("i1")), 2);
    EXPECT_EQ(ValueOf(Effect("i2")), 5);
    EXPECT_FALSE(live->HasTargetInstance("i0"));
}

TEST_F(PacketSharedComponentTest, ALaterInstanceRemovalWinsOverAnEarlierOverride) {
    AutoPtr<ChangePacket> first = Packet(), later = Packet();
    SetKind(ProxyTree::refInstance(Proxy(*first), "i1"), Lumo::Scene::eEffect, 1);
    ProxyTree::removeInstance(Proxy(*later), "i1");
    Merge(*first, *later).UpdateNode();
    EXPECT_FALSE(live->HasTargetInstance("i1"));
    EXPECT_EQ(reference->ChildCount(), 2);
}

TEST_F(PacketSharedComponentTest, AProxySubtreeFromTheLaterPacketMovesOver) {
    AutoPtr<GroupNode> other = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, false);
    Lumo::Scene::ANodeData::Make(other, Lumo::Scene::eGroupNode, true);
    AutoPtr<ChangePacket> first = Packet(), later = Packet();
    first->attributeSet();
    GroupNode* moved = Descend(later->attributeHolder(true), other);
    ProxyTree::refInstance(moved, "n0");
    Merge(*first, *later);
    EXPECT_EQ(GetReferenceNodeData(moved)->Parent(), first->attributeHolder())
        << "the moved proxy points at its new parent";
    EXPECT_TRUE(GetReferenceNodeData(moved)->IsReferenceProxy());
    later = nullptr;
    first->UpdateNode();
    EXPECT_EQ(ProxyTree::childReference(*assembly.root, other), moved);
    EXPECT_TRUE(GetReferenceNodeData(moved)->TargetInstance("n0")->HasChild(other));
}

TEST(PacketProxyTreeTest, AddedAndRemovedTargetsFollowTheLaterPacket) {
    SceneTest::LiveObjectGuard guard;
    AutoPtr<GroupNode> group = SceneGroup(), x = SceneGroup(), y = SceneGroup();
    group->AddChild(y);
    {
        AutoPtr<ChangePacket> p = ChangePacket::make(group);
        ChildProxy(*p, x, true);
        ChildProxy(*p, y, false);
        p->UpdateNode();
        EXPECT_TRUE(group->HasChild(x));
        EXPECT_FALSE(group->HasChild(y));
    }
    {
        AutoPtr<ChangePacket> removed = ChangePacket::make(group), added = ChangePacket::make(group);
        ChildProxy(*removed, y, false);
        ChildProxy(*added, y, true);
        Merge(*removed, *added).UpdateNode();
        EXPECT_TRUE(group->HasChild(y)) << "removed, then added: present";
    }
    {
        AutoPtr<ChangePacket> added = ChangePacket::make(group), removed = ChangePacket::make(group);
        ChildProxy(*added, y, true);
        ChildProxy(*removed, y, false);
        Merge(*added, *removed).UpdateNode();
        EXPECT_FALSE(group->HasChild(y)) << "added, then removed: absent";
    }
    group->RemoveChild(x);
}

TEST(PacketProxyTreeTest, AReferenceNodeWithoutChildrenKeepsItsPlaceForAttributeChanges) {
    SceneTest::LiveObjectGuard guard;
    AutoPtr<GroupNode> parent = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, true);
    AutoPtr<GroupNode> target = SceneGroup();
    AutoPtr<GroupNode> reference = Lumo::Scene::MakeReferenceNode(target, parent, Lumo::Graphics::eSingleNodeWorld);
    parent->AddChild(reference);
    AutoPtr<ChangePacket> p = ChangePacket::make(reference);
    SetKind(p->attributeHolder(true), Lumo::Scene::eEffect, 8);
    p->UpdateNode();
    EXPECT_TRUE(parent->HasChild(reference)) << "only a node the change emptied leaves its parent";
    EXPECT_EQ(ValueOf(GetAttributeSet(reference)->GetAttribute(Lumo::Scene::eEffect)), 8);
}
