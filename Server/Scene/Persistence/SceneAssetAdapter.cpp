#include <Scene/Persistence/SceneAssetAdapter.h>

#include <Brio/Base/PersistenceOptionGroup.h>
#include <Brio/Base/UniqueString.h>
#include <Brio/DataModel/Asset.h>
#include <Brio/DataModel/Segment.h>
#include <Lumo/Devices/AVirtualDevice.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Graphics/Worlds.h>
#include <Scene/Change/ClientNodeManager.h>
#include <Scene/Change/ClientTypes.h>
#include <Scene/Change/CreateChangePacket.h>
#include <Scene/Change/NodeChange.h>
#include <Scene/Change/NodeData.h>
#include <Scene/Change/ObjectManager.h>
#include <Scene/Change/ServerToClientObjectManager.h>
#include <Scene/Nodes/NodeFunctions.h>
#include <Scene/Persistence/LumoSerializer.h>
#include <Scene/View/SketchSelectionRenderParams.h>
#include <Scene/View/ViewFragementPassNames.h>

#include <algorithm>
#include <cstdint>

namespace Brio::Scene {

using Lumo::Graphics::GroupNode;
using Names = ViewFragementPassNames;

namespace {

constexpr const wchar_t* kSerializerRootName = L"LumoSerializer";

Lumo::Objects::UString* sceneTypeKey() {
    static Lumo::Objects::UString* key = Lumo::Objects::Intern(L"SceneType");
    return key;
}

bool persistGraphics() {
    return Brio::PersistenceOptionGroup::get()->persistLumo();
}

/// The mirrored-scene channel learns of a node made on the server.
void postCreated(GroupNode* node, std::uint32_t worldType) {
    ServerToClientObjectManager::get()->postToObjectManager(
        CreateChangePacket::make(CreateChangePacket::eCreateGroup, node, worldType, false));
}

/// The tag is the attachment's value itself; an earlier tag wins.
void tagSceneType(GroupNode* node, std::uint16_t type) {
    if (!node->HasAttachment(sceneTypeKey()))
        node->AddVoidAttachment(sceneTypeKey(), reinterpret_cast<void*>(static_cast<std::uintptr_t>(type)));
}

/// A faces (client type 16) or edges (32) group of an effect scene.
GroupNode* makeEffectChild(std::uint32_t clientType, std::uint64_t qualifier, bool mirrored) {
    GroupNode* child = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eRenderListWorld, false);
    if (mirrored)
        postCreated(child, Lumo::Graphics::eRenderListWorld);
    NodeData* data = NodeData::make(child, nullptr, Lumo::Scene::eGroupNode, false);
    data->clientType(clientType);
    data->qualifier(qualifier);
    return child;
}

} // namespace

SceneAssetAdapter::SceneAssetAdapter(Asset* asset) : AssetAdapter(asset) {
    if (ObjectManager::splitTestEnabled()) {
        CreateChangePacket::ResetUniqueNodeID();
        ClientNodeManager::get()->reset();
    }
    selectionScene();
    prehighlightScene();
    selectionEffectScene();
    prehighlightEffectScene();
    sketchSelectionScene();
    activeEditScene();
    manipulatorScene();
}

SceneAssetAdapter::~SceneAssetAdapter() {
    m_persistentWorld.reset();
    m_scenes.clear();
    if (ObjectManager::splitTestEnabled()) {
        CreateChangePacket::ResetUniqueNodeID();
        ClientNodeManager::get()->reset();
    }
    m_serializer.reset();
}

const Brio::UniqueString* SceneAssetAdapter::interfaceId() {
    static const Brio::UniqueString* id = Brio::UniqueString::find(L"Brio::Scene::SceneAssetAdapter");
    return id;
}

void* SceneAssetAdapter::queryInterface(const Brio::UniqueString* id) const {
    if (id == interfaceId())
        return const_cast<SceneAssetAdapter*>(this);
    if (id == IScriptableRootObject::interfaceId())
        return static_cast<IScriptableRootObject*>(const_cast<SceneAssetAdapter*>(this));
    return AssetAdapter::queryInterface(id);
}

// ---- scenes ---------------------------------------------------------------------------

GroupNode* SceneAssetAdapter::namedScene(const Brio::UniqueString* name, ESceneType type, int effectChildren) {
    if (GroupNode* existing = getSceneByName(name))
        return existing;
    const bool mirrored = ObjectManager::splitTestEnabled();
    Lumo::Objects::AutoPtr<GroupNode> root = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eRenderListWorld, true);
    if (mirrored) {
        postCreated(root, Lumo::Graphics::eRenderListWorld);
        tagSceneType(root, type);
    }
    if (effectChildren > 0) {
        // Selection and highlight passes draw faces and edges apart: the renderer finds them
        // by client type (and the sketch's second edges by qualifier).
        const Lumo::Objects::AutoPtr<GroupNode> children[3] = {
            makeEffectChild(eClientFaces, 0, mirrored), makeEffectChild(eClientEdges, 0, mirrored),
            effectChildren > 2 ? makeEffectChild(eClientEdges, 1, mirrored) : nullptr};
        for (const auto& child : children) {
            if (!child)
                continue;
            NodeChange change(root, false);
            change.addChild(child);
        }
    }
    setSceneByName(root, name);
    return root;
}

GroupNode* SceneAssetAdapter::scene() const {
    return getSceneByName(Names::sModel);
}

void SceneAssetAdapter::scene(GroupNode* root) {
    if (root && ObjectManager::splitTestEnabled())
        tagSceneType(root, eSceneModel);
    setSceneByName(root, Names::sModel);
}

GroupNode* SceneAssetAdapter::activeEditScene() {
    return namedScene(Names::sActiveEdit, eSceneActiveEdit, 0);
}
GroupNode* SceneAssetAdapter::manipulatorScene() {
    return namedScene(Names::sManipulator, eSceneManipulator, 0);
}
GroupNode* SceneAssetAdapter::sketchSelectionScene() {
    return namedScene(Names::sSketchSelection, eSceneSketchSelection, 3);
}
GroupNode* SceneAssetAdapter::selectionScene() {
    return namedScene(Names::sSelection, eSceneSelection, 0);
}
GroupNode* SceneAssetAdapter::prehighlightScene() {
    return namedScene(Names::sPrehighlight, eScenePrehighlight, 0);
}
GroupNode* SceneAssetAdapter::selectionEffectScene() {
    return namedScene(Names::sSelectionEffect, eSceneSelectionEffect, 2);
}
GroupNode* SceneAssetAdapter::prehighlightEffectScene() {
    return namedScene(Names::sPrehighlightEffect, eScenePrehighlightEffect, 2);
}

GroupNode* SceneAssetAdapter::getSceneByName(const Brio::UniqueString* name) const {
    auto it = m_scenes.find(name);
    return it == m_scenes.end() ? nullptr : it->second.get();
}

GroupNode* SceneAssetAdapter::getSceneByName(const std::string& name) const {
    // Scripts pass any text: only look it up, so that the intern table does not grow.
    const Brio::UniqueString* unique = Brio::UniqueString::find(name, false);
    return unique ? getSceneByName(unique) : nullptr;
}

void SceneAssetAdapter::setSceneByName(GroupNode* root, const Brio::UniqueString* name) {
    m_scenes[name] = root;
}

const Brio::UniqueString* SceneAssetAdapter::getSceneName(GroupNode* root) const {
    if (!root)
        return nullptr;
    for (const auto& [name, stored] : m_scenes)
        if (stored.get() == root)
            return name;
    return nullptr;
}

// ---- render parameters ----------------------------------------------------------------

RenderParams& SceneAssetAdapter::sceneEffectParams() {
    return RenderParams::sceneEffectParams();
}
RenderParams& SceneAssetAdapter::layerEffectParams() {
    return RenderParams::layerEffectParams();
}
SelectionRenderParams& SceneAssetAdapter::selectionEffectParams() {
    return SelectionRenderParams::selectionEffectParams();
}
SelectionRenderParams& SceneAssetAdapter::highlightEffectParams() {
    return SelectionRenderParams::highlightEffectParams();
}
SketchSelectionRenderParams& SceneAssetAdapter::sketchSelectionEffectParams() {
    return SketchSelectionRenderParams::sketchSelectionEffectParams();
}

// ---- persistence ----------------------------------------------------------------------

Lumo::Graphics::ARenderList* SceneAssetAdapter::persistentWorld() {
    if (!persistGraphics())
        return nullptr;
    // The world is saved through the first device's object manager: none, no world yet.
    if (!m_persistentWorld && Lumo::Devices::AVirtualDevice::First())
        m_persistentWorld =
            static_cast<Lumo::Graphics::ARenderList*>(Lumo::Graphics::AWorld::Make(Lumo::Graphics::eRenderListWorld));
    return m_persistentWorld.get();
}

void SceneAssetAdapter::addPersistentSceneRoot(Lumo::Graphics::ARenderNode* node) {
    if (Lumo::Graphics::ARenderList* world = persistentWorld())
        world->AddRoot(node);
}

void SceneAssetAdapter::removePersistentSceneRoot(Lumo::Graphics::ARenderNode* node) {
    if (Lumo::Graphics::ARenderList* world = persistentWorld())
        world->RemoveRoot(node);
}

LumoSerializer* SceneAssetAdapter::serializer() const {
    return m_serializer.getTarget();
}

void SceneAssetAdapter::onCreateSpecialSerializers() {
    AssetAdapter::onCreateSpecialSerializers();
    if (!persistGraphics() || m_serializer || !asset())
        return;
    for (Segment* segment : asset()->segments()) {
        if (segment->transient())
            continue;
        if (Entity* root = segment->root(kSerializerRootName)) {
            m_serializer = static_cast<LumoSerializer*>(root->queryMTInterface(LumoSerializer::s_metaType()));
        } else {
            m_serializer = LumoSerializer::make(segment);
            segment->addRoot(kSerializerRootName, m_serializer.getTarget());
        }
        break; // only the first saved segment keeps it
    }
}

void SceneAssetAdapter::onReleaseSpecialSerializers() {
    AssetAdapter::onReleaseSpecialSerializers();
    m_serializer.reset();
}

// ---- scripts --------------------------------------------------------------------------

std::vector<std::wstring> SceneAssetAdapter::scriptObjectNames() const {
    std::vector<std::wstring> names;
    for (const auto& [name, root] : m_scenes)
        if (root)
            names.push_back(name->text());
    std::sort(names.begin(), names.end()); // the map orders by address, which varies by run
    return names;
}

void* SceneAssetAdapter::scriptObject(const std::string& name) const {
    return getSceneByName(name);
}

} // namespace Brio::Scene
