#include <Scene/Nodes/SceneWalk.h>

#include <Lumo/Graphics/APrimitiveNode.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/NodeCallbacks.h>
#include <Lumo/Graphics/TraversalState.h>
#include <Lumo/Objects/ADevMatrix.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Attributes/AttributeSetListEx.h>
#include <Scene/Attributes/EffectVariantCache.h>
#include <Scene/Attributes/TraversalState.h>
#include <Scene/Nodes/ANodeData.h>
#include <Scene/Nodes/ImageNode.h>
#include <Scene/Nodes/ReferenceNodeData.h>
#include <Scene/Nodes/TextNode.h>

namespace Lumo::Scene {

using Lumo::Graphics::ARenderNode;

namespace {
/// Adds the set's children to the pending sets.
void AddChildrenAsPending(TraversalState& state, const AttributeSet* set) {
    if (const AttributeSetList* children = set ? set->Children() : nullptr)
        state.AddPendingAttributeSets(*children);
}
} // namespace

TraversalState* SceneWalk::State(Lumo::Graphics::TraversalState& graphicsState) {
    auto* state = static_cast<TraversalState*>(graphicsState.ClientState(TraversalState::StaticClassName()));
    if (!state) {
        Lumo::Objects::AutoPtr<TraversalState> made = TraversalState::Make();
        graphicsState.ClientState(TraversalState::StaticClassName(), made);
        state = made;
    }
    return state;
}

void SceneWalk::RealizeAttributes(Lumo::Devices::ADrawContext&, Lumo::Graphics::TraversalState& graphicsState,
                                  ARenderNode* node) {
    ANodeData* data = ANodeData::GetNodeData(node);
    if (!data)
        return;
    TraversalState& state = *State(graphicsState);
    switch (data->NodeType()) {
    case eReferenceNode: {
        // The shared target's own set comes first, then the reference's; the target's child
        // sets travel on below.
        AttributeSet* targetSet = nullptr;
        if (ANodeData* targetData = ANodeData::GetNodeData(data->Target()))
            targetSet = targetData->GetAttributeSet();
        state.MergeAttributes(targetSet);
        state.Merge(node, data->GetAttributeSet());
        AddChildrenAsPending(state, targetSet);
        state.IsRefTwig(true);
        break;
    }
    case eReferenceInstanceNode:
        // Its child is the shared target, whose set the reference node already merged.
        state.Merge(node, data->GetAttributeSet());
        state.SkipNextMerge();
        state.IsRefTwig(true);
        break;
    default:
        state.Merge(node, data->GetAttributeSet());
        break;
    }
    state.SortPendingAttributeSets();
    if (graphicsState.IsSelectionPass() && !state.Selectability())
        graphicsState.Pickable(false);
}

int SceneWalk::RealizeWorldBox(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& graphicsState,
                               ARenderNode* node) {
    TraversalState& state = *State(graphicsState);
    if (state.HasAttribute(eTransform) || state.HasAttribute(eBillBoard) || state.HasAttribute(ePixelScale) ||
        node->GetInterface(TextNode::StaticClassName()))
        state.UpdateTransform(dc, graphicsState, node);
    if (node->AsGroup() || node->GetInterface(Lumo::Graphics::APrimitiveNode::StaticClassName()) ||
        node->GetInterface(ImageNode::StaticClassName()))
        return node->AsGroup() ? Lumo::Graphics::eBoxFromChildren : Lumo::Graphics::eBoxNone;
    Lumo::Objects::SBox3 box = node->WorldBox();
    if (box.IsEmpty())
        return Lumo::Graphics::eBoxFromChildren;
    if (Lumo::Objects::ADevMatrix* world = graphicsState.WorldMatrix())
        box = box.TransformAndRebox(world->Matrix());
    graphicsState.CurrentBox(box);
    graphicsState.LODRadius((box.Size()).Length() / 2);
    return Lumo::Graphics::eBoxKnown;
}

void SceneWalk::ApplyAttributes(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& graphicsState,
                                ARenderNode* node) {
    if (node->GetInterface(Lumo::Graphics::APrimitiveNode::StaticClassName()))
        return; // primitives take theirs before they are tessellated
    State(graphicsState)->RealizeAttribute(dc, graphicsState, node);
}

int SceneWalk::PreRealizePrimitive(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& graphicsState,
                                   ARenderNode* node) {
    auto* primitive = static_cast<Lumo::Graphics::APrimitiveNode*>(
        node ? node->GetInterface(Lumo::Graphics::APrimitiveNode::StaticClassName()) : nullptr);
    if (!primitive || !primitive->Primitive())
        return Lumo::Graphics::APrimitiveNode::ePrimitiveStateNoPrimitive;
    State(graphicsState)->RealizeAttribute(dc, graphicsState, node);
    return Lumo::Graphics::APrimitiveNode::ePrimitiveStateReady;
}

void SceneWalk::EndWalk(Lumo::Devices::ADrawContext&) {
    EffectVariantCache::Sweep();
}

void SceneWalk::Install() {
    Lumo::Graphics::NodeCallbacks& cb = Lumo::Graphics::NodeCallbacks::Installed();
    cb.endWalk = &EndWalk;
    cb.realizeAttributes = &RealizeAttributes;
    cb.realizeWorldBox = &RealizeWorldBox;
    cb.applyAttributes = &ApplyAttributes;
    cb.preRealizePrimitive = &PreRealizePrimitive;
}

void SceneWalk::Uninstall() {
    Lumo::Graphics::NodeCallbacks::Installed() = {};
}

} // namespace Lumo::Scene
