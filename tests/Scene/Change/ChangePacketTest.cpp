#include "PacketTestSupport.h"
#include "TestSource.h"

#include <Lumo/Graphics/StandardObjectManager.h>
#include <Scene/Change/ObjectManager.h>

#include <Lumo/Graphics/APrimitiveNode.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/Sphere3d.h>
#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Change/RevalidatePacket.h>
#include <Scene/Nodes/LODGeometryNode.h>
#include <Scene/Nodes/NodeFunctions.h>
#include <Scene/Nodes/TextNode.h>

#include <vector>

using namespace PacketTest;
using Brio::DataChange;
using Brio::Scene::ChangePacket;
using Brio::Scene::RevalidatePacket;
using Lumo::Objects::SBox3;
using SceneTest::KindAttribute;

namespace {
constexpr std::uint32_t kGeom = RevalidatePacket::kNewGeometry, kBox = RevalidatePacket::kNewBox;
}

// ---- setters and preparing ---------------------------------------------------------------

TEST(ChangePacketTest, GeometryInvalidationAfterAMeshLeavesNoNewMesh) {
    SceneTest::LiveObjectGuard guard;
    AutoPtr<Lumo::Graphics::GroupNode> node = SceneGroup();
    AutoPtr<ChangePacket> p = ChangePacket::make(node);
    p->geometry(Mesh(), 0);
    p->boundingBox(SBox3({0, 0, 0}, {1, 1, 1}));
    EXPECT_EQ(p->ChangeType(), kGeom | kBox);
    EXPECT_EQ(p->newMeshLevels(), 1u);
    p->invalidate(DataChange::eGeometry);
    EXPECT_EQ(p->newMeshLevels(), 0u);
    EXPECT_EQ(p->ChangeType() & (kGeom | kBox), 0u);
    EXPECT_EQ(p->mesh(0), nullptr) << "an obsolete mesh is not kept alive";
    EXPECT_TRUE(DataChange::test(p->revalidationTypes(), DataChange::eGeometry));

    p->invalidate(DataChange::eAppearance);
    p->geometry(Mesh(), 3);
    EXPECT_EQ(p->newMeshLevels(), 1u << 3) << "a non-geometry revalidation keeps new meshes";
}

TEST(ChangePacketTest, BadMeshesAndEmptyBoxesAreIgnored) {
    AutoPtr<Lumo::Graphics::GroupNode> node = SceneGroup();
    AutoPtr<ChangePacket> p = ChangePacket::make(node);
    p->geometry(nullptr, 0);
    p->geometry(Mesh(), 16);
    p->geometry(Mesh(), -1);
    p->boundingBox(SBox3());
    EXPECT_EQ(p->ChangeType(), 0u);
    EXPECT_EQ(p->newMeshLevels(), 0u);
}

TEST(ChangePacketTest, PreparingMapsAttributeKindsToChangeBits) {
    using namespace Lumo::Scene;
    struct Case {
        EAttributeType kind;
        std::uint32_t bits;
    };
    const std::vector<Case> cases = {
        {eEffect, RevalidatePacket::kEffectChange},
        {eBillBoard, RevalidatePacket::kBillBoardChange},
        {eLineStyle, RevalidatePacket::kLineStyleChange},
        {eTransform, RevalidatePacket::kTransformChange},
        {eDepthPriority, RevalidatePacket::kTransformChange},
        {eVisibility, RevalidatePacket::kTransformChange},
        {ePixelScale, RevalidatePacket::kTransformChange},
        {eOpacity, RevalidatePacket::kOpacityChange},
        {eCullMode, 0u},
    };
    AutoPtr<Lumo::Graphics::GroupNode> node = SceneGroup();
    for (const Case& c : cases) {
        AutoPtr<ChangePacket> set = ChangePacket::make(node);
        set->attributeSet()->SetAttribute(AutoPtr<Attribute>(KindAttribute::Make(c.kind)));
        set->AddChangeType(0x20); // not the packet's to keep
        set->prepare();
        EXPECT_EQ(set->ChangeType(), RevalidatePacket::kAttributeChange | c.bits) << "kind " << c.kind;
    }
    AutoPtr<ChangePacket> removes = ChangePacket::make(node);
    removes->attributeSet()->RemoveAttribute(eOpacity);
    removes->prepare();
    EXPECT_EQ(removes->ChangeType(), RevalidatePacket::kAttributeChange | RevalidatePacket::kOpacityChange)
        << "a removal alone counts";

    AutoPtr<ChangePacket> none = ChangePacket::make(node);
    none->geometry(Mesh(), 2);
    none->prepare();
    EXPECT_EQ(none->ChangeType(), kGeom) << "no holder, no attribute bit";
}

TEST(ChangePacketTest, FlagsOfOnePacketFollowCallOrder) {
    AutoPtr<Lumo::Graphics::GroupNode> node = SceneGroup();
    AutoPtr<ChangePacket> p = ChangePacket::make(node);
    EXPECT_FALSE(p->hasFlags());
    p->setFlags(0x8 | 0x10, true);
    p->setFlags(0x8, false);
    EXPECT_EQ(p->flagsOn(), 0x10u);
    EXPECT_EQ(p->flagsOff(), 0x8u);
    node->SetFlags(0x8, true);
    EXPECT_TRUE(p->UpdateNode());
    EXPECT_FALSE(node->Test(0x8));
    EXPECT_TRUE(node->Test(0x10));
}

// ---- merge rules where order matters --------------------------------------------------------

TEST(ChangePacketMergeTest, GeometryInvalidationClearsEarlierMeshesBeforeLaterOnesAreAdded) {
    SceneTest::LiveObjectGuard guard;
    AutoPtr<Lumo::Scene::LODGeometryNode> lod = Lumo::Scene::MakeLODGeometryNode(true);
    AutoPtr<Lumo::Devices::SimpleMesh> old = Mesh(), m0 = Mesh(), m1 = Mesh(), m2 = Mesh();
    lod->RenderGeometry(old, 5);
    AutoPtr<ChangePacket> first = ChangePacket::make(lod);
    first->geometry(m0, 0);
    first->geometry(m1, 1);
    first->boundingBox(SBox3({0, 0, 0}, {1, 1, 1}));
    AutoPtr<ChangePacket> later = ChangePacket::make(lod);
    later->invalidate(DataChange::eGeometry);
    later->geometry(m2, 2);
    Merge(*first, *later);

    EXPECT_EQ(first->newMeshLevels(), 1u << 2);
    EXPECT_EQ(first->ChangeType(), kGeom) << "the earlier box is obsolete too";
    EXPECT_EQ(first->mesh(0), nullptr);
    EXPECT_EQ(first->mesh(2), m2.get());
    EXPECT_EQ(m0->RefCount(), 1) << "the merged packet dropped the obsolete mesh";

    EXPECT_TRUE(first->UpdateNode());
    EXPECT_EQ(lod->RenderGeometry(5), nullptr) << "geometry revalidation drops every level";
    EXPECT_EQ(lod->RenderGeometry(0), nullptr);
    EXPECT_EQ(lod->RenderGeometry(2), m2.get());
}

TEST(ChangePacketMergeTest, MeshesAfterAnEarlierInvalidationSurvive) {
    AutoPtr<Lumo::Scene::LODGeometryNode> lod = Lumo::Scene::MakeLODGeometryNode(true);
    AutoPtr<ChangePacket> first = ChangePacket::make(lod);
    first->invalidate(DataChange::eGeometry);
    AutoPtr<ChangePacket> later = ChangePacket::make(lod);
    AutoPtr<Lumo::Devices::SimpleMesh> m = Mesh();
    later->geometry(m, 4);
    Merge(*first, *later);
    EXPECT_EQ(first->newMeshLevels(), 1u << 4);
    EXPECT_EQ(first->ChangeType(), kGeom);
    first->UpdateNode();
    EXPECT_EQ(lod->RenderGeometry(4), m.get());
}

TEST(ChangePacketMergeTest, LaterNodeDataValuesWinAndUnmarkedOnesDoNotOverwrite) {
    SceneTest::LiveObjectGuard guard;
    AutoPtr<Lumo::Graphics::GroupNode> node = SceneGroup();
    AutoPtr<ChangePacket> first = ChangePacket::make(node), later = ChangePacket::make(node);
    first->qualifier(1);
    first->clientType(0x4);
    first->doubleSided(Brio::Scene::eDoubleSidedOn);
    later->qualifier(2);
    Merge(*first, *later);
    EXPECT_TRUE(first->UpdateNode());
    Brio::Scene::NodeData* data = Brio::Scene::nodeData(node);
    EXPECT_EQ(data->qualifier(), 2u);
    EXPECT_EQ(data->clientType(), 0x4u);
    EXPECT_EQ(data->doubleSided(), Brio::Scene::eDoubleSidedOn);
    EXPECT_FALSE(first->hasQualifier()) << "marks are cleared once written";

    data->qualifier(9);
    first->UpdateNode();
    EXPECT_EQ(data->qualifier(), 9u) << "a cleared mark writes nothing again";
}

TEST(ChangePacketMergeTest, FlagsTurnedOnThenOffEndOffAndTheReverse) {
    AutoPtr<Lumo::Graphics::GroupNode> node = SceneGroup();
    AutoPtr<ChangePacket> on = ChangePacket::make(node), off = ChangePacket::make(node);
    on->setFlags(0x8, true);
    off->setFlags(0x8, false);
    Merge(*on, *off).UpdateNode();
    EXPECT_FALSE(node->Test(0x8));

    AutoPtr<ChangePacket> off2 = ChangePacket::make(node), on2 = ChangePacket::make(node);
    off2->setFlags(0x8, false);
    on2->setFlags(0x8, true);
    Merge(*off2, *on2).UpdateNode();
    EXPECT_TRUE(node->Test(0x8));
}

TEST(ChangePacketMergeTest, LaterTextPrimitiveAndBoxReplaceEarlierOnes) {
    AutoPtr<Lumo::Scene::LODGeometryNode> lod = Lumo::Scene::MakeLODGeometryNode(true);
    AutoPtr<ChangePacket> first = ChangePacket::make(lod), later = ChangePacket::make(lod);
    first->boundingBox(SBox3({0, 0, 0}, {1, 1, 1}));
    first->textData(L"a");
    later->boundingBox(SBox3({0, 0, 0}, {3, 3, 3}));
    later->textData(L"b");
    Merge(*first, *later);
    EXPECT_EQ(first->textData(), L"b");
    EXPECT_EQ(first->ChangeType(), kBox);
    first->UpdateNode();
    EXPECT_EQ(lod->WorldBox().Max().x, 3.0);
}

// ---- applying to node kinds ---------------------------------------------------------------

TEST(ChangePacketApplyTest, PlainGeometryNodesTakeOnlyTheFinestLevel) {
    SceneTest::LiveObjectGuard guard;
    AutoPtr<Lumo::Graphics::GeometryNode> geometry = Lumo::Scene::MakeGeometryNode(true);
    AutoPtr<Lumo::Devices::SimpleMesh> coarse = Mesh(), fine = Mesh();
    AutoPtr<ChangePacket> p = ChangePacket::make(geometry);
    p->geometry(coarse, 0);
    p->UpdateNode();
    EXPECT_EQ(geometry->RenderGeometry(), nullptr);
    AutoPtr<ChangePacket> q = ChangePacket::make(geometry);
    q->geometry(fine, 15);
    q->UpdateNode();
    EXPECT_EQ(geometry->RenderGeometry(), fine.get());

    geometry->SetFlags(0x1100, true);
    AutoPtr<ChangePacket> drop = ChangePacket::make(geometry);
    drop->invalidate(DataChange::eGeometry);
    drop->UpdateNode();
    EXPECT_EQ(geometry->RenderGeometry(), nullptr);
    EXPECT_FALSE(geometry->Test(0x1100));
}

TEST(ChangePacketApplyTest, TextAndPrimitiveReachTheirNodeKindsOnly) {
    SceneTest::LiveObjectGuard guard;
    AutoPtr<Lumo::Scene::TextNode> text = Lumo::Scene::MakeTextNode(true);
    AutoPtr<ChangePacket> t = ChangePacket::make(text);
    t->textData(L"label");
    t->UpdateNode();
    EXPECT_EQ(text->TextData(), L"label");

    AutoPtr<Lumo::Graphics::APrimitiveNode> prim = Lumo::Graphics::APrimitiveNode::Make();
    prim->SetFlags(0x1100, true);
    AutoPtr<Lumo::Graphics::APrimitive> sphere = Lumo::Graphics::APrimitive::Make(Lumo::Graphics::Sphere3d{});
    AutoPtr<ChangePacket> p = ChangePacket::make(prim);
    p->primitive(sphere);
    EXPECT_EQ(p->ChangeType(), kGeom);
    p->UpdateNode();
    EXPECT_EQ(prim->Primitive().get(), sphere.get());
    EXPECT_FALSE(prim->Test(0x1100));

    AutoPtr<Lumo::Graphics::GroupNode> group = SceneGroup();
    AutoPtr<ChangePacket> g = ChangePacket::make(group);
    g->textData(L"ignored");
    g->primitive(sphere);
    EXPECT_TRUE(g->UpdateNode()) << "data a node kind cannot take is skipped";
}

TEST(ChangePacketApplyTest, AttributesThroughAPacketReachTheLiveSet) {
    SceneTest::LiveObjectGuard guard;
    using namespace Lumo::Scene;
    AutoPtr<Lumo::Graphics::GroupNode> node = SceneGroup();
    AttributeSet* live = GetAttributeSet(node);
    live->SetAttribute(AutoPtr<Attribute>(KindAttribute::Make(eOpacity, 1)));
    live->SetAttribute(AutoPtr<Attribute>(KindAttribute::Make(eEffect, 1)));
    AutoPtr<ChangePacket> p = ChangePacket::make(node);
    EXPECT_EQ(p->attributeHolder(), nullptr) << "made on first need only";
    p->attributeSet()->SetAttribute(AutoPtr<Attribute>(KindAttribute::Make(eEffect, 7)));
    p->attributeSet()->RemoveAttribute(eOpacity);
    EXPECT_EQ(GetReferenceNodeData(p->attributeHolder())->Target(), node.get());
    EXPECT_TRUE(GetReferenceNodeData(p->attributeHolder())->IsProxy());
    EXPECT_EQ(SceneTest::ValueOf(live->GetAttribute(eEffect)), 1) << "nothing reaches the node before applying";

    EXPECT_TRUE(p->UpdateNode());
    EXPECT_EQ(SceneTest::ValueOf(live->GetAttribute(eEffect)), 7);
    EXPECT_FALSE(live->HasAttribute(eOpacity));
    EXPECT_EQ(live->GetRemoveAttributes(), 0u) << "a live set keeps no removals";
    EXPECT_FALSE(node->Test(ChangePacket::kApplyingFlag)) << "the flag is restored, not left on";
    EXPECT_EQ(node->ChildCount(), 0);
}

// ---- revalidation --------------------------------------------------------------------------

TEST(RevalidatePacketTest, NewDataAnswersGeometryRevalidationOnly) {
    SceneTest::LiveObjectGuard guard;
    SourceTest::RecordingSource src;
    AutoPtr<Lumo::Graphics::GroupNode> node = Lumo::Graphics::GroupNode::Make();
    Brio::Scene::NodeData::make(node, &src, Lumo::Scene::eGroupNode, false);
    AutoPtr<ChangePacket> source = ChangePacket::make(node);
    source->invalidate(DataChange::eGeometry);
    source->geometry(Mesh(), 15);
    source->attributeSet();
    source->prepare();

    AutoPtr<RevalidatePacket> r = RevalidatePacket::make(*source);
    EXPECT_EQ(r->Node(), node.get());
    EXPECT_EQ(r->attributeHolder(), nullptr);
    EXPECT_EQ(r->ChangeType(), kGeom) << "only new geometry and box are carried";
    EXPECT_EQ(r->newMeshLevels(), 1u << 15);
    EXPECT_FALSE(r->UpdateNode());
    EXPECT_TRUE(src.calls.empty()) << "the new mesh already answers the geometry revalidation";

    source->invalidate(DataChange::eAppearance);
    AutoPtr<RevalidatePacket> r2 = RevalidatePacket::make(*source);
    r2->UpdateNode();
    EXPECT_EQ(src.calls, (std::vector<std::string>{"appearance"}));

    AutoPtr<ChangePacket> bare = ChangePacket::make(node);
    bare->invalidate(DataChange::eGeometry);
    src.calls.clear();
    AutoPtr<RevalidatePacket>(RevalidatePacket::make(*bare))->UpdateNode();
    EXPECT_EQ(src.calls, (std::vector<std::string>{"geometry", "box"})) << "a leaf rebuilds its geometry";
    Brio::Scene::ObjectManager::get()->changeManager()->Clear(); // the rebuild posted a packet
}

TEST(RevalidatePacketTest, MergeTakesUnionsAfterALaterGeometryRevalidation) {
    AutoPtr<Lumo::Graphics::GroupNode> node = SceneGroup();
    AutoPtr<ChangePacket> a = ChangePacket::make(node), b = ChangePacket::make(node);
    a->geometry(Mesh(), 1);
    a->invalidate(DataChange::eDisplay);
    b->invalidate(DataChange::eGeometry);
    AutoPtr<RevalidatePacket> ra = RevalidatePacket::make(*a), rb = RevalidatePacket::make(*b);
    EXPECT_EQ(ra->MergeChanges(*rb), ra.get());
    EXPECT_EQ(ra->ChangeType(), 0u);
    EXPECT_EQ(ra->newMeshLevels(), 0u);
    EXPECT_EQ(ra->revalidationTypes(), DataChange::EChangeType(DataChange::eDisplay | DataChange::eGeometry));
}
