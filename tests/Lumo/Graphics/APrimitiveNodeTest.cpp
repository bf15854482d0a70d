#include "PrimitiveTestSupport.h"

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/EffectInstance.h>
#include <Lumo/Devices/IRenderEffect.h>
#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Graphics/APrimitiveNode.h>
#include <Lumo/Graphics/AttributeLODList.h>
#include <Lumo/Graphics/GraphWalker.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Graphics/NodeCallbacks.h>
#include <Lumo/Graphics/RenderFlags.h>
#include <Lumo/Graphics/TraversalState.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/SharedMatrix.h>
#include <Lumo/Objects/UString.h>

#include <gtest/gtest.h>

#include <thread>

using namespace Lumo::Graphics;
using namespace PrimitiveTest;
using Lumo::Devices::ADrawContext;
using Lumo::Devices::EffectInstance;
using Lumo::Devices::IRenderEffect;
using Lumo::Devices::RenderItem;
using Lumo::Devices::SimpleMesh;
using Lumo::Objects::AutoPtr;
using Lumo::Objects::Intern;
using Lumo::Objects::mat4;
using Lumo::Objects::SBox3;
using Lumo::Objects::SharedMatrix;

namespace {
/// Installs a pre-realise callback for one test and puts the old one back.
class PreRealizeHook {
public:
    using Fn = int (*)(ADrawContext&, TraversalState&, ARenderNode*);
    explicit PreRealizeHook(Fn fn) : m_old(NodeCallbacks::Installed().preRealizePrimitive) {
        NodeCallbacks::Installed().preRealizePrimitive = fn;
    }
    ~PreRealizeHook() { NodeCallbacks::Installed().preRealizePrimitive = m_old; }

private:
    Fn m_old;
};

AutoPtr<EffectInstance> MakeEffect() {
    AutoPtr<IRenderEffect> effect = IRenderEffect::Make(Intern(L"APrimitiveNodeTest.effect"));
    return EffectInstance::Make(effect);
}

/// A traversal state that collects items, at a level and under a world matrix.
struct Walk {
    RenderItemList items;
    TraversalState state;
    AutoPtr<ADrawContext> dc = ADrawContext::Make(nullptr);
    Walk(ARenderNode* node, int level, SharedMatrix* world = nullptr) {
        state.BeginRoot(node);
        state.RenderItems(&items);
        state.GeomLOD(level);
        state.WorldMatrix(world);
    }
    void Realize(ARenderNode* node) { node->RealizeNode(*dc, state, nullptr); }
};

// What the hooks saw and what they do.
struct HookLog {
    int calls = 0;
    ARenderNode* node = nullptr;
    TraversalState* state = nullptr;
    bool meshExisted = false;
    EffectInstance* give = nullptr;
    int answer = APrimitiveNode::ePrimitiveStateReady;
};
HookLog g_hook;

int Hook(ADrawContext&, TraversalState& state, ARenderNode* node) {
    ++g_hook.calls;
    g_hook.node = node;
    g_hook.state = &state;
    auto* primitiveNode = static_cast<APrimitiveNode*>(node->GetInterface(APrimitiveNode::StaticClassName()));
    g_hook.meshExisted = node->Attributes()->Container(AttributeLODList::BaseDataID(), AttributeLODList::UnstylizedID(),
                                                       state.GeomLOD(), false) != nullptr;
    if (primitiveNode && g_hook.give)
        primitiveNode->EffectInst(g_hook.give);
    return g_hook.answer;
}
} // namespace

TEST(APrimitiveNodeTest, FactoriesMakeNodesOfTheirKind) {
    LiveObjects live;
    const NurbsCurve3d curve{1, {{0, 0, 0}, {1, 0, 0}}, {}, {0, 0, 1, 1}};
    const PolyLine3d line{{{0, 0, 0}, {1, 1, 1}, {2, 0, 0}}};
    const std::pair<AutoPtr<APrimitiveNode>, EPrimitiveKind> made[] = {
        {APrimitiveNode::MakeCircleArc(CircleArc3d{}), ePrimitiveCircleArc},
        {APrimitiveNode::MakeEllipseArc(EllipseArc3d{}), ePrimitiveEllipseArc},
        {APrimitiveNode::MakeNurbsCurve(curve), ePrimitiveNurbsCurve},
        {APrimitiveNode::MakePolyLine(line), ePrimitivePolyLine},
        {APrimitiveNode::MakeTorus(Torus3d{}), ePrimitiveTorus},
        {APrimitiveNode::MakeBox(Box3d{}), ePrimitiveBox},
        {APrimitiveNode::MakeCone(Cone3d{}), ePrimitiveCone},
        {APrimitiveNode::MakeSphere(Sphere3d{}), ePrimitiveSphere},
    };
    for (const auto& [node, kind] : made) {
        EXPECT_EQ(node->Kind(), kind);
        EXPECT_EQ(node->Primitive()->Kind(), kind);
        EXPECT_EQ(node->Primitive()->IsCurve(), kind <= ePrimitivePolyLine);
        EXPECT_EQ(node->ClassName(), APrimitiveNode::StaticClassName());
        EXPECT_NE(node->GetInterface(ARenderNode::StaticClassName()), nullptr);
        AutoPtr<SimpleMesh> mesh = node->Mesh(5);
        ASSERT_TRUE(mesh);
        EXPECT_EQ(mesh->PrimitiveType(),
                  kind <= ePrimitivePolyLine ? Lumo::Devices::ePrimLineStrip : Lumo::Devices::ePrimTriangleList);
        EXPECT_GT(mesh->PrimitiveCount(), 0);
    }
    EXPECT_EQ(*made[2].first->Primitive()->As<NurbsCurve3d>(), curve);
    EXPECT_EQ(*made[3].first->Primitive()->As<PolyLine3d>(), line);
    EXPECT_EQ(made[3].first->Primitive()->As<Sphere3d>(), nullptr);

    AutoPtr<APrimitiveNode> empty = APrimitiveNode::Make();
    EXPECT_EQ(empty->Kind(), ePrimitiveNone);
    EXPECT_FALSE(empty->Mesh(3));
    EXPECT_TRUE(empty->WorldBox().IsEmpty());
}

TEST(APrimitiveNodeTest, MeshesAreCachedPerLevelUntilThePrimitiveChanges) {
    LiveObjects live;
    AutoPtr<APrimitiveNode> node = APrimitiveNode::MakeSphere({{0, 0, 0}, 1.0});
    AutoPtr<SimpleMesh> coarse = node->Mesh(2);
    EXPECT_EQ(node->Mesh(2).get(), coarse.get()); // not tessellated again
    AutoPtr<SimpleMesh> fine = node->Mesh(12);
    EXPECT_NE(fine.get(), coarse.get());
    EXPECT_GT(fine->VertexCount(), coarse->VertexCount());
    EXPECT_EQ(node->Mesh(2).get(), coarse.get()); // levels do not evict each other
    EXPECT_EQ(node->Attributes()->SlotCount(), 2);

    // The same primitive object again changes nothing.
    node->Primitive(node->Primitive().get());
    EXPECT_EQ(node->Mesh(2).get(), coarse.get());

    node->SetFlags(eFlagWorldBoxValid | eFlagItemBuilt);
    node->Primitive(Sphere3d{{0, 0, 0}, 3.0});
    EXPECT_FALSE(node->Test(eFlagWorldBoxValid | eFlagItemBuilt));
    EXPECT_EQ(node->Attributes()->SlotCount(), 0);
    AutoPtr<SimpleMesh> again = node->Mesh(2);
    EXPECT_NE(again.get(), coarse.get());
    EXPECT_EQ(again->Box().Max().z, 3.0);  // the new sphere's pole, not the old one's
    EXPECT_EQ(coarse->Box().Max().z, 1.0); // a holder of the old mesh keeps it whole

    // A cache someone else emptied is filled again.
    node->Attributes()->ClearAll();
    EXPECT_EQ(node->Mesh(2)->VertexCount(), again->VertexCount());

    // Levels outside 0..15 share the end levels' slots.
    EXPECT_EQ(node->Mesh(40).get(), node->Mesh(15).get());
    EXPECT_EQ(node->Mesh(-1).get(), node->Mesh(0).get());
}

TEST(APrimitiveNodeTest, RealizeAddsOneItemWithTheLevelsMeshTheEffectAndTheWorldMatrix) {
    LiveObjects live;
    AutoPtr<APrimitiveNode> node = APrimitiveNode::MakeTorus(Torus3d{});
    AutoPtr<EffectInstance> effect = MakeEffect();
    node->EffectInst(effect);
    AutoPtr<SharedMatrix> world = SharedMatrix::Make(mat4<float>::Translation({1, 2, 3}));
    Walk walk(node, 4, world);
    walk.Realize(node);
    ASSERT_EQ(walk.items.Count(), 1);
    RenderItem* item = walk.items.At(0);
    EXPECT_EQ(item->Geometry(), static_cast<Lumo::Devices::IRenderGeom*>(node->Mesh(4).get()));
    EXPECT_EQ(item->Effect(), effect.get());
    EXPECT_EQ(item->WorldMatrix(), world.get());
    ExpectBoxNear(item->WorldBox(), node->Mesh(4)->Box().TransformAndRebox(world->Matrix()), 1e-6);

    // Another walk at the same level draws the cached mesh; a finer one draws more.
    walk.Realize(node);
    ASSERT_EQ(walk.items.Count(), 2);
    EXPECT_EQ(walk.items.At(1)->Geometry(), item->Geometry());
    Walk fine(node, 15);
    fine.Realize(node);
    ASSERT_EQ(fine.items.Count(), 1);
    EXPECT_GT(fine.items.At(0)->Mesh()->VertexCount(), item->Mesh()->VertexCount());
    EXPECT_EQ(fine.items.At(0)->WorldMatrix(), nullptr); // identity stays null
}

TEST(APrimitiveNodeTest, PreRealizeCallbackRunsFirstAndCanHandOverTheEffect) {
    LiveObjects live;
    AutoPtr<EffectInstance> effect = MakeEffect();
    g_hook = {};
    g_hook.give = effect;
    PreRealizeHook hook(&Hook);
    AutoPtr<APrimitiveNode> node = APrimitiveNode::MakeCone(Cone3d{});
    {
        Walk walk(node, 7);
        walk.Realize(node);
        EXPECT_EQ(g_hook.calls, 1);
        EXPECT_EQ(g_hook.node, node.get());
        EXPECT_EQ(g_hook.state, &walk.state);
        EXPECT_FALSE(g_hook.meshExisted); // before tessellation
        ASSERT_EQ(walk.items.Count(), 1);
        EXPECT_EQ(walk.items.At(0)->Effect(), effect.get());
    }
    // Any answer but ready skips the node for that walk.
    g_hook.answer = APrimitiveNode::ePrimitiveStateNoPrimitive;
    Walk skipped(node, 7);
    skipped.Realize(node);
    EXPECT_EQ(g_hook.calls, 2);
    EXPECT_EQ(skipped.items.Count(), 0);
    node->EffectInst(nullptr);
    g_hook = {};
}

TEST(APrimitiveNodeTest, NodesWithNothingToDrawAddNoItem) {
    LiveObjects live;
    AutoPtr<APrimitiveNode> invalid =
        APrimitiveNode::MakeNurbsCurve({3, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}}, {}, {0, 0, 1, 1}});
    AutoPtr<APrimitiveNode> none = APrimitiveNode::Make();
    Walk walk(invalid, 15);
    walk.Realize(invalid);
    walk.Realize(none);
    EXPECT_EQ(walk.items.Count(), 0);
    ASSERT_TRUE(invalid->Mesh(15)); // an empty mesh, cached like any other
    EXPECT_EQ(invalid->Mesh(15)->VertexCount(), 0);
    EXPECT_TRUE(invalid->WorldBox().IsEmpty());
}

TEST(APrimitiveNodeTest, WorldBoxIsThePrimitivesExactBox) {
    AutoPtr<APrimitiveNode> sphere = APrimitiveNode::MakeSphere({{1, 2, 3}, 0.5});
    EXPECT_EQ(sphere->WorldBox(), SBox3({0.5, 1.5, 2.5}, {1.5, 2.5, 3.5}));
    AutoPtr<APrimitiveNode> box = APrimitiveNode::MakeBox(Box3d::FromMinMax({0, 0, 0}, {1, 2, 3}));
    EXPECT_EQ(box->WorldBox(), SBox3({0, 0, 0}, {1, 2, 3}));
    AutoPtr<APrimitiveNode> line = APrimitiveNode::MakePolyLine({{{0, 0, 0}, {-1, 4, 0}, {2, 1, 5}}});
    EXPECT_EQ(line->WorldBox(), SBox3({-1, 0, 0}, {2, 4, 5}));
    // The exact box, not the coarse mesh's: ten chords round a circle miss its top and bottom.
    AutoPtr<APrimitiveNode> circle = APrimitiveNode::MakeCircleArc(CircleArc3d{});
    ExpectBoxNear(circle->WorldBox(), SBox3({-1, -1, 0}, {1, 1, 0}), 1e-15);
    EXPECT_LT(circle->Mesh(0)->Box().Max().y, 0.96);
}

TEST(APrimitiveNodeTest, AWalkThroughAGroupDrawsThePrimitive) {
    LiveObjects live;
    AutoPtr<GroupNode> group = GroupNode::Make();
    AutoPtr<APrimitiveNode> arc = APrimitiveNode::MakeCircleArc(CircleArc3d{});
    AutoPtr<APrimitiveNode> sphere = APrimitiveNode::MakeSphere(Sphere3d{});
    ASSERT_TRUE(group->AddChild(arc));
    ASSERT_TRUE(group->AddChild(sphere));
    AutoPtr<ADrawContext> dc = ADrawContext::Make(nullptr);
    RenderItemList items;
    GraphWalker walker(*dc);
    walker.Walk(group, items);
    ASSERT_EQ(items.Count(), 2);
    EXPECT_EQ(items.At(0)->Geometry(), static_cast<Lumo::Devices::IRenderGeom*>(arc->Mesh(15).get()));
    EXPECT_EQ(items.At(1)->Geometry(), static_cast<Lumo::Devices::IRenderGeom*>(sphere->Mesh(15).get()));
}

TEST(APrimitiveNodeTest, ConcurrentRealisationSharesOneMeshPerLevel) {
    AutoPtr<APrimitiveNode> node = APrimitiveNode::MakeTorus(Torus3d{});
    AutoPtr<SimpleMesh> seen[2][16];
    std::thread a([&] {
        for (int l = 0; l < 16; ++l)
            seen[0][l] = node->Mesh(l);
    });
    std::thread b([&] {
        for (int l = 15; l >= 0; --l)
            seen[1][l] = node->Mesh(l);
    });
    a.join();
    b.join();
    for (int l = 0; l < 16; ++l)
        EXPECT_EQ(seen[0][l].get(), seen[1][l].get()) << l;
}
