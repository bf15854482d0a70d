#include "../Change/TestSource.h"
#include "../TestSupport.h"

#include <Brio/Base/StrongRef.h>
#include <Brio/Base/UniqueString.h>
#include <Brio/DataModel/Object.h>
#include <Brio/DataModel/ObjectPath.h>
#include <Brio/Types/Color.h>
#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/GraphWalker.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Graphics/StandardObjectManager.h>
#include <Lumo/Graphics/TraversalState.h>
#include <Scene/Attributes/ColorEffectAttribute.h>
#include <Scene/Attributes/EffectInstanceCache.h>
#include <Scene/Change/NodeChange.h>
#include <Scene/Change/NodeData.h>
#include <Scene/Change/NodePath.h>
#include <Scene/Change/ObjectManager.h>
#include <Scene/Change/SceneNodes.h>
#include <Scene/Model/IBodyNodeSource.h>
#include <Scene/Nodes/LODGeometryNode.h>
#include <Scene/Nodes/NodeFunctions.h>
#include <Scene/Nodes/SceneWalk.h>

using Brio::DataChange;
using Brio::Scene::INodeSource;
using Brio::Scene::NodeChange;
using Brio::Scene::NodePath;
using Brio::Scene::ObjectManager;
using Lumo::Graphics::ARenderNode;
using Lumo::Graphics::GroupNode;
using Lumo::Objects::AutoPtr;
using SourceTest::RecordingSource;
using Strings = std::vector<std::string>;

namespace {

struct NodeSourceTest : ::testing::Test {
    SceneTest::LiveObjectGuard guard;
    void TearDown() override {
        ObjectManager::get()->changeManager()->Clear();
        ObjectManager::get()->revalidateManager()->Clear();
    }
    static void Sync() { ObjectManager::get()->syncChanges(); }
};

DataChange::EChangeType Types(std::uint32_t bits) {
    return DataChange::EChangeType(bits);
}

} // namespace

TEST_F(NodeSourceTest, CreateSceneBuildsOnceInTheStatedOrder) {
    RecordingSource src;
    ARenderNode* node = src.createScene();
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(src.createScene(), node) << "the second call answers the same node";
    EXPECT_EQ(src.calls, (Strings{"create", "transform", "geometry", "box", "appearance", "children", "extra"}));
    ASSERT_EQ(src.extraTypes.size(), 1u);
    EXPECT_EQ(src.extraTypes[0], 0xFFFFu);
    EXPECT_EQ(Brio::Scene::source(node), &src);
    EXPECT_EQ(src.sourceId(), 18446744073709551615ull);
    EXPECT_EQ(src.queryInterface(INodeSource::interfaceId()), &src);
    EXPECT_EQ(src.queryInterface(Brio::Object::interfaceId()), nullptr);
    src.releaseScene();
}

TEST_F(NodeSourceTest, RevalidateDispatchesEachTypeOnceAndStopsWhenDone) {
    RecordingSource src;
    src.createScene();
    src.calls.clear();
    src.extraTypes.clear();
    {
        NodeChange change(src.sceneNode(), false);
        src.revalidate(change, Types(DataChange::eGeometry | DataChange::eDisplay));
    }
    EXPECT_EQ(src.calls, (Strings{"geometry", "box", "extra"}));
    EXPECT_EQ(src.extraTypes, (std::vector<std::uint32_t>{DataChange::eDisplay}));

    src.calls.clear();
    src.extraTypes.clear();
    {
        NodeChange change(src.sceneNode(), false);
        src.revalidate(change, Types(DataChange::eAppearance | DataChange::eChildren));
        src.revalidate(change, DataChange::eNoChange);
    }
    EXPECT_EQ(src.calls, (Strings{"appearance", "children", "extra"})) << "nothing left: no extra step, until type 0";
    EXPECT_EQ(src.extraTypes, (std::vector<std::uint32_t>{0u}));
    src.releaseScene();
}

TEST_F(NodeSourceTest, ChangeTypesThatAffectTheSceneDependOnBeingALeaf) {
    RecordingSource group(RecordingSource::eGroup), leaf(RecordingSource::eGeometry);
    group.createScene();
    leaf.createScene();
    EXPECT_EQ(group.getChangeTypesThatAffectScene(), Types(DataChange::eAppearance | DataChange::eChildren));
    EXPECT_EQ(leaf.getChangeTypesThatAffectScene(),
              Types(DataChange::eAppearance | DataChange::eChildren | DataChange::eGeometry));
    group.releaseScene();
    leaf.releaseScene();
}

TEST_F(NodeSourceTest, PostedChangeRebuildsInTheSameSync) {
    RecordingSource src;
    src.createScene();
    src.onAppearance = [](NodeChange& change) { change.colorEffect(Brio::Color(0.3f, 0.6f, 0.9f)); };
    src.calls.clear();
    src.onPostChangeScene(Types(DataChange::eAppearance | DataChange::eDisplay));
    EXPECT_TRUE(src.calls.empty()) << "only a revalidation is queued";
    EXPECT_EQ(ObjectManager::get()->revalidateManager()->PendingCount(), 1);
    Sync();
    EXPECT_EQ(src.calls, (Strings{"appearance"})) << "eDisplay does not affect this source's scene";
    auto* effect = static_cast<Lumo::Scene::ColorEffectAttribute*>(
        Lumo::Scene::GetAttributeSet(src.sceneNode())->GetAttribute(Lumo::Scene::eEffect));
    ASSERT_NE(effect, nullptr) << "the rebuild's packet is applied in the same sync";
    EXPECT_FLOAT_EQ(effect->Color().y, 0.6f);
    EXPECT_EQ(ObjectManager::get()->changeManager()->PendingCount(), 0);
    src.releaseScene();
}

TEST_F(NodeSourceTest, ConnectAndDisconnect) {
    RecordingSource nothing;
    nothing.onPostChangeScene(Types(DataChange::eAppearance));
    nothing.disconnectScene();
    EXPECT_TRUE(nothing.calls.empty()) << "no scene node: nothing at all";
    EXPECT_EQ(ObjectManager::get()->revalidateManager()->PendingCount(), 0);

    AutoPtr<GroupNode> parent = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eRenderListWorld, false);
    RecordingSource src;
    src.parent = parent;
    src.connectScene();
    Sync();
    ASSERT_EQ(parent->ChildCount(), 1);
    AutoPtr<ARenderNode> node = src.sceneNode();
    EXPECT_EQ(parent->Child(0), node.get());
    src.disconnectScene();
    Sync();
    EXPECT_EQ(parent->ChildCount(), 0);
    EXPECT_EQ(src.sceneNode(), nullptr);
    EXPECT_EQ(Brio::Scene::source(node), nullptr) << "the node no longer points at its source";
}

// ---- render callbacks ---------------------------------------------------------------------

TEST_F(NodeSourceTest, TheWalkAsksSourcesForMissingGeometryAndBoxes) {
    Brio::Scene::NodeData::installRenderCallbacks();
    RecordingSource lod(RecordingSource::eLOD);
    lod.box = Lumo::Objects::SBox3({0, 0, 0}, {2, 2, 2});
    lod.onGeometry = [](NodeChange& change, int level) {
        AutoPtr<Lumo::Devices::SimpleMesh> mesh = Lumo::Devices::SimpleMesh::Make(nullptr);
        change.geometry(mesh, level);
    };
    ARenderNode* node = lod.createScene();
    auto* lodNode = static_cast<Lumo::Scene::LODGeometryNode*>(node);
    lod.calls.clear();

    AutoPtr<Lumo::Devices::ADrawContext> dc = Lumo::Devices::ADrawContext::Make(nullptr);
    Lumo::Graphics::GraphWalker walker(*dc);
    Lumo::Graphics::RenderItemList items;
    walker.Walk(node, items);
    EXPECT_NE(std::find(lod.calls.begin(), lod.calls.end(), "geometry15"), lod.calls.end());
    EXPECT_NE(lodNode->RenderGeometry(15), nullptr) << "the realised mesh is applied at once";
    EXPECT_EQ(lodNode->WorldBox().Max().x, 2.0) << "the box realised at creation was applied with the node";

    lod.calls.clear();
    walker.Walk(node, items);
    EXPECT_EQ(std::find(lod.calls.begin(), lod.calls.end(), "geometry15"), lod.calls.end()) << "asked once";

    // A leaf whose box was unknown at creation is asked for it while walked.
    RecordingSource leaf(RecordingSource::eGeometry);
    ARenderNode* leafNode = leaf.createScene();
    leaf.box = Lumo::Objects::SBox3({-1, -1, -1}, {1, 1, 1});
    leaf.calls.clear();
    walker.Walk(leafNode, items);
    EXPECT_NE(std::find(leaf.calls.begin(), leaf.calls.end(), "box"), leaf.calls.end());
    EXPECT_NE(std::find(leaf.calls.begin(), leaf.calls.end(), "geometry15"), leaf.calls.end())
        << "a geometry node without its item asks for level 15";
    leaf.releaseScene();
    lod.releaseScene();
    Lumo::Scene::SceneWalk::Uninstall();
    Lumo::Scene::EffectInstanceCache::Destroy();
}

// ---- object paths -------------------------------------------------------------------------

namespace {

/// A host model object that is also a node source: an assembly component, an instance of
/// one, or a body. Instances show their component's node; bodies are leaves.
class ModelObject : public Brio::Object, public RecordingSource {
public:
    explicit ModelObject(Kind kind) : RecordingSource(kind) {}
    ~ModelObject() override = default;
    ModelObject* owner = nullptr; // the object one level up
    std::vector<ModelObject*> children;

    void* queryInterface(const Brio::UniqueString* id) const override {
        if (id == Brio::Object::interfaceId())
            return const_cast<Brio::Object*>(static_cast<const Brio::Object*>(this));
        if (id == INodeSource::interfaceId())
            return const_cast<INodeSource*>(static_cast<const INodeSource*>(this));
        return nullptr;
    }
    /// Objects strictly between this one and a descendant.
    Brio::ObjectPath pathTo(INodeSource* descendant) override {
        Brio::ObjectPath path;
        auto* d = dynamic_cast<ModelObject*>(descendant);
        for (ModelObject* o = d ? d->owner : nullptr; o && o != this; o = o->owner)
            path.pushFront(o);
        return path;
    }
    /// Edges of a body are its sub-objects: the leaf node path is the edges child.
    Brio::Scene::NodePath leafNodePath(std::uint64_t qualifier, std::uint32_t clientType) override {
        Brio::Scene::NodePath path;
        if (clientType == 32)
            if (GroupNode* edges = Brio::Scene::findEdgesChild(groupNode(), qualifier))
                path.push(edges);
        return path;
    }
};

} // namespace

TEST_F(NodeSourceTest, PathsConvertBothWays) {
    // assembly -> instance -> component -> body, with the body's edge group 4 as sub-object.
    Brio::StrongRef<ModelObject> assembly = new ModelObject(RecordingSource::eGroup);
    Brio::StrongRef<ModelObject> instance = new ModelObject(RecordingSource::eGroup);
    Brio::StrongRef<ModelObject> component = new ModelObject(RecordingSource::eGroup);
    Brio::StrongRef<ModelObject> body = new ModelObject(RecordingSource::eGroup);
    instance->owner = assembly.getTarget();
    component->owner = instance.getTarget();
    body->owner = component.getTarget();
    for (ModelObject* o : {assembly.getTarget(), instance.getTarget(), component.getTarget(), body.getTarget()})
        o->createScene();
    AutoPtr<GroupNode> edges = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, false);
    Brio::Scene::NodeData::make(edges, nullptr, Lumo::Scene::eGroupNode, false)->clientType(32);
    Brio::Scene::nodeData(edges)->qualifier(4);
    static_cast<GroupNode*>(body->sceneNode())->AddChild(edges);

    // Scene path: assembly, component, body, edges (the instance shows no node of its own).
    NodePath scene;
    scene.push(assembly->sceneNode());
    scene.push(component->sceneNode());
    scene.push(body->sceneNode());
    scene.push(edges);
    Brio::ObjectPath logical = NodePath::scenePathToLogicalPath(scene);
    ASSERT_EQ(logical.size(), 4u) << "the source fills in the instance between assembly and component";
    EXPECT_EQ(logical[0], assembly.getTarget());
    EXPECT_EQ(logical[1], instance.getTarget());
    EXPECT_EQ(logical[2], component.getTarget());
    EXPECT_EQ(logical[3], body.getTarget());
    EXPECT_EQ(logical.leafClientType(), 32u);
    EXPECT_EQ(logical.leafQualifier(), 4u);

    NodePath back = NodePath::logicalPathToScenePath(logical);
    ASSERT_EQ(back.size(), 5);
    EXPECT_EQ(back[1], instance->sceneNode()) << "every source object contributes its node";
    EXPECT_EQ(back.leaf(), edges.get()) << "the leaf sub-object comes from the body";

    // The round trip through the scene keeps what the scene can show.
    EXPECT_TRUE(NodePath::hasEquivalentScenePath(logical));
    Brio::ObjectPath missing = logical;
    missing.leafQualifier(9); // no edge group 9
    EXPECT_FALSE(NodePath::hasEquivalentScenePath(missing));
    Brio::ObjectPath bare;
    bare.push(assembly.getTarget());
    bare.push(instance.getTarget());
    EXPECT_TRUE(NodePath::hasEquivalentScenePath(bare)) << "a path of sources alone comes back as it was";

    for (ModelObject* o : {assembly.getTarget(), instance.getTarget(), component.getTarget(), body.getTarget()})
        o->releaseScene();
}
