#pragma once
#include <Lumo/Graphics/IIntersection.h>

namespace Lumo::Devices {
class IRenderGeom;
}

namespace Lumo::Graphics {

/// A hit on one segment of a line mesh within the pick's tolerance: the segment's index and
/// the place along it (0 at its first vertex, 1 at its second).
class EdgeIntersection : public IIntersection {
    LUMO_DECLARE_CLASS()
public:
    static EdgeIntersection* Make(ARenderNode* node, Lumo::Devices::IRenderGeom* geometry, int edge, double along,
                                  const Lumo::Objects::vec3<double>& point, double depth);
    ~EdgeIntersection() override;
    Lumo::Devices::IRenderGeom* Geometry() const { return m_geometry; }
    int Edge() const { return m_edge; }
    double Along() const { return m_along; }

protected:
    EdgeIntersection(ARenderNode* node, Lumo::Devices::IRenderGeom* geometry, int edge, double along,
                     const Lumo::Objects::vec3<double>& point, double depth);

private:
    Lumo::Devices::IRenderGeom* m_geometry; // one reference
    int m_edge;
    double m_along;
};

/// A hit on one vertex of a point mesh within the pick's tolerance.
class VertexIntersection : public IIntersection {
    LUMO_DECLARE_CLASS()
public:
    static VertexIntersection* Make(ARenderNode* node, Lumo::Devices::IRenderGeom* geometry, int vertex,
                                    const Lumo::Objects::vec3<double>& point, double depth);
    ~VertexIntersection() override;
    Lumo::Devices::IRenderGeom* Geometry() const { return m_geometry; }
    int Vertex() const { return m_vertex; }

protected:
    VertexIntersection(ARenderNode* node, Lumo::Devices::IRenderGeom* geometry, int vertex,
                       const Lumo::Objects::vec3<double>& point, double depth);

private:
    Lumo::Devices::IRenderGeom* m_geometry; // one reference
    int m_vertex;
};

} // namespace Lumo::Graphics
