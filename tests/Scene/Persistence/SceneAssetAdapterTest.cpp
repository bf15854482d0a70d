// The document adapter: its scene roots and their effect children, lookup by name (text that
// names nothing must not be interned), the render parameters by kind, the persistent world
// and the scene serializer under the host's persistence option, and the split-test tags.
#include "../TestSupport.h"
#include "../View/ViewTestSupport.h"

#include <Brio/Base/UniqueString.h>
#include <Brio/DataModel/Asset.h>
#include <Brio/DataModel/Segment.h>
#include <Lumo/Devices/VirtualDevice.h>
#include <Lumo/Graphics/Worlds.h>
#include <Scene/Change/ClientTypes.h>
#include <Scene/Change/CreateChangePacket.h>
#include <Scene/Change/NodeData.h>
#include <Scene/Change/SceneNodes.h>
#include <Scene/Nodes/NodeFunctions.h>
#include <Scene/Persistence/LumoSerializer.h>
#include <Scene/Persistence/SceneAssetAdapter.h>
#include <Scene/View/SketchSelectionRenderParams.h>
#include <Scene/View/ViewFragementPassNames.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using namespace Brio::Scene;
using Brio::Asset;
using Brio::StrongRef;
using Lumo::Graphics::ARenderNode;
using Lumo::Graphics::GroupNode;
using Lumo::Objects::AutoPtr;
using Names = ViewFragementPassNames;

namespace {

class SceneAssetAdapterTest : public SceneTest::ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        asset = Asset::make(L"Doc");
    }
    void TearDown() override {
        options->graphicsSplitTestEnabled(false);
        ViewTest::TearDown();
    }

    static std::vector<GroupNode*> children(GroupNode* group) {
        std::vector<GroupNode*> out;
        for (ARenderNode* child : group->Children())
            out.push_back(static_cast<GroupNode*>(child->GetInterface(GroupNode::StaticClassName())));
        return out;
    }
    static std::uintptr_t sceneType(ARenderNode* node) {
        Lumo::Objects::UString* key = Lumo::Objects::Intern(L"SceneType");
        return node->HasAttachment(key) ? reinterpret_cast<std::uintptr_t>(node->GetAttachmentVoidData(key)) : 0;
    }

    StrongRef<Asset> asset;
};

TEST_F(SceneAssetAdapterTest, ANewAdapterHoldsTheSevenOverlaysAndNoModel) {
    SceneAssetAdapter adapter(asset.getTarget());
    EXPECT_EQ(adapter.scene(), nullptr);
    EXPECT_EQ(adapter.getSceneByName(Names::sModel), nullptr);
    EXPECT_EQ(adapter.scriptObjectNames(),
              (std::vector<std::wstring>{L"ActiveEdit", L"Manipulator", L"Prehighlight", L"PrehighlightEffect",
                                         L"Selection", L"SelectionEffect", L"SketchSelectionEffect"}));

    // Each getter answers the root made at construction, stored under its own name.
    const std::vector<std::pair<GroupNode*, const Brio::UniqueString*>> scenes = {
        {adapter.activeEditScene(), Names::sActiveEdit},
        {adapter.manipulatorScene(), Names::sManipulator},
        {adapter.sketchSelectionScene(), Names::sSketchSelection},
        {adapter.selectionScene(), Names::sSelection},
        {adapter.prehighlightScene(), Names::sPrehighlight},
        {adapter.selectionEffectScene(), Names::sSelectionEffect},
        {adapter.prehighlightEffectScene(), Names::sPrehighlightEffect},
    };
    std::vector<GroupNode*> seen;
    for (const auto& [root, name] : scenes) {
        ASSERT_NE(root, nullptr);
        EXPECT_EQ(adapter.getSceneByName(name), root);
        EXPECT_EQ(adapter.getSceneName(root), name);
        EXPECT_EQ(root->WorldType(), Lumo::Graphics::eRenderListWorld);
        EXPECT_EQ(nodeType(root), Lumo::Scene::eGroupNode);
        EXPECT_EQ(std::count(seen.begin(), seen.end(), root), 0) << "every scene has a root of its own";
        seen.push_back(root);
    }
    EXPECT_EQ(adapter.selectionEffectScene(), adapter.selectionEffectScene());
    EXPECT_EQ(adapter.getSceneName(nullptr), nullptr);
    AutoPtr<GroupNode> stranger = GroupNode::Make();
    EXPECT_EQ(adapter.getSceneName(stranger), nullptr);
}

TEST_F(SceneAssetAdapterTest, EffectScenesGetFacesAndEdgesGroupsAtTheNextSync) {
    SceneAssetAdapter adapter(asset.getTarget());
    GroupNode* selection = adapter.selectionEffectScene();
    EXPECT_EQ(selection->ChildCount(), 0) << "the children arrive through posted changes";
    EXPECT_TRUE(isSelectionFragmentPassEmpty(selection));
    sync();

    for (GroupNode* root : {adapter.selectionEffectScene(), adapter.prehighlightEffectScene()}) {
        const std::vector<GroupNode*> kids = children(root);
        ASSERT_EQ(kids.size(), 2u);
        EXPECT_EQ(clientType(kids[0]), eClientFaces);
        EXPECT_EQ(clientType(kids[1]), eClientEdges);
        for (GroupNode* kid : kids) {
            ASSERT_NE(nodeData(kid), nullptr);
            EXPECT_EQ(nodeType(kid), Lumo::Scene::eGroupNode);
            EXPECT_EQ(source(kid), nullptr);
            EXPECT_EQ(qualifier(kid), 0u);
        }
        EXPECT_EQ(findFacesChild(root), kids[0]);
        EXPECT_EQ(findEdgesChild(root, 0), kids[1]);
        EXPECT_TRUE(isSelectionFragmentPassEmpty(root)) << "nothing selected yet";
    }

    const std::vector<GroupNode*> sketch = children(adapter.sketchSelectionScene());
    ASSERT_EQ(sketch.size(), 3u);
    EXPECT_EQ(clientType(sketch[2]), eClientEdges);
    EXPECT_EQ(qualifier(sketch[2]), 1u);
    EXPECT_EQ(findEdgesChild(adapter.sketchSelectionScene(), 1), sketch[2]);

    for (GroupNode* plain :
         {adapter.selectionScene(), adapter.prehighlightScene(), adapter.activeEditScene(), adapter.manipulatorScene()})
        EXPECT_EQ(plain->ChildCount(), 0);

    // Something highlighted in the faces group makes the pass worth drawing.
    findFacesChild(selection)->AddChild(GroupNode::Make());
    EXPECT_FALSE(isSelectionFragmentPassEmpty(selection));
}

TEST_F(SceneAssetAdapterTest, TheHostSetsAndReplacesTheModelScene) {
    SceneAssetAdapter adapter(asset.getTarget());
    AutoPtr<GroupNode> first = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eRenderListWorld, true);
    AutoPtr<GroupNode> second = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eRenderListWorld, true);

    adapter.scene(first);
    EXPECT_EQ(adapter.scene(), first.get());
    EXPECT_EQ(first->RefCount(), 2);
    EXPECT_EQ(adapter.getSceneName(first), Names::sModel);
    EXPECT_EQ(adapter.getSceneByName(std::string("Model")), first.get());

    adapter.scene(second);
    EXPECT_EQ(adapter.scene(), second.get());
    EXPECT_EQ(first->RefCount(), 1) << "the old root is let go";
    EXPECT_EQ(adapter.getSceneName(first), nullptr);

    adapter.scene(nullptr);
    EXPECT_EQ(adapter.scene(), nullptr);
    EXPECT_EQ(second->RefCount(), 1);
}

TEST_F(SceneAssetAdapterTest, ScenesAreFoundByNameAndUnknownTextIsNotInterned) {
    SceneAssetAdapter adapter(asset.getTarget());
    EXPECT_EQ(adapter.getSceneByName(std::string("Selection")), adapter.selectionScene());
    EXPECT_EQ(adapter.getSceneByName(std::string("SketchSelectionEffect")), adapter.sketchSelectionScene());

    const std::string unknown = "NoSceneIsCalledThis-" + std::to_string(reinterpret_cast<std::uintptr_t>(&adapter));
    EXPECT_EQ(adapter.getSceneByName(unknown), nullptr);
    EXPECT_EQ(adapter.scriptObject(unknown), nullptr);
    EXPECT_EQ(Brio::UniqueString::find(unknown, false), nullptr) << "asking must not make the name";
    EXPECT_EQ(adapter.getSceneByName(std::string()), nullptr);

    // Any name can hold a root; storing again replaces it.
    const Brio::UniqueString* overlay = Brio::UniqueString::find(L"MarkupOverlay");
    AutoPtr<GroupNode> a = GroupNode::Make(), b = GroupNode::Make();
    adapter.setSceneByName(a, overlay);
    EXPECT_EQ(adapter.getSceneByName(std::string("MarkupOverlay")), a.get());
    EXPECT_EQ(adapter.scriptObject("MarkupOverlay"), static_cast<void*>(a.get()));
    adapter.setSceneByName(b, overlay);
    EXPECT_EQ(adapter.getSceneByName(overlay), b.get());
    EXPECT_EQ(a->RefCount(), 1);
    adapter.setSceneByName(b, Names::sSelection);
    EXPECT_EQ(adapter.selectionScene(), b.get()) << "a replaced overlay is not made again";
}

TEST_F(SceneAssetAdapterTest, RenderParametersAreSharedAndTheSceneKindFollowsTheOptions) {
    SceneAssetAdapter one(asset.getTarget()), two(asset.getTarget());
    EXPECT_EQ(&one.sceneEffectParams(), &two.sceneEffectParams());
    EXPECT_EQ(&one.selectionEffectParams(), &two.selectionEffectParams());
    EXPECT_NE(static_cast<RenderParams*>(&one.selectionEffectParams()),
              static_cast<RenderParams*>(&one.highlightEffectParams()));

    RenderParams& model = one.sceneEffectParams();
    EXPECT_EQ(model.renderer(), eRendererVisualEffect);
    EXPECT_TRUE(model.environmentEnabled());
    EXPECT_TRUE(model.cacheTarget());
    EXPECT_TRUE(model.cacheDepthStencil());
    EXPECT_EQ(model.cacheSceneType(), 1);

    const int style = options->visualStyle() == 4 ? 1 : 4;
    options->visualStyle(style);
    options->groundShadowEnabled(!options->groundShadowEnabled());
    const bool shadow = options->groundShadowEnabled();
    EXPECT_EQ(one.sceneEffectParams().visualStyle(), style) << "read again on every call";
    EXPECT_EQ(one.sceneEffectParams().groundShadowEnabled(), shadow);

    EXPECT_EQ(one.layerEffectParams().renderer(), eRendererLayer);
    SelectionRenderParams& selection = one.selectionEffectParams();
    EXPECT_EQ(selection.renderer(), eRendererSelection);
    EXPECT_TRUE(selection.cacheTarget());
    EXPECT_EQ(selection.cacheSceneType(), 2);
    EXPECT_FALSE(selection.transparentCollectionEnabled());
    EXPECT_EQ(one.highlightEffectParams().renderer(), eRendererHighlight);
    EXPECT_FALSE(one.highlightEffectParams().transparentCollectionEnabled());
    EXPECT_EQ(one.sketchSelectionEffectParams().renderer(), eRendererSketchSelection);
    EXPECT_FALSE(one.sketchSelectionEffectParams().transparentCollectionEnabled());
}

TEST_F(SceneAssetAdapterTest, ThePersistentWorldNeedsThePersistenceOptionAndADevice) {
    SceneAssetAdapter adapter(asset.getTarget());
    AutoPtr<GroupNode> root = GroupNode::Make();
    ASSERT_FALSE(Brio::PersistenceOptionGroup::get()->persistLumo()) << "off by default";
    AutoPtr<Lumo::Devices::VirtualDevice> device = Lumo::Devices::VirtualDevice::Make(nullptr);
    EXPECT_EQ(adapter.persistentWorld(), nullptr);
    adapter.addPersistentSceneRoot(root);
    EXPECT_EQ(root->RefCount(), 1) << "nothing is kept while graphics are not persisted";

    Brio::PersistenceOptionGroup::get()->persistLumo(true);
    device.reset();
    if (!Lumo::Devices::AVirtualDevice::First()) { // unless another test keeps a device alive
        EXPECT_EQ(adapter.persistentWorld(), nullptr) << "no device, no world";
        adapter.addPersistentSceneRoot(root);
        EXPECT_EQ(root->RefCount(), 1);
    }

    device = Lumo::Devices::VirtualDevice::Make(nullptr);
    Lumo::Graphics::ARenderList* world = adapter.persistentWorld();
    ASSERT_NE(world, nullptr) << "asked again once a device exists";
    EXPECT_EQ(adapter.persistentWorld(), world);
    adapter.addPersistentSceneRoot(root);
    EXPECT_TRUE(world->HasRoot(root));
    EXPECT_EQ(root->RefCount(), 2);
    adapter.removePersistentSceneRoot(root);
    EXPECT_EQ(world->RootCount(), 0);

    adapter.addPersistentSceneRoot(root);
    Brio::PersistenceOptionGroup::get()->persistLumo(false);
    EXPECT_EQ(adapter.persistentWorld(), nullptr);
    adapter.removePersistentSceneRoot(root);
    EXPECT_TRUE(world->HasRoot(root)) << "the option off changes nothing held";
}

TEST_F(SceneAssetAdapterTest, TheSerializerIsMadeOnceInTheFirstSavedSegment) {
    SceneAssetAdapter adapter(asset.getTarget());
    asset->transientSegment();
    adapter.onCreateSpecialSerializers();
    EXPECT_EQ(adapter.serializer(), nullptr) << "only a transient segment, and graphics not persisted";

    Brio::PersistenceOptionGroup::get()->persistLumo(true);
    adapter.onCreateSpecialSerializers();
    EXPECT_EQ(adapter.serializer(), nullptr) << "a transient segment never keeps it";

    Brio::Segment* first = asset->createSegment(L"First");
    Brio::Segment* second = asset->createSegment(L"Second");
    adapter.onCreateSpecialSerializers();
    LumoSerializer* serializer = adapter.serializer();
    ASSERT_NE(serializer, nullptr);
    EXPECT_EQ(serializer->segment(), first);
    EXPECT_EQ(first->root(L"LumoSerializer"), serializer);
    EXPECT_EQ(second->root(L"LumoSerializer"), nullptr);
    EXPECT_EQ(asset->transientSegment()->root(L"LumoSerializer"), nullptr);

    adapter.onCreateSpecialSerializers();
    EXPECT_EQ(adapter.serializer(), serializer);
    EXPECT_EQ(first->entityCount(), 1u) << "made once";

    // Another adapter on the document takes the one it finds.
    SceneAssetAdapter other(asset.getTarget());
    other.onCreateSpecialSerializers();
    EXPECT_EQ(other.serializer(), serializer);
    EXPECT_EQ(first->entityCount(), 1u);

    adapter.onReleaseSpecialSerializers();
    EXPECT_EQ(adapter.serializer(), nullptr);
    EXPECT_EQ(first->root(L"LumoSerializer"), serializer) << "the document keeps its entity";
}

TEST_F(SceneAssetAdapterTest, TheAssetSavesItsSerializerWhenGraphicsArePersisted) {
    Brio::PersistenceOptionGroup::get()->persistLumo(true);
    Brio::Segment* segment = asset->createSegment(L"Main");
    auto owned = std::make_unique<SceneAssetAdapter>(asset.getTarget());
    SceneAssetAdapter* adapter = owned.get();
    asset->addAdapter(std::move(owned));
    EXPECT_EQ(asset->adapter(SceneAssetAdapter::interfaceId()), adapter);

    const std::string path = (SceneTest::g_scratchOptions.path() / "doc.zip").string();
    ASSERT_TRUE(asset->save(path).isSuccess());
    ASSERT_NE(adapter->serializer(), nullptr);

    StrongRef<Asset> loaded = Asset::make();
    ASSERT_TRUE(loaded->load(path).isSuccess());
    ASSERT_NE(loaded->segment(segment->id()), nullptr);
    Brio::Entity* root = loaded->segment(segment->id())->root(L"LumoSerializer");
    ASSERT_NE(root, nullptr);
    EXPECT_NE(root->queryMTInterface(LumoSerializer::s_metaType()), nullptr);
}

TEST_F(SceneAssetAdapterTest, SplitTestModeTagsRootsAndPostsTheirCreation) {
    {
        SceneAssetAdapter plain(asset.getTarget());
        EXPECT_EQ(sceneType(plain.selectionScene()), 0u);
        EXPECT_EQ(ServerToClientObjectManager::get()->createPacketCount(), 0);
    }

    options->graphicsSplitTestEnabled(true);
    CreateChangePacket::GetUniqueNodeID(); // the adapter starts the ids again
    SceneAssetAdapter adapter(asset.getTarget());
    ServerToClientObjectManager* channel = ServerToClientObjectManager::get();
    ASSERT_EQ(channel->createPacketCount(), 14) << "seven roots and seven effect groups";
    EXPECT_EQ(channel->createPacket(0)->nodeId(), 1u);
    EXPECT_EQ(channel->createPacket(0)->newNode(), adapter.selectionScene());
    EXPECT_EQ(channel->createPacket(0)->createType(), CreateChangePacket::eCreateGroup);
    EXPECT_EQ(channel->createPacket(0)->worldType(), 1u);

    EXPECT_EQ(sceneType(adapter.activeEditScene()), 2u);
    EXPECT_EQ(sceneType(adapter.manipulatorScene()), 3u);
    EXPECT_EQ(sceneType(adapter.sketchSelectionScene()), 4u);
    EXPECT_EQ(sceneType(adapter.selectionScene()), 5u);
    EXPECT_EQ(sceneType(adapter.prehighlightScene()), 6u);
    EXPECT_EQ(sceneType(adapter.selectionEffectScene()), 7u);
    EXPECT_EQ(sceneType(adapter.prehighlightEffectScene()), 8u);

    AutoPtr<GroupNode> model = GroupNode::Make(), tagged = GroupNode::Make();
    adapter.scene(model);
    EXPECT_EQ(sceneType(model), 1u);
    tagged->AddVoidAttachment(Lumo::Objects::Intern(L"SceneType"), reinterpret_cast<void*>(std::uintptr_t(3)));
    adapter.scene(tagged);
    EXPECT_EQ(adapter.scene(), tagged.get());
    EXPECT_EQ(sceneType(tagged), 3u) << "a root keeps its first tag";
}

TEST_F(SceneAssetAdapterTest, AnswersItsInterfacesAndLetsGoOfItsScenes) {
    const int liveNodes = Lumo::Graphics::ARenderNode::NetObjectCount();
    {
        SceneAssetAdapter adapter(asset.getTarget());
        EXPECT_EQ(SceneAssetAdapter::interfaceId()->text(), L"Brio::Scene::SceneAssetAdapter");
        EXPECT_EQ(adapter.queryInterface(SceneAssetAdapter::interfaceId()), &adapter);
        EXPECT_EQ(adapter.queryInterface(Brio::AssetAdapter::interfaceId()),
                  static_cast<Brio::AssetAdapter*>(&adapter));
        EXPECT_EQ(adapter.queryInterface(Brio::IScriptableRootObject::interfaceId()),
                  static_cast<Brio::IScriptableRootObject*>(&adapter));
        EXPECT_EQ(adapter.queryInterface(Brio::UniqueString::find(L"Brio::Scene::ViewFragment")), nullptr);
        EXPECT_EQ(adapter.asset(), asset.getTarget());
        sync();
        EXPECT_EQ(Lumo::Graphics::ARenderNode::NetObjectCount(), liveNodes + 14);
    }
    EXPECT_EQ(Lumo::Graphics::ARenderNode::NetObjectCount(), liveNodes);
}

} // namespace
