#include <Scene/Nodes/ReferenceNodeData.h>
#include <Scene/Nodes/ReferenceNotifier.h>

#include <Lumo/Graphics/GroupNode.h>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(ReferenceNotifier, DependencyNotifier)

ReferenceNotifier::ReferenceNotifier(Lumo::Graphics::ARenderNode* owner, Lumo::Graphics::GroupNode* referenceNode)
    : DependencyNotifier(owner), m_referenceNode(referenceNode) {}

ReferenceNotifier* ReferenceNotifier::Make(Lumo::Graphics::ARenderNode* owner,
                                           Lumo::Graphics::GroupNode* referenceNode) {
    return new ReferenceNotifier(owner, referenceNode);
}

void ReferenceNotifier::RemoveNodeImp(Lumo::Graphics::ARenderNode*) {
    auto* data = static_cast<ReferenceNodeData*>(
        ANodeData::GetNodeData(m_referenceNode)
            ? ANodeData::GetNodeData(m_referenceNode)->GetInterface(ReferenceNodeData::StaticClassName())
            : nullptr);
    if (!data)
        return;
    m_lastRemoved = m_referenceNode; // alive while its parent lets go of it
    if (Lumo::Graphics::GroupNode* parent = data->Parent())
        parent->RemoveChild(m_referenceNode, true);
    data->RemoveTargetFromAllRefInst();
    data->MarkRefNotificationComplete();
    // Nothing more to watch; finishing also lets the target drop this notifier, which would
    // otherwise keep the reference node, its data and so the target alive in a cycle.
    MarkFinished();
}

} // namespace Lumo::Scene
