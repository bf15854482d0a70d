#pragma once
#include <Lumo/Graphics/BaseGroupNode.h>
#include <Lumo/Graphics/ChangePacket.h>

namespace Lumo::Graphics {

/// Children to add to and remove from a group. Applying removes, then adds, each in order;
/// merging replays the later packet's removals and additions onto this one.
class GroupChangePacket : public ChangePacket {
    LUMO_DECLARE_CLASS()
public:
    static GroupChangePacket* Make(BaseGroupNode* group);

    RenderNodeList& ChildToAdd() { return m_add; }
    RenderNodeList& ChildToRemove() { return m_remove; }
    void AddChild(ARenderNode* child);
    void RemoveChild(ARenderNode* child);

    bool UpdateNode() override;
    IChangePacket* MergeChanges(IChangePacket& later) override;

protected:
    explicit GroupChangePacket(BaseGroupNode* group);

private:
    RenderNodeList m_add, m_remove;
};

} // namespace Lumo::Graphics
