#include <Scene/Change/ClientTypes.h>
#include <Scene/Change/NodeData.h>
#include <Scene/Change/SceneNodes.h>

#include <Lumo/Graphics/GroupNode.h>
#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Nodes/NodeFunctions.h>

namespace Brio::Scene {

using Lumo::Graphics::ARenderNode;
using Lumo::Graphics::GroupNode;
using Lumo::Scene::ENodeType;

ENodeType nodeType(ARenderNode* node) {
    Lumo::Scene::ANodeData* data = Lumo::Scene::ANodeData::GetNodeData(node);
    return data ? data->NodeType() : Lumo::Scene::eNoNodeData;
}

bool isViewNode(ARenderNode* node) {
    ENodeType t = nodeType(node);
    return t == Lumo::Scene::eViewNode || t == Lumo::Scene::eViewFragmentNode;
}
bool isReferenceNode(ARenderNode* node) {
    return nodeType(node) == Lumo::Scene::eReferenceNode;
}
bool isRefInstanceNode(ARenderNode* node) {
    return nodeType(node) == Lumo::Scene::eReferenceInstanceNode;
}

NodeData* nodeData(ARenderNode* node) {
    Lumo::Scene::ANodeData* data = Lumo::Scene::ANodeData::GetNodeData(node);
    return data ? static_cast<NodeData*>(data->GetInterface(NodeData::InterfaceID())) : nullptr;
}

namespace {
/// The node's own scene data, or its reference target's.
NodeData* OwnOrTarget(ARenderNode* node) {
    if (NodeData* data = nodeData(node))
        return data;
    if (isReferenceNode(node))
        return nodeData(Lumo::Scene::ANodeData::GetNodeData(node)->Target());
    return nullptr;
}

GroupNode* AsGroupNode(ARenderNode* node) {
    return node ? static_cast<GroupNode*>(node->GetInterface(GroupNode::StaticClassName())) : nullptr;
}
} // namespace

INodeSource* source(ARenderNode* node) {
    NodeData* data = OwnOrTarget(node);
    return data ? data->source() : nullptr;
}
std::uint64_t qualifier(ARenderNode* node) {
    NodeData* data = OwnOrTarget(node);
    return data ? data->qualifier() : 0;
}
std::uint32_t clientType(ARenderNode* node) {
    NodeData* data = OwnOrTarget(node);
    return data ? data->clientType() : 0;
}

Lumo::Scene::AttributeSet* attributeSet(ARenderNode* node) {
    return Lumo::Scene::GetAttributeSet(node);
}
Lumo::Scene::Attribute* attribute(const Lumo::Scene::AttributeSet* set, Lumo::Scene::EAttributeType type) {
    return Lumo::Scene::GetAttribute(set, type);
}
Lumo::Devices::VertexFormat* makeVertexFormat(bool withNormals, int extraComponents) {
    return Lumo::Scene::MakeVertexFormat(withNormals, extraComponents);
}

ARenderNode* findReferenceNode(GroupNode* root, const std::vector<ARenderNode*>& targets) {
    if (!root || targets.empty())
        return nullptr;
    ARenderNode* at = root;
    for (ARenderNode* target : targets) {
        at = Lumo::Scene::FindReferenceNodeChild(AsGroupNode(at), target);
        if (!at)
            return nullptr;
    }
    return at;
}

GroupNode* sceneRoot(GroupNode* group) {
    return group && group->World() && group->ChildCount() ? AsGroupNode(group->Child(0)) : nullptr;
}
GroupNode* getSceneRoot(GroupNode* group) {
    return group && group->ChildCount() ? AsGroupNode(group->Child(0)) : nullptr;
}

GroupNode* findFacesChild(GroupNode* group) {
    if (!group)
        return nullptr;
    for (ARenderNode* child : group->Children()) {
        NodeData* data = nodeData(child);
        if (GroupNode* g = AsGroupNode(child); g && data && data->clientType() == eClientFaces)
            return g;
    }
    return nullptr;
}

GroupNode* findEdgesChild(GroupNode* group, std::uint64_t q) {
    if (!group)
        return nullptr;
    for (ARenderNode* child : group->Children()) {
        NodeData* data = nodeData(child);
        if (GroupNode* g = AsGroupNode(child);
            g && data && data->clientType() == eClientEdges && data->qualifier() == q)
            return g;
    }
    return nullptr;
}

bool isLayeredFragmentPassEmpty(GroupNode* group) {
    return !group || group->ChildCount() == 0;
}

bool isSelectionFragmentPassEmpty(GroupNode* group) {
    return isLayeredFragmentPassEmpty(findFacesChild(group)) && isLayeredFragmentPassEmpty(findEdgesChild(group, 0));
}

} // namespace Brio::Scene
