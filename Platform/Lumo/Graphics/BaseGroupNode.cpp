#include <Lumo/Graphics/BaseGroupNode.h>

#include <Lumo/Objects/AutoPtr.h>

namespace Lumo::Graphics {

LUMO_DEFINE_CLASS(BaseGroupNode, ARenderNode)

BaseGroupNode::~BaseGroupNode() {
    for (ARenderNode* child : m_children)
        --child->m_parentCount;
}

bool BaseGroupNode::AddChild(ARenderNode* node, bool) {
    if (!node || node == this || HasChild(node))
        return false;
    BumpGraphStamp();
    if (!m_children.Add(node))
        return false;
    ++node->m_parentCount;
    return true;
}

bool BaseGroupNode::RemoveChild(ARenderNode* node, bool notify) {
    int index = node ? m_children.IndexOf(node) : -1;
    if (index < 0)
        return false;
    BumpGraphStamp();
    Lumo::Objects::AutoPtr<ARenderNode> keep = node; // alive while its watchers hear of it
    --node->m_parentCount;
    m_children.RemoveAt(index);
    if (notify && node->NotifierCount())
        node->NotifyRemoved();
    return true;
}

bool BaseGroupNode::HasChild(const ARenderNode* node) const {
    for (ARenderNode* child : m_children)
        if (child == node)
            return true;
    return false;
}

ARenderNode* BaseGroupNode::Child(int index) const {
    return index >= 0 && index < m_children.Count() ? m_children[index] : nullptr;
}

} // namespace Lumo::Graphics
