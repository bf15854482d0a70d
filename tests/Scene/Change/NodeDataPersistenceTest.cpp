#include "../TestSupport.h"

#include <Brio/Base/StrongRef.h>
#include <Brio/DataModel/Asset.h>
#include <Brio/DataModel/Entity.h>
#include <Brio/DataModel/Segment.h>
#include <Lumo/Graphics/PropertyBag.h>
#include <Scene/Change/ClientTypes.h>
#include <Scene/Change/DecorationNodeData.h>
#include <Scene/Change/NodeData.h>
#include <Scene/Change/SceneNodes.h>
#include <Scene/Model/INodeSource.h>

using namespace Brio::Scene;
using namespace SceneTest;
using Lumo::Graphics::GroupNode;
using Lumo::Objects::Intern;
using Lumo::Serialization::PropertyBag;

TEST(NodeDataPersistenceTest, PropertiesInTheirOrderWithClientTypesAsNames) {
    LiveObjectGuard guard;
    AutoPtr<GroupNode> node = GroupNode::Make();
    NodeData* d = NodeData::make(node, nullptr, Lumo::Scene::eGroupNode, false);
    d->qualifier(0x1234567890ull);
    d->clientType(eClientBody | eClientFaces);
    PropertyBag bag;
    d->writeProperties(bag);

    std::vector<std::wstring> order;
    for (const auto& p : bag.Properties())
        order.push_back(p.name->Text());
    EXPECT_EQ(order, (std::vector<std::wstring>{L"INodeSourceSaved", L"Qualifier", L"ClientType",
                                                L"StringsForMaskCount", L"StringForMask::0", L"StringForMask::1"}));
    std::uint32_t raw = 1;
    ASSERT_TRUE(bag.Get(Intern(L"ClientType"), raw));
    EXPECT_EQ(raw, 0u) << "client types travel as names only";
    std::wstring first;
    ASSERT_TRUE(bag.Get(Intern(L"StringForMask::0"), first));
    EXPECT_EQ(first, L"Body");

    AutoPtr<GroupNode> loaded = GroupNode::Make();
    NodeData* l = NodeData::make(loaded, nullptr, Lumo::Scene::eGroupNode, false);
    l->readProperties(bag);
    EXPECT_EQ(l->qualifier(), 0x1234567890ull);
    EXPECT_EQ(l->clientType(), unsigned(eClientBody | eClientFaces));
}

TEST(NodeDataPersistenceTest, NamesFromAnotherSessionMapToThisSessionsBits) {
    LiveObjectGuard guard;
    PropertyBag bag;
    bag.Set(Intern(L"INodeSourceSaved"), true);
    bag.Set(Intern(L"AssetName"), std::wstring(L"Part1"));
    bag.Set(Intern(L"SegmentId"), std::uint32_t(7));
    bag.Set(Intern(L"INodeSource"), std::uint64_t(99));
    bag.Set(Intern(L"Qualifier"), std::uint64_t(3));
    bag.Set(Intern(L"ClientType"), std::uint32_t(0x2));
    bag.Set(Intern(L"StringsForMaskCount"), std::uint32_t(1));
    bag.Set(Intern(L"StringForMask::0"), std::wstring(L"TestOnlyPersistedClientType"));
    AutoPtr<GroupNode> node = GroupNode::Make();
    NodeData* d = NodeData::make(node, nullptr, Lumo::Scene::eGroupNode, false);
    d->readProperties(bag);
    unsigned registered = RegisterClientType(L"TestOnlyPersistedClientType");
    EXPECT_EQ(d->clientType(), 0x2u | registered);
    EXPECT_EQ(d->sourceSegmentId(), 7u);
    EXPECT_EQ(d->savedSourceId(), 99u);

    PropertyBag wrongType;
    wrongType.Set(Intern(L"Qualifier"), std::wstring(L"not a number"));
    d->readProperties(wrongType);
    EXPECT_EQ(d->qualifier(), 3u) << "a property of the wrong type is ignored";
}

TEST(NodeDataPersistenceTest, DecorationDataAnswersForBothKinds) {
    LiveObjectGuard guard;
    AutoPtr<GroupNode> node = GroupNode::Make();
    DecorationNodeData* d = DecorationNodeData::make(eDecorationOverlay, node, nullptr, Lumo::Scene::eGroupNode, false);
    EXPECT_EQ(d->decorationWorldType(), eDecorationOverlay);
    EXPECT_EQ(nodeData(node), static_cast<NodeData*>(d));
    EXPECT_EQ(d->GetInterface(DecorationNodeData::StaticClassName()), static_cast<void*>(d));
    EXPECT_EQ(d->ClassName(), Intern(L"DecorationNodeData"));
}

namespace {
/// A document entity that is also a node source, as a host's bodies are.
class EntitySource : public Brio::Entity, public INodeSource {
public:
    explicit EntitySource(Brio::Segment* segment) : Brio::Entity(segment) {}
    Lumo::Graphics::ARenderNode* sceneNode() const override { return nullptr; }
    void* queryInterface(const Brio::UniqueString* id) const override {
        if (void* self = INodeSource::queryInterface(id))
            return self;
        return Brio::Entity::queryInterface(id);
    }

protected:
    void sceneNode(Lumo::Graphics::ARenderNode*) override {}
    void onCreateScene(NodeChange&) override {}
};
} // namespace

TEST(NodeDataPersistenceTest, AnEntitySourceIsSavedByReference) {
    LiveObjectGuard guard;
    Brio::StrongRef<Brio::Asset> doc = Brio::Asset::make(L"Bracket");
    Brio::Segment* segment = doc->createSegment(L"Model");
    Brio::StrongRef<EntitySource> body = new EntitySource(segment);
    body->postCreation(1);
    AutoPtr<GroupNode> node = GroupNode::Make();
    NodeData::make(node, body.getTarget(), Lumo::Scene::eGroupNode, false)->qualifier(3);
    PropertyBag bag;
    nodeData(node)->writeProperties(bag);

    std::vector<std::wstring> order;
    for (const auto& p : bag.Properties())
        order.push_back(p.name->Text());
    ASSERT_GE(order.size(), 5u);
    EXPECT_EQ(
        std::vector<std::wstring>(order.begin(), order.begin() + 5),
        (std::vector<std::wstring>{L"INodeSourceSaved", L"AssetName", L"SegmentId", L"INodeSource", L"Qualifier"}));

    AutoPtr<GroupNode> loaded = GroupNode::Make();
    NodeData* l = NodeData::make(loaded, nullptr, Lumo::Scene::eGroupNode, false);
    l->readProperties(bag);
    EXPECT_EQ(l->savedSourceId(), body->id());
    EXPECT_EQ(l->sourceSegmentId(), segment->id());
    EXPECT_EQ(l->savedAssetName(), L"Bracket");
    EXPECT_EQ(l->qualifier(), 3u);
    EXPECT_EQ(l->source(), nullptr) << "linked back by the loader, not here";
    nodeData(node)->source(nullptr);
}
