#include <Lumo/Graphics/BaseGroupNode.h>
#include <Lumo/Graphics/ClientTraversalState.h>
#include <Lumo/Graphics/GraphWalker.h>
#include <Lumo/Graphics/NodeCallbacks.h>

namespace Lumo::Graphics {

GraphWalker::GraphWalker(Lumo::Devices::ADrawContext& dc) : m_dc(dc), m_callbacks(&NodeCallbacks::Installed()) {
    m_states.push_back(std::make_unique<TraversalState>()); // the root's parent: holds the seeds
}

GraphWalker::~GraphWalker() = default;

void GraphWalker::AddClientState(Lumo::Objects::UString* name, ClientTraversalState* state) {
    m_states[0]->ClientState(name, state);
}

TraversalState& GraphWalker::StateAt(int depth) {
    while (int(m_states.size()) <= depth)
        m_states.push_back(std::make_unique<TraversalState>());
    return *m_states[depth];
}

void GraphWalker::Walk(ARenderNode* root, RenderItemList& out) {
    m_nodes = m_leaves = m_pruned = 0;
    m_depthLimitHit = false;
    m_iterator.Clear();
    TraversalState& seed = *m_states[0];
    seed.RenderItems(&out); // first: the last walk's list may be gone
    seed.BeginRoot(nullptr);
    seed.Pool(&m_pool);
    m_pool.Begin();
    const NodeCallbacks& cb = *m_callbacks;
    if (cb.beginWalk)
        cb.beginWalk(m_dc);
    try {
        if (root)
            Visit(root, 1);
    } catch (...) {
        m_pool.End();
        if (cb.endWalk)
            cb.endWalk(m_dc);
        throw;
    }
    m_pool.End();
    if (cb.endWalk)
        cb.endWalk(m_dc);
    seed.RenderItems(nullptr); // the caller's list is not ours to keep
}

void GraphWalker::Visit(ARenderNode* node, int depth) {
    if (depth > kMaxDepth) {
        m_depthLimitHit = true;
        return;
    }
    TraversalState& state = StateAt(depth);
    state.BeginChild(*m_states[depth - 1], node);
    m_iterator.Push(node);
    ++m_nodes;
    const NodeCallbacks& cb = *m_callbacks;
    if (cb.realizeAttributes)
        cb.realizeAttributes(m_dc, state, node);
    if (cb.realizeWorldBox)
        cb.realizeWorldBox(m_dc, state, node);
    if (m_visitor && !m_visitor->Enter(state)) {
        ++m_pruned;
        m_iterator.Pop();
        return;
    }
    if (BaseGroupNode* group = node->AsGroup()) {
        // The count is read each time and the child held while visited: a callback that
        // edits the graph must not leave the walk on a freed node.
        for (int i = 0; i < group->ChildCount(); ++i) {
            Lumo::Objects::AutoPtr<ARenderNode> child = group->Child(i);
            Visit(child, depth + 1);
        }
    } else {
        ++m_leaves;
        node->RealizeNode(m_dc, state, &m_iterator);
        if (cb.applyAttributes)
            cb.applyAttributes(m_dc, state, node);
        if (m_visitor)
            m_visitor->Leaf(state);
    }
    m_iterator.Pop();
}

} // namespace Lumo::Graphics
