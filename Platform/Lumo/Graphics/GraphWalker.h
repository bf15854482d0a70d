#pragma once
#include <Lumo/Graphics/TraversalState.h>
#include <Lumo/Graphics/WorldIterator.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace Lumo::Devices { class ADrawContext; }

namespace Lumo::Graphics {

struct NodeCallbacks;

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

    /// A client state the root starts with; children get copies of their parent's.
    void AddClientState(Lumo::Objects::UString* name, ClientTraversalState* state);
    /// Callbacks to use instead of the installed ones.
    void Callbacks(const NodeCallbacks* callbacks) { m_callbacks = callbacks; }

    void Walk(ARenderNode* root, RenderItemList& out);

    std::uint64_t NodesVisited() const { return m_nodes; }
    std::uint64_t LeavesVisited() const { return m_leaves; }
    bool DepthLimitHit() const { return m_depthLimitHit; }

private:
    void Visit(ARenderNode* node, int depth);
    TraversalState& StateAt(int depth);

    Lumo::Devices::ADrawContext& m_dc;
    const NodeCallbacks* m_callbacks;
    std::vector<std::unique_ptr<TraversalState>> m_states;
    WorldIterator m_iterator;
    std::uint64_t m_nodes = 0, m_leaves = 0;
    bool m_depthLimitHit = false;
};

} // namespace Lumo::Graphics
