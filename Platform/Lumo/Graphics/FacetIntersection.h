#pragma once
#include <Lumo/Graphics/IIntersection.h>

namespace Lumo::Devices {
class IRenderGeom;
}

namespace Lumo::Graphics {

/// A hit on one triangle of a mesh, with the barycentric weights (of its second and third
/// vertices) of the point hit.
class FacetIntersection : public IIntersection {
    LUMO_DECLARE_CLASS()
public:
    static FacetIntersection* Make(ARenderNode* node, Lumo::Devices::IRenderGeom* geometry, int facet,
                                   const Lumo::Objects::vec2<double>& barycentric,
                                   const Lumo::Objects::vec3<double>& point, double depth);
    ~FacetIntersection() override;

    Lumo::Devices::IRenderGeom* Geometry() const { return m_geometry; }
    int Facet() const { return m_facet; }
    const Lumo::Objects::vec2<double>& Barycentric() const { return m_barycentric; }
    /// The texture coordinates at the point hit; false when the geometry is no triangle mesh
    /// with texture coordinates or the facet does not exist.
    bool TextureUV(Lumo::Objects::vec2<float>& uv) const;

protected:
    FacetIntersection(ARenderNode* node, Lumo::Devices::IRenderGeom* geometry, int facet,
                      const Lumo::Objects::vec2<double>& barycentric, const Lumo::Objects::vec3<double>& point,
                      double depth);

private:
    Lumo::Devices::IRenderGeom* m_geometry; // one reference
    int m_facet;
    Lumo::Objects::vec2<double> m_barycentric;
};

} // namespace Lumo::Graphics
