#include <Lumo/Graphics/FacetIntersection.h>

#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Devices/VertexFormat.h>

namespace Lumo::Graphics {

LUMO_DEFINE_CLASS(FacetIntersection, IIntersection)

FacetIntersection::FacetIntersection(ARenderNode* node, Lumo::Devices::IRenderGeom* geometry, int facet,
                                     const Lumo::Objects::vec2<double>& barycentric,
                                     const Lumo::Objects::vec3<double>& point, double depth)
    : IIntersection(node, point, depth), m_geometry(geometry), m_facet(facet), m_barycentric(barycentric) {
    if (m_geometry)
        m_geometry->AddRef();
}

FacetIntersection::~FacetIntersection() {
    if (m_geometry)
        m_geometry->ReleaseRef();
}

FacetIntersection* FacetIntersection::Make(ARenderNode* node, Lumo::Devices::IRenderGeom* geometry, int facet,
                                           const Lumo::Objects::vec2<double>& barycentric,
                                           const Lumo::Objects::vec3<double>& point, double depth) {
    return new FacetIntersection(node, geometry, facet, barycentric, point, depth);
}

bool FacetIntersection::TextureUV(Lumo::Objects::vec2<float>& uv) const {
    auto* mesh = m_geometry ? static_cast<Lumo::Devices::SimpleMesh*>(
                                  m_geometry->GetInterface(Lumo::Devices::SimpleMesh::StaticClassName()))
                            : nullptr;
    if (!mesh || m_facet < 0 || !mesh->Format() || !mesh->Format()->Has(Lumo::Devices::eVertexTexCoord))
        return false;
    int corner[3];
    const int n = mesh->IsIndexed() ? mesh->IndexCount() : mesh->VertexCount();
    auto at = [&](int i) { return mesh->IsIndexed() ? int(mesh->IndexData()[i]) : i; };
    switch (mesh->PrimitiveType()) {
    case Lumo::Devices::ePrimTriangleList:
        if (3 * m_facet + 2 >= n)
            return false;
        for (int k = 0; k < 3; ++k)
            corner[k] = at(3 * m_facet + k);
        break;
    case Lumo::Devices::ePrimTriangleStrip:
        if (m_facet + 2 >= n)
            return false;
        for (int k = 0; k < 3; ++k)
            corner[k] = at(m_facet + k);
        break;
    case Lumo::Devices::ePrimTriangleFan:
        if (m_facet + 2 >= n)
            return false;
        corner[0] = at(0);
        corner[1] = at(m_facet + 1);
        corner[2] = at(m_facet + 2);
        break;
    default:
        return false;
    }
    const int stride = mesh->Format()->Stride(), offset = mesh->Format()->Offset(Lumo::Devices::eVertexTexCoord);
    Lumo::Objects::vec2<double> t[3];
    for (int k = 0; k < 3; ++k) {
        if (corner[k] < 0 || corner[k] >= mesh->VertexCount())
            return false;
        const float* v = mesh->VertexData() + std::size_t(corner[k]) * stride + offset;
        t[k] = {v[0], v[1]};
    }
    const double b1 = m_barycentric.x, b2 = m_barycentric.y, b0 = 1.0 - b1 - b2;
    uv = {float(b0 * t[0].x + b1 * t[1].x + b2 * t[2].x), float(b0 * t[0].y + b1 * t[1].y + b2 * t[2].y)};
    return true;
}

} // namespace Lumo::Graphics
