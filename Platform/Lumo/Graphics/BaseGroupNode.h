#pragma once
#include <Lumo/Graphics/ARenderNode.h>
#include <Lumo/Objects/ArrayList.h>

namespace Lumo::Graphics {

/// Children held by reference, in drawing order.
using RenderNodeList = Lumo::Objects::_ArrayList<ARenderNode*, Lumo::Objects::RefCountedLifetime>;

/// A render node with ordered children.
class BaseGroupNode : public ARenderNode {
    LUMO_DECLARE_CLASS()
public:
    ~BaseGroupNode() override;

    /// Appends node; false for null, for the group itself, or for a node already a child.
    bool AddChild(ARenderNode* node, bool notify = true);
    /// Removes node; false when it is not a child. With notify, the node's notifiers hear of it.
    bool RemoveChild(ARenderNode* node, bool notify = true);
    bool HasChild(const ARenderNode* node) const;
    BaseGroupNode* AsGroup() override { return this; }
    int ChildCount() const { return m_children.Count(); }
    ARenderNode* Child(int index) const;
    const RenderNodeList& Children() const { return m_children; }

    /// The subtree's box in the group's own coordinates as last computed, when nothing in the
    /// graph changed since (see GraphStamp).
    bool CachedLocalBox(Lumo::Objects::SBox3& box) const {
        if (m_localBoxStamp != GraphStamp())
            return false;
        box = m_localBox;
        return true;
    }
    /// Keeps box as computed under stamp (read before computing, so a change meanwhile
    /// leaves the cache stale rather than wrong).
    void CacheLocalBox(const Lumo::Objects::SBox3& box, std::uint64_t stamp) {
        m_localBox = box;
        m_localBoxStamp = stamp;
    }

protected:
    BaseGroupNode() = default;

private:
    RenderNodeList m_children;
    Lumo::Objects::SBox3 m_localBox;
    std::uint64_t m_localBoxStamp = 0;
};

} // namespace Lumo::Graphics
