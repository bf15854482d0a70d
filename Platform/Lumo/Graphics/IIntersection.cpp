#include <Lumo/Graphics/ARenderNode.h>
#include <Lumo/Graphics/IIntersection.h>

namespace Lumo::Graphics {

LUMO_DEFINE_CLASS(IIntersection, ARefCounted)

IIntersection::IIntersection(ARenderNode* node, const Lumo::Objects::vec3<double>& point, double depth)
    : m_node(node), m_point(point), m_depth(depth) {
    if (m_node)
        m_node->AddRef();
}

IIntersection::~IIntersection() {
    if (m_node)
        m_node->ReleaseRef();
}

} // namespace Lumo::Graphics
