#pragma once
#include <vector>

namespace Lumo::Graphics {

class ARenderNode;

/// Where a walk stands: the nodes from the root down to the current one.
class WorldIterator {
public:
    int Depth() const { return static_cast<int>(m_path.size()); }
    ARenderNode* Current() const { return m_path.empty() ? nullptr : m_path.back(); }
    ARenderNode* At(int depth) const { return m_path[depth]; }
    const std::vector<ARenderNode*>& Path() const { return m_path; }

    void Push(ARenderNode* node) { m_path.push_back(node); }
    void Pop() { m_path.pop_back(); }
    void Clear() { m_path.clear(); }

private:
    std::vector<ARenderNode*> m_path;
};

} // namespace Lumo::Graphics
