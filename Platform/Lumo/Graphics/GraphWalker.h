#pragma once
#include <Lumo/Graphics/TraversalState.h>
#include <Lumo/Graphics/WalkPool.h>
#include <Lumo/Graphics/WorldIterator.h>
#include <Lumo/Objects/Mat4.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <unordered_map>
#include <vector>

namespace Lumo::Devices {
class ADrawContext;
}

namespace Lumo::Graphics {

class BaseGroupNode;
struct NodeCallbacks;

/// What a renderer hooks into a walk: Enter sees every node once its attributes and box are
/// realised and answers false to skip the node and all below it; Leaf sees each leaf once its
/// render items exist.
class IWalkVisitor {
public:
    virtual bool Enter(TraversalState& state) = 0;
    virtual void Leaf(TraversalState& state) = 0;
    /// The view-projection (row vectors, clip space -w..w, 0..w) outside of which Enter would
    /// reject any subtree; null when it culls nothing that way.
    virtual const Lumo::Objects::mat4<double>* CullMatrix() const { return nullptr; }

protected:
    ~IWalkVisitor() = default;
};

/// Walks a render graph depth first with one traversal state per depth (reused between
/// siblings, so a walk allocates nothing per node), running the installed node callbacks:
/// attributes and world box on entering every node, realisation and attribute application
/// at each leaf. Render items go to the list given to Walk.
class GraphWalker {
public:
    /// Deeper paths are not followed (a cycle in a malformed graph must not recurse forever).
    static constexpr int kMaxDepth = 1024;

    explicit GraphWalker(Lumo::Devices::ADrawContext& dc);
    ~GraphWalker();
    /// The items and matrices kept from the last walk: release the items a walk gave you before
    /// the next walk of the same root and that walk makes none anew for an unchanged scene.
    const WalkPool& Pool() const { return m_pool; }

    /// A client state the root starts with; children get copies of their parent's.
    void AddClientState(Lumo::Objects::UString* name, ClientTraversalState* state);
    /// Callbacks to use instead of the installed ones.
    void Callbacks(const NodeCallbacks* callbacks) { m_callbacks = callbacks; }
    /// Hooks a visitor in (null unhooks).
    void Visitor(IWalkVisitor* visitor) { m_visitor = visitor; }

    void Walk(ARenderNode* root, RenderItemList& out);

    std::uint64_t NodesVisited() const { return m_nodes; }
    std::uint64_t LeavesVisited() const { return m_leaves; }
    /// Subtrees the visitor cut off in the last walk.
    std::uint64_t NodesPruned() const { return m_pruned; }
    bool DepthLimitHit() const { return m_depthLimitHit; }

    /// Groups with at least this many children get a box hierarchy over them for culling.
    static constexpr int kIndexedChildren = 8;

private:
    struct ChildIndex;
    void Visit(ARenderNode* node, int depth);
    TraversalState& StateAt(int depth);
    /// The children of a big group the visitor's frustum may see, in order; false when the
    /// group is not indexed and every child must be entered.
    bool VisibleChildren(BaseGroupNode& group, const TraversalState& state, std::vector<int>& out);
    /// The group's index, made or refreshed for the graph's stamp; null for small groups.
    ChildIndex* IndexOf(BaseGroupNode& group, std::uint64_t stamp);
    /// The children whose boxes the clip volume of m may see (any: stop at the first).
    static void Query(const ChildIndex& index, const Lumo::Objects::mat4<double>& m, std::vector<int>& out, bool any);

    Lumo::Devices::ADrawContext& m_dc;
    const NodeCallbacks* m_callbacks;
    WalkPool m_pool;
    std::vector<std::unique_ptr<TraversalState>> m_states;
    WorldIterator m_iterator;
    IWalkVisitor* m_visitor = nullptr;
    std::unordered_map<const BaseGroupNode*, std::unique_ptr<ChildIndex>> m_indices; // kept while the graph stamp holds
    std::deque<std::vector<int>> m_visible; // per depth, reused; deeper ones added keep these in place
    std::vector<int> m_lookahead;
    std::uint64_t m_indexStamp = 0;
    std::uint64_t m_nodes = 0, m_leaves = 0, m_pruned = 0;
    bool m_depthLimitHit = false;
};

} // namespace Lumo::Graphics
