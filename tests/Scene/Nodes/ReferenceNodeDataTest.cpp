#include "../TestSupport.h"

#include <Lumo/Graphics/APrimitiveNode.h>
#include <Lumo/Graphics/DependencyNotifier.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/Sphere3d.h>
#include <Scene/Attributes/AttributeSetEx.h>
#include <Scene/Nodes/ImageNode.h>
#include <Scene/Nodes/LODGeometryNode.h>
#include <Scene/Nodes/NodeFunctions.h>
#include <Scene/Nodes/ReferenceNodeData.h>
#include <Scene/Nodes/ReferenceNotifier.h>
#include <Scene/Nodes/TextNode.h>

using namespace Lumo::Scene;
using namespace SceneTest;
using Lumo::Graphics::GroupNode;

namespace {
/// A shared component (the target) in a library group, shown by a reference node under an
/// assembly through two named instance groups.
struct SharedComponent {
    AutoPtr<GroupNode> library = MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, true);
    AutoPtr<GroupNode> target = MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, true);
    AutoPtr<GroupNode> assembly = MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, true);
    AutoPtr<GroupNode> reference;
    AutoPtr<GroupNode> first = MakeInstanceNode(true, true), second = MakeInstanceNode(true, true);
    ReferenceNodeData* data = nullptr;

    SharedComponent() {
        library->AddChild(target);
        reference = MakeReferenceNode(target, assembly, Lumo::Graphics::eSingleNodeWorld);
        assembly->AddChild(reference);
        reference->AddChild(first);
        reference->AddChild(second);
        data = GetReferenceNodeData(reference);
        data->TargetInstance("first", first);
        data->TargetInstance("second", second);
        data->AddRefInstAndNotifier("first");
        data->AddRefInstAndNotifier("second");
        data->AddReferenceNotifier();
    }
};
} // namespace

TEST(ReferenceNodeDataTest, FactoriesGiveKindsSetsAndFlags) {
    LiveObjectGuard guard;
    AutoPtr<GroupNode> inst = MakeInstanceNode(true, false), refInst = MakeInstanceNode(true, true);
    EXPECT_EQ(GetNodeData(inst)->NodeType(), eInstanceNode);
    EXPECT_TRUE(GetAttributeSet(inst)->IsExtended());
    EXPECT_TRUE(inst->Test(kGroupBoxesItselfFlag));
    EXPECT_EQ(GetNodeData(refInst)->NodeType(), eReferenceInstanceNode);
    EXPECT_FALSE(refInst->Test(kGroupBoxesItselfFlag));

    AutoPtr<GroupNode> plain = MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, false);
    EXPECT_EQ(GetNodeData(plain), nullptr);
    EXPECT_TRUE(plain->Test(kGroupBoxesItselfFlag));
    AutoPtr<GroupNode> bsp = MakeGroupNode(Lumo::Graphics::eBSPWorld, true);
    EXPECT_FALSE(bsp->Test(kGroupBoxesItselfFlag));
    EXPECT_EQ(bsp->World()->WorldType(), Lumo::Graphics::eBSPWorld);

    AutoPtr<GroupNode> extendedTarget = MakeInstanceNode(true, false);
    AutoPtr<GroupNode> proxy = MakeReferenceNode(extendedTarget, nullptr, Lumo::Graphics::eSingleNodeWorld);
    ReferenceNodeData* data = GetReferenceNodeData(proxy);
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->IsProxy());
    EXPECT_EQ(data->Target(), extendedTarget.get());
    EXPECT_EQ(data->RefNode(), proxy.get());
    EXPECT_TRUE(data->GetAttributeSet()->IsExtended()) << "extended like its target's set";
    EXPECT_FALSE(proxy->Test(kGroupBoxesItselfFlag));
    EXPECT_EQ(GetReferenceNodeData(inst), nullptr);
}

TEST(ReferenceNodeDataTest, InstanceGroupsShowTheTarget) {
    LiveObjectGuard guard;
    SharedComponent c;
    EXPECT_TRUE(c.first->HasChild(c.target));
    EXPECT_TRUE(c.second->HasChild(c.target));
    EXPECT_EQ(c.target->ParentCount(), 3);
    EXPECT_FALSE(c.target->Test(0x40)) << "the sharing flag is cleared afterwards";
    EXPECT_TRUE(c.data->IsRefNotifierAdded());
    EXPECT_EQ(c.target->NotifierCount(), 3) << "one per instance group plus the reference watcher";

    int notifiers = c.target->NotifierCount();
    c.data->AddRefInstAndNotifier("unknown");
    EXPECT_EQ(c.target->NotifierCount(), notifiers);
    EXPECT_EQ(FindReferenceNodeChild(c.assembly, c.target), c.reference.get());
    EXPECT_EQ(FindReferenceNodeChild(c.library, c.target), nullptr);
}

TEST(ReferenceNodeDataTest, RemovingTheTargetTakesEveryReferenceAlong) {
    LiveObjectGuard guard;
    SharedComponent c;
    ASSERT_TRUE(c.library->RemoveChild(c.target, true));
    EXPECT_FALSE(c.assembly->HasChild(c.reference)) << "the reference node left its parent";
    EXPECT_FALSE(c.first->HasChild(c.target));
    EXPECT_FALSE(c.second->HasChild(c.target));
    EXPECT_TRUE(c.data->IsRefNotificationComplete());
    c.data->RemoveReferenceNotifier();
    EXPECT_FALSE(c.data->IsRefNotifierAdded());
}

TEST(ReferenceNodeDataTest, NotifiersDoNotOutliveTheirReferenceNode) {
    LiveObjectGuard guard;
    AutoPtr<GroupNode> library = MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, false);
    AutoPtr<GroupNode> target = MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, false);
    library->AddChild(target);
    {
        AutoPtr<GroupNode> parent = MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, false);
        AutoPtr<GroupNode> reference = MakeReferenceNode(target, parent, Lumo::Graphics::eSingleNodeWorld);
        GetReferenceNodeData(reference)->AddReferenceNotifier();
    }
    // The reference node is gone; removing the target must not reach for it.
    EXPECT_TRUE(library->RemoveChild(target, true));
    EXPECT_EQ(target->NotifierCount(), 0);
}

TEST(NodeFunctionsTest, ConveniencesMakeAndReadAttributes) {
    LiveObjectGuard guard;
    AutoPtr<GroupNode> node = MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, true);
    AttributeSet* set = GetAttributeSet(node);
    SetOpacity(set, 0.5f, false);
    ASSERT_NE(GetOpacityAttribute(set), nullptr);
    EXPECT_TRUE(GetOpacityAttribute(set)->Absolute()) << "the flag false makes it absolute";
    SetVisibility(set, false);
    EXPECT_FALSE(GetVisibilityAttribute(set)->Visible());
    SetDepthPriority(set, 4);
    EXPECT_EQ(GetDepthPriorityAttribute(set)->DepthPriority(), 4);
    EXPECT_EQ(GetTransformAttribute(set), nullptr);
    EXPECT_EQ(GetAttribute(nullptr, eOpacity), nullptr);
    SetVisibility(nullptr, true); // no set: made and freed, no crash
    RemoveAttribute(set, eOpacity);
    EXPECT_EQ(GetOpacityAttribute(set), nullptr);

    AutoPtr<GroupNode> a = MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, false),
                       b = MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, false);
    node->AddChild(a);
    node->AddChild(b);
    RenderNodeVector children;
    GetChildNodeList(node, children);
    EXPECT_EQ(children.size(), 2u);
    RemoveAllChildren(node);
    EXPECT_EQ(node->ChildCount(), 0);
}

TEST(NodeFunctionsTest, LeafFactoriesGiveTheirKinds) {
    LiveObjectGuard guard;
    AutoPtr<Lumo::Graphics::ARenderNode> geometry = MakeGeometryNode(true), bare = MakeGeometryNode(false);
    EXPECT_EQ(GetNodeData(geometry)->NodeType(), eGeometryNode);
    EXPECT_EQ(GetNodeData(bare), nullptr);
    AutoPtr<Lumo::Graphics::ARenderNode> lod = MakeLODGeometryNode(true), text = MakeTextNode(true),
                                         image = MakeImageNode({0, 0, 0}, nullptr, true),
                                         sphere = MakeSphereNode(Lumo::Graphics::Sphere3d{}, true);
    EXPECT_EQ(GetNodeData(lod)->NodeType(), eLODGeometryNode);
    EXPECT_EQ(GetNodeData(text)->NodeType(), eTextNode);
    EXPECT_EQ(GetNodeData(image)->NodeType(), eImageNode);
    EXPECT_EQ(GetNodeData(sphere)->NodeType(), ePrimitiveNode);
    EXPECT_EQ(MakeVertexFormat(true, 0), MakeVertexFormat(true, 0)) << "one format per layout";
    EXPECT_NE(MakeVertexFormat(true, 0), MakeVertexFormat(false, 0));
}
