#include <Lumo/Graphics/ARenderNode.h>
#include <Lumo/Graphics/ChangePacket.h>
#include <Lumo/Graphics/RenderFlags.h>

namespace Lumo::Graphics {

LUMO_DEFINE_CLASS(IChangePacket, ARefCounted)
LUMO_DEFINE_CLASS(ChangePacket, IChangePacket)

ChangePacket::ChangePacket(ARenderNode* node) : m_node(node) {
    if (m_node)
        m_node->AddRef();
}

ChangePacket::~ChangePacket() {
    if (m_node)
        m_node->ReleaseRef();
}

ChangePacket* ChangePacket::Make(ARenderNode* node) {
    return new ChangePacket(node);
}

void ChangePacket::NewBoundingBox(const Lumo::Objects::SBox3& box) {
    m_box = box;
    AddChangeType(kNewBoundingBox);
}

bool ChangePacket::UpdateNode() {
    if (!m_node)
        return false;
    ARenderNode::BumpGraphStamp(); // boxes cached above the node may have changed
    if (HasNewBoundingBox())
        m_node->SetFlags(eFlagWorldBoxValid, false); // the node boxes itself again from the new data
    return true;
}

IChangePacket* ChangePacket::MergeChanges(IChangePacket& later) {
    if (auto* other = static_cast<ChangePacket*>(later.GetInterface(ChangePacket::StaticClassName()))) {
        if (other->HasNewBoundingBox())
            NewBoundingBox(other->m_box);
    }
    AddChangeType(later.ChangeType());
    return this;
}

} // namespace Lumo::Graphics
