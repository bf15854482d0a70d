#include <Lumo/Graphics/ARenderNode.h>
#include <Lumo/Graphics/IIntersection.h>

#include <algorithm>

namespace Lumo::Graphics {

LUMO_DEFINE_CLASS(IIntersection, ARefCounted)

IIntersection::IIntersection(ARenderNode* node, const Lumo::Objects::vec3<double>& point, double depth)
    : m_node(node), m_point(point), m_depth(depth) {
    if (m_node)
        m_node->AddRef();
}

void IIntersection::Path(std::vector<Lumo::Objects::AutoPtr<ARenderNode>> path) {
    m_path = std::move(path);
}

IIntersection::~IIntersection() {
    if (m_node)
        m_node->ReleaseRef();
}

LUMO_DEFINE_CLASS(IntersectionList, ARefCounted)

void IntersectionList::SortByDepth() {
    std::stable_sort(m_items.begin(), m_items.end(),
                     [](const Lumo::Objects::AutoPtr<IIntersection>& a,
                        const Lumo::Objects::AutoPtr<IIntersection>& b) { return a->Depth() < b->Depth(); });
}

void IntersectionList::KeepNearest() {
    if (m_items.size() < 2)
        return;
    auto nearest =
        std::min_element(m_items.begin(), m_items.end(),
                         [](const Lumo::Objects::AutoPtr<IIntersection>& a,
                            const Lumo::Objects::AutoPtr<IIntersection>& b) { return a->Depth() < b->Depth(); });
    Lumo::Objects::AutoPtr<IIntersection> keep = *nearest;
    m_items.clear();
    m_items.push_back(keep);
}

} // namespace Lumo::Graphics
