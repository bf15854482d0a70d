#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Attributes/AttributeSetEx.h>
#include <Scene/Nodes/ReferenceNodeData.h>
#include <Scene/Nodes/ReferenceNotifier.h>

#include <Lumo/Graphics/DependencyNotifier.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Graphics/RenderFlags.h>

namespace Lumo::Scene {

using Lumo::Graphics::ARenderNode;
using Lumo::Graphics::DependencyNotifier;
using Lumo::Graphics::GroupNode;

LUMO_DEFINE_CLASS(ReferenceNodeData, ANodeData)

namespace {
constexpr std::uint32_t kInstanceChange = 0x10000000;

/// The reference notifiers on target that watch for referenceNode.
template <class Fn> void ForEachReferenceNotifier(ARenderNode* target, GroupNode* referenceNode, Fn fn) {
    if (!target)
        return;
    for (int i = 0; i < target->NotifierCount(); ++i) {
        auto* n =
            static_cast<ReferenceNotifier*>(target->Notifier(i)->GetInterface(ReferenceNotifier::StaticClassName()));
        if (n && n->ReferenceNode() == referenceNode)
            fn(n);
    }
}
} // namespace

ReferenceNodeData::ReferenceNodeData(ARenderNode* target, GroupNode* parent)
    : ANodeData(eReferenceNode), m_target(target), m_parent(parent), m_flags(parent ? 0u : eProxy) {
    if (m_target)
        m_target->AddRef();
}

ReferenceNodeData* ReferenceNodeData::Make(GroupNode* referenceNode, ARenderNode* target, GroupNode* parent) {
    auto* data = new ReferenceNodeData(target, parent);
    data->m_refNode = referenceNode;
    ANodeData* targetData = ANodeData::GetNodeData(target);
    bool extended = targetData && targetData->GetAttributeSet() && targetData->GetAttributeSet()->IsExtended();
    data->SetAttributeSet(extended ? static_cast<AttributeSet*>(AttributeSetEx::Make(referenceNode, 0, 0))
                                   : AttributeSet::Make(referenceNode, 0));
    return data;
}

ReferenceNodeData::~ReferenceNodeData() {
    ClearRefInstNodeMap();
    if (m_target)
        m_target->ReleaseRef();
}

void ReferenceNodeData::OnNodeDestroyed(ARenderNode* node) {
    // Watchers of the target must not reach for a reference node that is gone.
    if (node == m_refNode) {
        ForEachReferenceNotifier(m_target, m_refNode, [](ReferenceNotifier* n) { n->MarkFinished(); });
        m_refNode = nullptr;
    }
    ANodeData::OnNodeDestroyed(node);
}

GroupNode* ReferenceNodeData::RefNode() const {
    return m_refNode;
}

GroupNode* ReferenceNodeData::TargetInstance(const std::string& name) const {
    auto it = m_instances.find(name);
    return it == m_instances.end() ? nullptr : it->second;
}

void ReferenceNodeData::TargetInstance(const std::string& name, GroupNode* group) {
    if (!group) {
        RemoveTargetInstance(name);
        return;
    }
    group->AddRef();
    GroupNode*& slot = m_instances[name];
    GroupNode* old = slot;
    slot = group;
    if (old)
        old->ReleaseRef();
}

void ReferenceNodeData::RemoveTargetInstance(const std::string& name) {
    if (auto it = m_instances.find(name); it != m_instances.end()) {
        GroupNode* g = it->second;
        m_instances.erase(it);
        g->ReleaseRef();
    }
    if (auto it = m_notifiers.find(name); it != m_notifiers.end()) {
        DependencyNotifier* n = it->second;
        m_notifiers.erase(it);
        n->ReleaseRef();
    }
}

void ReferenceNodeData::ClearRefInstNodeMap() {
    auto instances = std::move(m_instances);
    auto notifiers = std::move(m_notifiers);
    m_instances.clear();
    m_notifiers.clear();
    for (auto& [name, g] : instances)
        g->ReleaseRef();
    for (auto& [name, n] : notifiers) {
        n->MarkFinished(); // the target drops it at its next notification
        n->ReleaseRef();
    }
}

void ReferenceNodeData::AddRefInstAndNotifier(const std::string& name) {
    GroupNode* g = TargetInstance(name);
    if (!g || !m_target)
        return;
    m_target->SetFlags(Lumo::Graphics::eFlagTargetBeingShared, true);
    DependencyNotifier* notifier = DependencyNotifier::Make(g);
    notifier->AddRef(); // ours, kept under the name
    m_target->AddNotifier(notifier);
    notifier->GroupAboutToChange(g, kInstanceChange);
    g->AddChild(m_target, false);
    notifier->GroupChanged(g, kInstanceChange, 0);
    m_target->SetFlags(Lumo::Graphics::eFlagTargetBeingShared, false);
    if (auto it = m_notifiers.find(name); it != m_notifiers.end()) {
        it->second->MarkFinished();
        it->second->ReleaseRef();
        it->second = notifier;
    } else {
        m_notifiers.emplace(name, notifier);
    }
}

void ReferenceNodeData::RemoveTargetFromAllRefInst() {
    for (auto& [name, g] : m_instances) {
        g->RemoveChild(m_target, false);
        if (auto it = m_notifiers.find(name); it != m_notifiers.end())
            it->second->MarkFinished();
    }
}

void ReferenceNodeData::AddReferenceNotifier() {
    if ((m_flags & eRefNotifierAdded) || !m_parent || !m_target)
        return;
    ANodeData* parentData = ANodeData::GetNodeData(m_parent);
    ARenderNode* owner = parentData ? parentData->Target() : m_parent;
    m_target->AddNotifier(ReferenceNotifier::Make(owner, m_refNode));
    m_flags |= eRefNotifierAdded;
}

void ReferenceNodeData::RemoveReferenceNotifier() {
    if ((m_flags & eRefNotifierAdded) && !(m_flags & eRefNotificationComplete) && m_parent)
        ForEachReferenceNotifier(m_target, m_refNode, [](ReferenceNotifier* n) { n->MarkFinished(); });
    m_flags &= ~eRefNotifierAdded;
}

} // namespace Lumo::Scene
