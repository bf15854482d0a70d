#include <Scene/View/ViewNodes.h>

#include <Lumo/Graphics/GroupNode.h>
#include <Scene/Nodes/NodeFunctions.h>
#include <Scene/View/ViewFragmentNodeData.h>
#include <Scene/View/ViewNodeData.h>

namespace Brio::Scene {

using Lumo::Graphics::GroupNode;

GroupNode* makeViewNode(INodeSource* source) {
    GroupNode* node = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eRenderListWorld, false);
    ViewNodeData::make(node, source);
    return node;
}

GroupNode* makeViewFragmentNode(INodeSource* source) {
    GroupNode* node = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, false);
    ViewFragmentNodeData::make(node, source);
    return node;
}

ViewNodeData* viewNodeData(GroupNode* node) {
    Lumo::Scene::ANodeData* data = Lumo::Scene::ANodeData::GetNodeData(node);
    return data ? static_cast<ViewNodeData*>(data->GetInterface(ViewNodeData::StaticClassName())) : nullptr;
}

ViewFragmentNodeData* viewFragmentNodeData(GroupNode* node) {
    Lumo::Scene::ANodeData* data = Lumo::Scene::ANodeData::GetNodeData(node);
    return data ? static_cast<ViewFragmentNodeData*>(data->GetInterface(ViewFragmentNodeData::StaticClassName()))
                : nullptr;
}

} // namespace Brio::Scene
