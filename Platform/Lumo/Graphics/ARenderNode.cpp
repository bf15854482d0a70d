#include <Lumo/Devices/ADeviceResource.h>
#include <Lumo/Graphics/ANodeEntity.h>
#include <Lumo/Graphics/ARenderNode.h>
#include <Lumo/Graphics/AttributeLODList.h>
#include <Lumo/Graphics/DependencyNotifier.h>
#include <Lumo/Graphics/NodeCallbacks.h>
#include <Lumo/Graphics/RenderFlags.h>
#include <Lumo/Objects/AutoPtr.h>

#include <atomic>

namespace Lumo::Graphics {

namespace {
std::atomic<int> g_liveNodes{0};
}

LUMO_DEFINE_CLASS(ARenderNode, ARefCounted)

ARenderNode::ARenderNode() {
    g_liveNodes.fetch_add(1, std::memory_order_relaxed);
}

ARenderNode::~ARenderNode() {
    // Let the entity forget this node, then drop the attachments while the node is whole.
    if (ANodeEntity* entity = m_entity) {
        m_entity = nullptr;
        entity->OnNodeDestroyed(this);
    }
    RemoveAllAttachments();
    Attributes(nullptr);
    for (DependencyNotifier* n : m_notifiers)
        n->ReleaseRef();
    g_liveNodes.fetch_sub(1, std::memory_order_relaxed);
}

void ARenderNode::SetFlags(std::uint32_t flags, bool on) {
    if (on) {
        m_flags |= flags;
    } else {
        // A node whose box is no longer valid may move the boxes cached above it.
        if (flags & m_flags & eFlagWorldBoxValid)
            BumpGraphStamp();
        m_flags &= ~flags;
    }
}

void ARenderNode::Attributes(AttributeLODList* list) {
    if (list)
        list->AddRef();
    if (m_attributes)
        m_attributes->ReleaseRef();
    m_attributes = list;
}

void ARenderNode::AddNotifier(DependencyNotifier* notifier) {
    if (!notifier)
        return;
    notifier->AddRef();
    PruneFinishedNotifiers();
    m_notifiers.push_back(notifier);
}

void ARenderNode::PruneFinishedNotifiers() {
    // A finished notifier hears nothing more; dropping it also frees what it held.
    std::vector<DependencyNotifier*> finished;
    std::erase_if(m_notifiers, [&](DependencyNotifier* n) {
        if (!n->IsFinished())
            return false;
        finished.push_back(n);
        return true;
    });
    for (DependencyNotifier* n : finished)
        n->ReleaseRef();
}

bool ARenderNode::RemoveNotifier(DependencyNotifier* notifier) {
    for (auto it = m_notifiers.begin(); it != m_notifiers.end(); ++it)
        if (*it == notifier) {
            m_notifiers.erase(it);
            notifier->ReleaseRef();
            return true;
        }
    return false;
}

void ARenderNode::NotifyRemoved() {
    // A copy held by reference: a notifier may remove notifiers or groups as it runs.
    std::vector<Lumo::Objects::AutoPtr<DependencyNotifier>> notifiers(m_notifiers.begin(), m_notifiers.end());
    for (auto& n : notifiers)
        n->RemoveNode(this);
    PruneFinishedNotifiers();
}

void ARenderNode::RealizeNode(Lumo::Devices::ADrawContext& dc, TraversalState& state, WorldIterator* iterator) {
    if (auto cb = NodeCallbacks::Installed().realize)
        cb(dc, state, iterator, this);
}

int ARenderNode::NetObjectCount() {
    return g_liveNodes.load(std::memory_order_relaxed);
}

namespace {
std::atomic<std::uint64_t> g_graphStamp{1};
}
std::uint64_t ARenderNode::GraphStamp() {
    // Mesh data changing in place moves boxes as much as the graph changing does.
    return g_graphStamp.load(std::memory_order_acquire) + Lumo::Devices::ADeviceResource::ChangeStamp();
}
void ARenderNode::BumpGraphStamp() {
    g_graphStamp.fetch_add(1, std::memory_order_acq_rel);
}

} // namespace Lumo::Graphics
