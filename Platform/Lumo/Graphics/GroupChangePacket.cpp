#include <Lumo/Graphics/GroupChangePacket.h>

#include <Lumo/Objects/AutoPtr.h>

namespace Lumo::Graphics {

LUMO_DEFINE_CLASS(GroupChangePacket, ChangePacket)

GroupChangePacket::GroupChangePacket(BaseGroupNode* group) : ChangePacket(group) {}

GroupChangePacket* GroupChangePacket::Make(BaseGroupNode* group) {
    return new GroupChangePacket(group);
}

// Removals apply before additions, so the two lists replay any sequence of calls: a remove
// after an add drops the add (and still removes a child that was there before), an add
// after a remove leaves both (the child ends up present).
void GroupChangePacket::AddChild(ARenderNode* child) {
    if (child && m_add.IndexOf(child) < 0)
        m_add.Add(child);
}

void GroupChangePacket::RemoveChild(ARenderNode* child) {
    if (!child)
        return;
    m_add.Remove(child);
    if (m_remove.IndexOf(child) < 0)
        m_remove.Add(child);
}

bool GroupChangePacket::UpdateNode() {
    ChangePacket::UpdateNode();
    BaseGroupNode* group = Node() ? Node()->AsGroup() : nullptr;
    if (!group)
        return false;
    for (ARenderNode* child : m_remove)
        group->RemoveChild(child, true);
    for (ARenderNode* child : m_add)
        group->AddChild(child, true);
    return true;
}

IChangePacket* GroupChangePacket::MergeChanges(IChangePacket& later) {
    ChangePacket::MergeChanges(later);
    if (auto* other = static_cast<GroupChangePacket*>(later.GetInterface(GroupChangePacket::StaticClassName()))) {
        for (ARenderNode* child : other->m_remove)
            RemoveChild(child);
        for (ARenderNode* child : other->m_add)
            AddChild(child);
    }
    return this;
}

} // namespace Lumo::Graphics
