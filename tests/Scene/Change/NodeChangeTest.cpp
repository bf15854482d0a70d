#include "../Walk/AssemblyFixture.h"
#include "PacketTestSupport.h"
#include "TestSource.h"

#include <Brio/Types/Color.h>
#include <Lumo/Graphics/APrimitiveNode.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/StandardObjectManager.h>
#include <Scene/Attributes/AttributeSetEx.h>
#include <Scene/Attributes/ColorEffectAttribute.h>
#include <Scene/Attributes/LineStyle.h>
#include <Scene/Attributes/LineStyleAttribute.h>
#include <Scene/Attributes/OccludedEffectAttribute.h>
#include <Scene/Attributes/TransformAttribute.h>
#include <Scene/Attributes/VisibilityAttribute.h>
#include <Scene/Change/ChangePacket.h>
#include <Scene/Change/NodeChange.h>
#include <Scene/Change/ObjectManager.h>
#include <Scene/Nodes/LODGeometryNode.h>
#include <Scene/Nodes/NodeFunctions.h>
#include <Scene/Nodes/ReferenceNodeData.h>
#include <ZoGe/ZoGeCircArc3d.h>
#include <ZoGe/ZoGeMatrix3d.h>
#include <ZoGe/ZoGeNurbCurve3d.h>

#include <atomic>
#include <thread>

using Brio::DataChange;
using Brio::Scene::ChangePacket;
using Brio::Scene::NodeChange;
using Brio::Scene::ObjectManager;
using Lumo::Graphics::ARenderNode;
using Lumo::Graphics::GroupNode;
using Lumo::Objects::AutoPtr;
using Lumo::Scene::AttributeSet;
using Lumo::Scene::GetAttributeSet;

namespace {

struct NodeChangeTest : ::testing::Test {
    SceneTest::LiveObjectGuard guard;
    void SetUp() override { ObjectManager::get()->changeManager()->Clear(); }
    void TearDown() override {
        ObjectManager::get()->changeManager()->Clear();
        ObjectManager::get()->revalidateManager()->Clear();
    }
    static int Pending() { return ObjectManager::get()->changeManager()->PendingCount(); }
    static void Sync() { ObjectManager::get()->syncChanges(); }
    static float Red(ARenderNode* node) {
        auto* c = static_cast<Lumo::Scene::ColorEffectAttribute*>(
            GetAttributeSet(node) ? GetAttributeSet(node)->GetAttribute(Lumo::Scene::eEffect) : nullptr);
        return c ? c->Color().x : -1.0f;
    }
};

AutoPtr<GroupNode> MadeGroup() {
    NodeChange change;
    AutoPtr<GroupNode> g = change.createGroupNode(nullptr, Lumo::Graphics::eRenderListWorld);
    return g;
}

} // namespace

TEST_F(NodeChangeTest, CreatesOnceAndAppliesJustCreatedNodesAtOnce) {
    AutoPtr<GroupNode> g;
    {
        NodeChange change;
        g = change.createGroupNode(nullptr, Lumo::Graphics::eRenderListWorld, true);
        ASSERT_TRUE(g);
        EXPECT_EQ(change.createGroupNode(nullptr, Lumo::Graphics::eSingleNodeWorld), nullptr);
        EXPECT_EQ(change.createGeometryNode(nullptr), nullptr);
        EXPECT_EQ(change.node(), g.get()) << "the first node stays the target";
        EXPECT_EQ(change.groupNode(), g.get());
        EXPECT_EQ(change.geometryNode(), nullptr);
        EXPECT_TRUE(change.doItNow());
        change.colorEffect(Brio::Color(0.5f, 0, 0));
        change.qualifier(77);
        EXPECT_EQ(Red(g), -1.0f) << "nothing reaches the node before the builder ends";
    }
    EXPECT_EQ(Red(g), 0.5f) << "a just-created node is updated as the builder ends";
    EXPECT_EQ(Brio::Scene::qualifier(g), 77u);
    EXPECT_TRUE(GetAttributeSet(g)->IsExtended());
    EXPECT_EQ(Pending(), 0);

    {
        NodeChange change(g, false);
        EXPECT_FALSE(change.doItNow());
        change.colorEffect(Brio::Color(0.25f, 0, 0));
    }
    EXPECT_EQ(Red(g), 0.5f) << "an edit waits for the sync";
    EXPECT_EQ(Pending(), 1);
    Sync();
    EXPECT_EQ(Red(g), 0.25f);
    EXPECT_EQ(Pending(), 0);
}

TEST_F(NodeChangeTest, NullTargetPostsNothingButStillMakesAttributes) {
    {
        NodeChange change(nullptr, false);
        Lumo::Scene::VisibilityAttribute* v = change.visibility(false);
        ASSERT_NE(v, nullptr);
        EXPECT_FALSE(v->Visible());
        EXPECT_EQ(change.getActiveAttributeSet(), nullptr);
        change.qualifier(3);
        change.invalidate(DataChange::eGeometry);
        EXPECT_EQ(change.getChangePacket(), nullptr);
    }
    EXPECT_EQ(Pending(), 0);
    EXPECT_EQ(ObjectManager::get()->revalidateManager()->PendingCount(), 0);
}

TEST_F(NodeChangeTest, TargetGuardsOfTheEditingOperations) {
    // Primitives only change into the same kind.
    AutoPtr<ARenderNode> cone;
    {
        NodeChange change;
        cone = change.createConeNode(nullptr, ZoGePoint3d(0, 0, 0), ZoGeVector3d(0, 0, 2), 1.0, 0.5);
    }
    auto* prim = static_cast<Lumo::Graphics::APrimitiveNode*>(
        cone->GetInterface(Lumo::Graphics::APrimitiveNode::StaticClassName()));
    ASSERT_TRUE(prim);
    const auto* c = prim->Primitive()->As<Lumo::Graphics::Cone3d>();
    ASSERT_TRUE(c);
    EXPECT_DOUBLE_EQ(c->height, 2.0) << "the axis length is the height";
    EXPECT_DOUBLE_EQ(c->topRadius, 0.5);
    {
        NodeChange change(cone, false);
        EXPECT_FALSE(change.setSphere(ZoGePoint3d(1, 1, 1), 3.0));
        EXPECT_FALSE(change.setImage(ZoGePoint3d(), L"x.png"));
        EXPECT_TRUE(change.getChangePacket() == nullptr || !change.getChangePacket()->hasPrimitive());
        EXPECT_TRUE(change.setCone(ZoGePoint3d(0, 0, 1), ZoGeVector3d(0, 0, 1), 2.0, 2.0));
        EXPECT_TRUE(change.getChangePacket()->ChangeType() & 0x1);
    }
    Sync();
    EXPECT_DOUBLE_EQ(prim->Primitive()->As<Lumo::Graphics::Cone3d>()->baseRadius, 2.0);

    // No children for leaves; an empty invalidation is nothing.
    AutoPtr<ARenderNode> geometry;
    {
        NodeChange change;
        geometry = change.createGeometryNode(nullptr);
    }
    AutoPtr<GroupNode> child = MadeGroup();
    {
        NodeChange change(geometry, false);
        change.addChild(child);
        change.invalidate(DataChange::eNoChange);
        change.textData(L"not a text node");
    }
    EXPECT_EQ(Pending(), 0) << "none of these made a packet";
    EXPECT_EQ(ObjectManager::get()->revalidateManager()->PendingCount(), 0);

    // A plain geometry node takes meshes only for level 15.
    {
        NodeChange change(geometry, false);
        change.geometry(PacketTest::Mesh(), 0);
        EXPECT_NE(change.getChangePacket()->mesh(15), nullptr);
        EXPECT_EQ(change.getChangePacket()->mesh(0), nullptr);
    }
    ObjectManager::get()->changeManager()->Clear();
    ObjectManager::get()->revalidateManager()->Clear();
}

TEST_F(NodeChangeTest, PrimitivesAreBuiltFromTheHostGeometry) {
    AutoPtr<ARenderNode> arc, curve;
    {
        NodeChange change;
        arc = change.createCircleArcNode(
            nullptr, ZoGeCircArc3d(ZoGePoint3d(1, 2, 3), ZoGeVector3d(0, 0, 1), ZoGeVector3d(0, 2, 0), 4.0, 0.0, 1.0));
    }
    auto arcPrim = static_cast<Lumo::Graphics::APrimitiveNode*>(
                       arc->GetInterface(Lumo::Graphics::APrimitiveNode::StaticClassName()))
                       ->Primitive();
    const auto* a = arcPrim->As<Lumo::Graphics::CircleArc3d>();
    ASSERT_TRUE(a);
    const auto start = a->StartPoint();
    EXPECT_NEAR(start.x, 1.0, 1e-12);
    EXPECT_NEAR(start.y, 6.0, 1e-12) << "starts at centre + reference direction * radius";
    EXPECT_EQ(Brio::Scene::nodeType(arc), Lumo::Scene::ePrimitiveNode);

    // Knots closer than 1e-9 count as one: the clamped ends stay exact.
    {
        NodeChange change;
        curve = change.createNurbsCurveNode(
            nullptr, ZoGeNurbCurve3d(1, {0, 1e-12, 1, 1}, {ZoGePoint3d(0, 0, 0), ZoGePoint3d(1, 1, 0)}));
    }
    auto curvePrim = static_cast<Lumo::Graphics::APrimitiveNode*>(
                         curve->GetInterface(Lumo::Graphics::APrimitiveNode::StaticClassName()))
                         ->Primitive();
    const auto* n = curvePrim->As<Lumo::Graphics::NurbsCurve3d>();
    ASSERT_TRUE(n);
    EXPECT_EQ(n->knots, (std::vector<double>{0, 0, 1, 1}));
    EXPECT_TRUE(n->IsValid());
}

TEST_F(NodeChangeTest, AttributeLevelsPushAndPopWithTheHolderKept) {
    AutoPtr<GroupNode> g = MadeGroup();
    NodeChange change(g, false);
    AttributeSet* holder = change.getActiveAttributeSet();
    ASSERT_TRUE(holder);
    change.pushAttributeSet(8u, 0u);
    change.pushAttributeSet(16u, 0u);
    EXPECT_NE(change.getActiveAttributeSet(), holder);
    EXPECT_TRUE(change.popAttributeSet(5));
    EXPECT_EQ(change.getActiveAttributeSet(), holder) << "popping past the bottom keeps the holder's set";
    EXPECT_TRUE(change.popAttributeSet(0));
    EXPECT_EQ(change.getActiveAttributeSet(), holder);
    ObjectManager::get()->changeManager()->Clear();
}

TEST_F(NodeChangeTest, TypeSpecificLevelMergesIntoAnExtendedSetWhenPopped) {
    AutoPtr<GroupNode> g;
    {
        NodeChange change;
        g = change.createGroupNode(nullptr, Lumo::Graphics::eRenderListWorld, true);
    }
    {
        NodeChange change(g, false);
        // The holder's set is plain (it targets a node whose set is extended: so is it).
        ASSERT_TRUE(change.getActiveAttributeSet()->IsExtended());
        change.pushAttributeSet(0x8u, 0u);
        change.colorEffect(Brio::Color(0.75f, 0, 0));
        change.popAttributeSet();
        EXPECT_EQ(change.getActiveAttributeSet()->Children()->Count(), 1);
    }
    Sync();
    const auto* children = GetAttributeSet(g)->Children();
    ASSERT_EQ(children->Count(), 1);
    EXPECT_EQ((*children)[0]->ApplyTypes(), 0x8u);
    EXPECT_TRUE((*children)[0]->HasAttribute(Lumo::Scene::eEffect));
    EXPECT_FALSE(GetAttributeSet(g)->HasAttribute(Lumo::Scene::eEffect)) << "only bodies get the colour";
}

TEST_F(NodeChangeTest, LineStyleIsRefusedOnSingleFacesAndEdges) {
    AutoPtr<GroupNode> face = MadeGroup();
    Brio::Scene::nodeData(face)->clientType(64);
    NodeChange change(face, false);
    Lumo::Scene::LineStyle style;
    EXPECT_EQ(change.lineStyle(style), nullptr);
    EXPECT_FALSE(change.getActiveAttributeSet()->HasAttribute(Lumo::Scene::eLineStyle));
    AutoPtr<GroupNode> other = MadeGroup();
    change.pushReferenceNode(other);
    EXPECT_NE(change.lineStyle(style), nullptr) << "inside a reference the style applies to what is below";
    ObjectManager::get()->changeManager()->Clear();
}

TEST_F(NodeChangeTest, OccludedEffectDefaultsAndPixelScaleFlags) {
    AutoPtr<GroupNode> g = MadeGroup();
    NodeChange change(g, false);
    auto* occluded = change.occludedEffect(L"", Brio::Color(1, 1, 1), -1.0f, -1.0f);
    EXPECT_FLOAT_EQ(occluded->VisibleOpacity(), Lumo::Scene::OccludedEffectAttribute::VISIBLE_OPACITY());
    EXPECT_FLOAT_EQ(occluded->OccludedOpacity(), Lumo::Scene::OccludedEffectAttribute::OCCLUDED_OPACITY());
    change.pixelScale(10, 1, ZoGePoint3d(0, 0, 0));
    EXPECT_TRUE(change.getChangePacket()->flagsOn() & 0x100000);
    ZoGeMatrix3d m = ZoGeMatrix3d::translation(ZoGeVector3d(1, 2, 3));
    auto* t = change.transform(m, false);
    EXPECT_EQ(t->Transform().GetTranslation(), (Lumo::Objects::vec3<float>(1, 2, 3))) << "column to row vectors";
    ObjectManager::get()->changeManager()->Clear();
}

TEST_F(NodeChangeTest, PacketsForOneNodeMergeWithLaterWordsWinning) {
    AutoPtr<GroupNode> g = MadeGroup();
    {
        NodeChange change(g, false);
        change.qualifier(1);
        change.setFlags(0x8, true);
        change.colorEffect(Brio::Color(0.1f, 0, 0));
    }
    {
        NodeChange change(g, false);
        change.qualifier(2);
        change.setFlags(0x8, false);
    }
    EXPECT_EQ(Pending(), 1) << "merged into the node's queued packet";
    Sync();
    EXPECT_EQ(Brio::Scene::qualifier(g), 2u);
    EXPECT_FALSE(g->Test(0x8));
    EXPECT_FLOAT_EQ(Red(g), 0.1f) << "the earlier packet's attribute survives the merge";
}

TEST_F(NodeChangeTest, ChildrenOutsideReferencesTravelAsGroupPackets) {
    AutoPtr<GroupNode> parent = MadeGroup();
    AutoPtr<GroupNode> a = MadeGroup(), b = MadeGroup();
    {
        NodeChange change(parent, false);
        change.addChild(a);
        change.addChild(b);
    }
    EXPECT_EQ(parent->ChildCount(), 0);
    Sync();
    EXPECT_EQ(parent->ChildCount(), 2);
    {
        NodeChange change(parent, false);
        change.removeAllChildren();
    }
    Sync();
    EXPECT_EQ(parent->ChildCount(), 0);
}

TEST_F(NodeChangeTest, ReferenceInstanceOverrideReachesExactlyOneInstance) {
    SceneFixture::Assembly assembly = SceneFixture::BuildAssembly(1, 3, 2);
    GroupNode* component = assembly.components[0];
    auto* reference = static_cast<GroupNode*>(assembly.root->Child(0));
    Lumo::Scene::ReferenceNodeData* live = Lumo::Scene::GetReferenceNodeData(reference);
    auto effectOf = [&](const char* name) {
        return GetAttributeSet(live->TargetInstance(name))->GetAttribute(Lumo::Scene::eEffect);
    };
    Lumo::Scene::Attribute* before0 = effectOf("i0");
    Lumo::Scene::Attribute* before2 = effectOf("i2");
    {
        NodeChange change(assembly.root, false);
        change.pushReferenceNode(component);
        change.pushRefInstance("i1");
        change.colorEffect(Brio::Color(0.9f, 0.1f, 0.1f));
        change.popRefInstance();
        change.popReferenceNode();
    }
    Sync();
    EXPECT_FLOAT_EQ(static_cast<Lumo::Scene::ColorEffectAttribute*>(effectOf("i1"))->Color().x, 0.9f);
    EXPECT_EQ(effectOf("i0"), before0);
    EXPECT_EQ(effectOf("i2"), before2);
    EXPECT_FALSE(GetAttributeSet(component)->HasAttribute(Lumo::Scene::eEffect)) << "the shared component is untouched";

    // Removing the instance through a change drops it and only it.
    {
        NodeChange change(assembly.root, false);
        change.pushReferenceNode(component);
        change.pushRefInstance("i2");
        change.markRemoved();
    }
    Sync();
    EXPECT_EQ(live->TargetInstance("i2"), nullptr);
    EXPECT_NE(live->TargetInstance("i1"), nullptr);
    EXPECT_EQ(reference->ChildCount(), 2);
}

TEST_F(NodeChangeTest, CopiesShareOnePacketPostedOnce) {
    AutoPtr<GroupNode> g = MadeGroup();
    {
        NodeChange change(g, false);
        change.qualifier(5);
        {
            NodeChange copy(change);
            copy.clientType(8);
            EXPECT_EQ(copy.getChangePacket(), change.getChangePacket());
        }
        EXPECT_EQ(Pending(), 0) << "the packet waits for the last builder sharing it";
    }
    EXPECT_EQ(Pending(), 1);
    Sync();
    EXPECT_EQ(Brio::Scene::qualifier(g), 5u);
    EXPECT_EQ(Brio::Scene::clientType(g), 8u);
}

TEST_F(NodeChangeTest, QuillOnlyModeProducesNoPackets) {
    AutoPtr<GroupNode> g = MadeGroup(), child = MadeGroup();
    NodeChange::setQuill(NodeChange::eQuillOnly);
    {
        NodeChange change(g, false);
        change.qualifier(9);
        change.addChild(child);
    }
    EXPECT_EQ(Pending(), 0);
    int calls = 0;
    auto count = [](void* p) { ++*static_cast<int*>(p); };
    ObjectManager::get()->RegisterChangedCallback(count, &calls);
    Sync();
    EXPECT_EQ(calls, 0) << "mode 1 leaves the sync to the model object manager";
    NodeChange::setQuill(NodeChange::eQuillOff);
    Sync();
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(ObjectManager::get()->UnregisterChangedCallback(count, &calls));
}

TEST_F(NodeChangeTest, BuildersOnOtherThreadsPostWhileTheUserInterfaceThreadSyncs) {
    constexpr int kNodes = 64, kEdits = 400;
    std::vector<AutoPtr<GroupNode>> nodes;
    for (int i = 0; i < kNodes; ++i)
        nodes.push_back(MadeGroup());
    std::atomic<int> done{0};
    auto worker = [&](int seed) {
        for (int e = 0; e < kEdits; ++e) {
            NodeChange change(nodes[(e * 7 + seed) % kNodes], false);
            change.colorEffect(Brio::Color(float(e) / kEdits, 0, 0));
            change.visibility(e % 2 == 0);
            change.qualifier(std::uint64_t(e));
        }
        done.fetch_add(1);
    };
    std::thread t1(worker, 0), t2(worker, 3);
    while (done.load() < 2)
        Sync();
    t1.join();
    t2.join();
    Sync();
    EXPECT_EQ(Pending(), 0);
    for (auto& n : nodes)
        EXPECT_GE(Red(n), 0.0f) << "every node got a colour";
}

TEST_F(NodeChangeTest, OnlyTheChangeManagerAnnouncesWorldChanges) {
    std::vector<std::pair<ARenderNode*, bool>> heard;
    auto listen = [&](Lumo::Graphics::IChangePacket& p, bool after) { heard.emplace_back(p.Node(), after); };
    int changeId = ObjectManager::get()->changeManager()->AddWorldListener(listen);
    int revalidateId = ObjectManager::get()->revalidateManager()->AddWorldListener(listen);
    AutoPtr<GroupNode> g = MadeGroup();
    {
        NodeChange change(g, false);
        change.visibility(false);
        change.invalidate(DataChange::eAppearance); // a revalidate packet too (no source: asks nobody)
    }
    Sync();
    EXPECT_EQ(heard, (std::vector<std::pair<ARenderNode*, bool>>{{g.get(), false}, {g.get(), true}}));
    EXPECT_TRUE(ObjectManager::get()->changeManager()->RemoveWorldListener(changeId));
    EXPECT_TRUE(ObjectManager::get()->revalidateManager()->RemoveWorldListener(revalidateId));
    EXPECT_FALSE(ObjectManager::get()->revalidateManager()->RemoveWorldListener(revalidateId));
}
