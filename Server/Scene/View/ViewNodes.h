#pragma once
/// Free functions that make view and view fragment nodes and reach their node data. The tests
/// of whether a pass's scene has anything to draw (isLayeredFragmentPassEmpty,
/// isSelectionFragmentPassEmpty) live with the other node classifiers in SceneNodes.h.
#include <Scene/Change/SceneNodes.h>

namespace Lumo::Graphics {
class GroupNode;
}

namespace Brio::Scene {

class INodeSource;
class ViewFragmentNodeData;
class ViewNodeData;

/// A group of world type 1 carrying a ViewNodeData for source.
Lumo::Graphics::GroupNode* makeViewNode(INodeSource* source);
/// A group of world type 0 carrying a ViewFragmentNodeData for source.
Lumo::Graphics::GroupNode* makeViewFragmentNode(INodeSource* source);
/// The node data of that class on node, or null (also for a null node).
ViewNodeData* viewNodeData(Lumo::Graphics::GroupNode* node);
ViewFragmentNodeData* viewFragmentNodeData(Lumo::Graphics::GroupNode* node);

} // namespace Brio::Scene
