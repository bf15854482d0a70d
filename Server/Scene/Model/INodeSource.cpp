#include <Scene/Model/INodeSource.h>

#include <Brio/Base/UniqueString.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Scene/Change/NodeChange.h>
#include <Scene/Nodes/LODGeometryNode.h>

namespace Brio::Scene {

const Brio::UniqueString* INodeSource::interfaceId() {
    static const Brio::UniqueString* id = Brio::UniqueString::find(L"Brio::Scene::INodeSource");
    return id;
}

void* INodeSource::queryInterface(const Brio::UniqueString* id) const {
    return id == interfaceId() ? const_cast<INodeSource*>(this) : nullptr;
}

void INodeSource::sceneNode(Lumo::Graphics::ARenderNode*) {}

Lumo::Graphics::ARenderNode* INodeSource::createScene() {
    if (Lumo::Graphics::ARenderNode* node = sceneNode())
        return node;
    NodeChange change;
    onCreateScene(change);
    return change.node();
}

Lumo::Graphics::ARenderNode* INodeSource::createScene(NodeChange& change) {
    if (Lumo::Graphics::ARenderNode* node = sceneNode())
        return node;
    onCreateScene(change);
    return change.node();
}

void INodeSource::onCreateScene(NodeChange& change) {
    realizeTransform(change);
    realizeGeometry(change);
    realizeAppearance(change);
    realizeChildNodes(change);
    DataChange::EChangeType all = DataChange::eAllChanges;
    realizeExtra(change, all);
}

void INodeSource::revalidate(NodeChange& change, DataChange::EChangeType changeTypes) {
    if (DataChange::test(changeTypes, DataChange::eGeometry)) {
        realizeGeometry(change);
        DataChange::clear(changeTypes, DataChange::eGeometry);
        if (changeTypes == DataChange::eNoChange)
            return;
    }
    if (DataChange::test(changeTypes, DataChange::eAppearance)) {
        realizeAppearance(change);
        DataChange::clear(changeTypes, DataChange::eAppearance);
        if (changeTypes == DataChange::eNoChange)
            return;
    }
    if (DataChange::test(changeTypes, DataChange::eChildren)) {
        realizeChildNodes(change);
        DataChange::clear(changeTypes, DataChange::eChildren);
        if (changeTypes == DataChange::eNoChange)
            return;
    }
    realizeExtra(change, changeTypes);
}

DataChange::EChangeType INodeSource::getChangeTypesThatAffectScene() {
    DataChange::EChangeType types = DataChange::EChangeType(DataChange::eAppearance | DataChange::eChildren);
    if (!groupNode())
        DataChange::set(types, DataChange::eGeometry);
    return types;
}

void INodeSource::onPostChangeScene(DataChange::EChangeType changeTypes) const {
    Lumo::Graphics::ARenderNode* node = sceneNode();
    if (!node)
        return;
    // The set of types is a property of the source; asking needs the non-const slot.
    const DataChange::EChangeType affecting = const_cast<INodeSource*>(this)->getChangeTypesThatAffectScene();
    const DataChange::EChangeType types = DataChange::EChangeType(changeTypes & affecting);
    if (types == DataChange::eNoChange)
        return;
    NodeChange change(node, false);
    change.invalidate(types);
}

Lumo::Objects::SBox3 INodeSource::realizeModelBox(NodeChange&) {
    return {};
}
void INodeSource::realizeGeometry(NodeChange& change) {
    (void)realizeModelBox(change);
}
void INodeSource::realizeGeometry(NodeChange&, int) {}
void INodeSource::realizeGeometries(int) {}
Lumo::Graphics::AWorld* INodeSource::getDecorationWorld(DecorationWorldType) const {
    return nullptr;
}
Lumo::Scene::LODGeometryNode* INodeSource::entityNode(std::uint64_t) const {
    return nullptr;
}
void INodeSource::realizeTransform(NodeChange&) {}
void INodeSource::realizeAppearance(NodeChange&) {}
void INodeSource::realizeChildNodes(NodeChange&) {}
void INodeSource::realizeExtra(NodeChange&, DataChange::EChangeType&) {}
Brio::ObjectPath INodeSource::pathTo(INodeSource*) {
    return {};
}
NodePath INodeSource::leafNodePath(std::uint64_t, std::uint32_t) {
    return {};
}

void INodeSource::releaseScene() {
    Lumo::Graphics::ARenderNode* node = sceneNode();
    if (node) {
        NodeChange change(node, false);
        change.clearSource();
    }
    sceneNode(nullptr);
}

void INodeSource::connectScene() {
    Lumo::Graphics::GroupNode* parent = parentGroupNode();
    if (!parent)
        return;
    Lumo::Graphics::ARenderNode* node = createScene();
    NodeChange change(parent, false);
    change.addChild(node);
}

void INodeSource::disconnectScene() {
    Lumo::Graphics::ARenderNode* node = sceneNode();
    Lumo::Graphics::GroupNode* parent = parentGroupNode();
    if (!node || !parent)
        return;
    {
        NodeChange change(parent, false);
        change.removeChild(node);
    }
    releaseScene();
}

} // namespace Brio::Scene
