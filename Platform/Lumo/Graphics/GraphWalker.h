#pragma once
#include <Lumo/Graphics/TraversalState.h>
#include <Lumo/Graphics/WalkPool.h>
#include <Lumo/Graphics/WorldIterator.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace Lumo::Devices {
class ADrawContext;
}

namespace Lumo::Graphics {

struct NodeCallbacks;

/// What a renderer hooks into a walk: Enter sees every node once its attributes and box are
/// realised and answers false to skip the node and all below it; Leaf sees each leaf once its
/// render items exist.
class IWalkVisitor {
public:
    virtual bool Enter(TraversalState& state) = 0;
    virtual void Leaf(TraversalState& state) = 0;

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

private:
    void Visit(ARenderNode* node, int depth);
    TraversalState& StateAt(int depth);

    Lumo::Devices::ADrawContext& m_dc;
    const NodeCallbacks* m_callbacks;
    WalkPool m_pool;
    std::vector<std::unique_ptr<TraversalState>> m_states;
    WorldIterator m_iterator;
    IWalkVisitor* m_visitor = nullptr;
    std::uint64_t m_nodes = 0, m_leaves = 0, m_pruned = 0;
    bool m_depthLimitHit = false;
};

} // namespace Lumo::Graphics
