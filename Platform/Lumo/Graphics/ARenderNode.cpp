#include <Lumo/Graphics/ANodeEntity.h>
#include <Lumo/Graphics/ARenderNode.h>

#include <atomic>

namespace Lumo::Graphics {

namespace {
std::atomic<int> g_liveNodes{0};
}

LUMO_DEFINE_CLASS(ARenderNode, ARefCounted)

ARenderNode::ARenderNode() { g_liveNodes.fetch_add(1, std::memory_order_relaxed); }

ARenderNode::~ARenderNode() {
    // Let the entity forget this node, then drop the attachments while the node is whole.
    if (ANodeEntity* entity = m_entity) {
        m_entity = nullptr;
        entity->OnNodeDestroyed(this);
    }
    RemoveAllAttachments();
    g_liveNodes.fetch_sub(1, std::memory_order_relaxed);
}

void ARenderNode::SetFlags(std::uint32_t flags, bool on) {
    if (on)
        m_flags |= flags;
    else
        m_flags &= ~flags;
}

int ARenderNode::NetObjectCount() { return g_liveNodes.load(std::memory_order_relaxed); }

} // namespace Lumo::Graphics
