#include <Lumo/Devices/IRenderGeom.h>
#include <Lumo/Graphics/EdgeIntersection.h>

namespace Lumo::Graphics {

LUMO_DEFINE_CLASS(EdgeIntersection, IIntersection)
LUMO_DEFINE_CLASS(VertexIntersection, IIntersection)

EdgeIntersection* EdgeIntersection::Make(ARenderNode* node, Lumo::Devices::IRenderGeom* geometry, int edge,
                                         double along, const Lumo::Objects::vec3<double>& point, double depth) {
    return new EdgeIntersection(node, geometry, edge, along, point, depth);
}

EdgeIntersection::EdgeIntersection(ARenderNode* node, Lumo::Devices::IRenderGeom* geometry, int edge, double along,
                                   const Lumo::Objects::vec3<double>& point, double depth)
    : IIntersection(node, point, depth), m_geometry(geometry), m_edge(edge), m_along(along) {
    if (m_geometry)
        m_geometry->AddRef();
}

EdgeIntersection::~EdgeIntersection() {
    if (m_geometry)
        m_geometry->ReleaseRef();
}

VertexIntersection* VertexIntersection::Make(ARenderNode* node, Lumo::Devices::IRenderGeom* geometry, int vertex,
                                             const Lumo::Objects::vec3<double>& point, double depth) {
    return new VertexIntersection(node, geometry, vertex, point, depth);
}

VertexIntersection::VertexIntersection(ARenderNode* node, Lumo::Devices::IRenderGeom* geometry, int vertex,
                                       const Lumo::Objects::vec3<double>& point, double depth)
    : IIntersection(node, point, depth), m_geometry(geometry), m_vertex(vertex) {
    if (m_geometry)
        m_geometry->AddRef();
}

VertexIntersection::~VertexIntersection() {
    if (m_geometry)
        m_geometry->ReleaseRef();
}

} // namespace Lumo::Graphics
