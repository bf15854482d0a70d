#include <Lumo/Graphics/BaseGroupNode.h>
#include <Lumo/Graphics/ClientTraversalState.h>
#include <Lumo/Graphics/FrustumAgent.h>
#include <Lumo/Graphics/GraphWalker.h>
#include <Lumo/Graphics/NodeCallbacks.h>
#include <Lumo/Objects/ADevMatrix.h>

#include <algorithm>

namespace Lumo::Graphics {

/// A bounding volume hierarchy over a group's children, in the group's own coordinates.
struct GraphWalker::ChildIndex {
    struct Node {
        Lumo::Objects::SBox3 box;
        int first = 0, count = 0; ///< a leaf's range in order; an inner node's count is 0
        int right = 0;            ///< an inner node's second child (its first follows it)
    };
    std::uint64_t stamp = 0;
    int children = 0;
    std::vector<Node> nodes;
    std::vector<int> order;  ///< child indices, leaves' ranges into it
    std::vector<int> always; ///< children without a known box: always entered

    void Build(const BaseGroupNode& group, Lumo::Objects::SBox3 (*childBox)(ARenderNode*)) {
        children = group.ChildCount();
        nodes.clear();
        order.clear();
        always.clear();
        std::vector<Lumo::Objects::SBox3> boxes(static_cast<std::size_t>(children));
        for (int i = 0; i < children; ++i) {
            boxes[std::size_t(i)] = childBox(group.Child(i));
            (boxes[std::size_t(i)].IsEmpty() ? always : order).push_back(i);
        }
        if (!order.empty())
            Split(boxes, 0, int(order.size()));
    }
    int Split(const std::vector<Lumo::Objects::SBox3>& boxes, int first, int count) {
        const int at = int(nodes.size());
        nodes.emplace_back();
        Lumo::Objects::SBox3 box;
        for (int i = first; i < first + count; ++i)
            box.Extend(boxes[std::size_t(order[std::size_t(i)])]);
        nodes[std::size_t(at)].box = box;
        if (count <= 4) {
            nodes[std::size_t(at)].first = first;
            nodes[std::size_t(at)].count = count;
            return at;
        }
        // Median of the centres along the box's longest side.
        const auto size = box.Max() - box.Min();
        const int axis = size.x >= size.y && size.x >= size.z ? 0 : (size.y >= size.z ? 1 : 2);
        auto centre = [&](int child) {
            const auto& b = boxes[std::size_t(child)];
            return axis == 0 ? b.Min().x + b.Max().x : axis == 1 ? b.Min().y + b.Max().y : b.Min().z + b.Max().z;
        };
        const auto begin = order.begin() + first;
        std::nth_element(begin, begin + count / 2, begin + count, [&](int a, int b) { return centre(a) < centre(b); });
        Split(boxes, first, count / 2);
        const int right = Split(boxes, first + count / 2, count - count / 2);
        nodes[std::size_t(at)].right = right;
        return at;
    }
};

GraphWalker::ChildIndex* GraphWalker::IndexOf(BaseGroupNode& group, std::uint64_t stamp) {
    if (group.ChildCount() < kIndexedChildren)
        return nullptr;
    std::unique_ptr<ChildIndex>& index = m_indices[&group];
    if (!index)
        index = std::make_unique<ChildIndex>();
    if (index->stamp != stamp || index->children != group.ChildCount()) {
        index->Build(group, m_callbacks->childBox);
        index->stamp = stamp;
    }
    return index.get();
}

void GraphWalker::Query(const ChildIndex& index, const Lumo::Objects::mat4<double>& m, std::vector<int>& out,
                        bool any) {
    out = index.always;
    if (index.nodes.empty() || (any && !out.empty()))
        return;
    const FrustumAgent::Planes planes(m);
    int stack[64], top = 0;
    stack[top++] = 0;
    while (top) {
        const ChildIndex::Node& n = index.nodes[std::size_t(stack[--top])];
        if (planes.Outside(n.box))
            continue;
        if (n.count) {
            out.insert(out.end(), index.order.begin() + n.first, index.order.begin() + n.first + n.count);
            if (any)
                return;
        } else if (top + 2 <= 64) {
            stack[top++] = n.right;
            stack[top++] = int(&n - index.nodes.data()) + 1;
        }
    }
}

bool GraphWalker::VisibleChildren(BaseGroupNode& group, const TraversalState& state, std::vector<int>& out) {
    const Lumo::Objects::mat4<double>* cull = m_visitor ? m_visitor->CullMatrix() : nullptr;
    if (!cull || !m_callbacks->childBox)
        return false;
    const std::uint64_t stamp = ARenderNode::GraphStamp(); // read first: a change meanwhile wins
    ChildIndex* index = IndexOf(group, stamp);
    if (!index)
        return false;
    const Lumo::Objects::mat4<double> m =
        state.WorldMatrix() ? state.WorldMatrix()->Matrix().Cast<double>() * *cull : *cull;
    Query(*index, m, out, false);
    // A child that only holds many placements of its own (a group of instances) is passed over
    // when none of them can be seen, without entering it.
    if (m_callbacks->placement) {
        std::size_t kept = 0;
        for (int i : out) {
            bool keep = true;
            if (i < group.ChildCount())
                if (BaseGroupNode* child = group.Child(i)->AsGroup())
                    if (ChildIndex* inner = IndexOf(*child, stamp)) {
                        Lumo::Objects::mat4<double> placed;
                        const int kind = m_callbacks->placement(child, placed);
                        if (kind != 2) {
                            Query(*inner, kind == 1 ? placed * m : m, m_lookahead, true);
                            keep = !m_lookahead.empty();
                        }
                    }
            if (keep)
                out[kept++] = i;
        }
        out.resize(kept);
    }
    std::sort(out.begin(), out.end()); // the world's order
    return true;
}

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
    // Indices of another graph's state go: none is kept for a group that may be gone.
    if (const std::uint64_t stamp = ARenderNode::GraphStamp(); stamp != m_indexStamp) {
        m_indices.clear();
        m_indexStamp = stamp;
    }
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
        if (int(m_visible.size()) <= depth)
            m_visible.resize(std::size_t(depth) + 1);
        std::vector<int>& visible = m_visible[std::size_t(depth)];
        if (VisibleChildren(*group, state, visible)) {
            m_pruned += std::uint64_t(group->ChildCount()) - visible.size();
            for (int i : visible)
                if (i < group->ChildCount()) {
                    Lumo::Objects::AutoPtr<ARenderNode> child = group->Child(i);
                    Visit(child, depth + 1);
                }
        } else {
            // The count is read each time and the child held while visited: a callback that
            // edits the graph must not leave the walk on a freed node.
            for (int i = 0; i < group->ChildCount(); ++i) {
                Lumo::Objects::AutoPtr<ARenderNode> child = group->Child(i);
                Visit(child, depth + 1);
            }
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
