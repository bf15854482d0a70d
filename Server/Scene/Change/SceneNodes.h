#pragma once
/// Free functions that classify scene nodes and reach their node data.
#include <Scene/Attributes/EAttributeType.h>
#include <Scene/Nodes/ENodeType.h>

#include <cstdint>
#include <vector>

namespace Lumo::Graphics {
class ARenderNode;
class GroupNode;
} // namespace Lumo::Graphics
namespace Lumo::Devices {
class VertexFormat;
}
namespace Lumo::Scene {
class AttributeSet;
class Attribute;
} // namespace Lumo::Scene

namespace Brio::Scene {

class INodeSource;
class NodeData;

/// The node data's kind, or eNoNodeData for a null node or one without node data.
Lumo::Scene::ENodeType nodeType(Lumo::Graphics::ARenderNode* node);
/// View and view fragment nodes.
bool isViewNode(Lumo::Graphics::ARenderNode* node);
bool isReferenceNode(Lumo::Graphics::ARenderNode* node);
bool isRefInstanceNode(Lumo::Graphics::ARenderNode* node);

/// The node's scene node data, or null.
NodeData* nodeData(Lumo::Graphics::ARenderNode* node);
/// From the node's data; for a reference node without data of its own, from its target's.
INodeSource* source(Lumo::Graphics::ARenderNode* node);
std::uint64_t qualifier(Lumo::Graphics::ARenderNode* node);
std::uint32_t clientType(Lumo::Graphics::ARenderNode* node);

Lumo::Scene::AttributeSet* attributeSet(Lumo::Graphics::ARenderNode* node);
Lumo::Scene::Attribute* attribute(const Lumo::Scene::AttributeSet* set, Lumo::Scene::EAttributeType type);
Lumo::Devices::VertexFormat* makeVertexFormat(bool withNormals, int extraComponents);

/// From root, one step per target to the child reference node showing it; null as soon as
/// a step fails, and for no targets.
Lumo::Graphics::ARenderNode* findReferenceNode(Lumo::Graphics::GroupNode* root,
                                               const std::vector<Lumo::Graphics::ARenderNode*>& targets);
/// The first node of the group's world (its first child), as a group.
Lumo::Graphics::GroupNode* sceneRoot(Lumo::Graphics::GroupNode* group);
Lumo::Graphics::GroupNode* getSceneRoot(Lumo::Graphics::GroupNode* group);
/// The first child group whose node data has the faces client type.
Lumo::Graphics::GroupNode* findFacesChild(Lumo::Graphics::GroupNode* group);
/// The first child group whose node data has the edges client type and the qualifier.
Lumo::Graphics::GroupNode* findEdgesChild(Lumo::Graphics::GroupNode* group, std::uint64_t qualifier);
bool isLayeredFragmentPassEmpty(Lumo::Graphics::GroupNode* group);
bool isSelectionFragmentPassEmpty(Lumo::Graphics::GroupNode* group);

} // namespace Brio::Scene
