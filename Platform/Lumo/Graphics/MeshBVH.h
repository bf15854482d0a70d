#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/Mat4.h>
#include <Lumo/Objects/Vec.h>
#include <atomic>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Lumo::Devices {
class SimpleMesh;
}

namespace Lumo::Graphics {

/// A bounding volume hierarchy over one mesh's primitives (triangles, segments or points) in
/// the mesh's own space. A pick takes its ray into the part's space, so one hierarchy serves
/// every instance of the mesh; it is built on the first pick and kept with the mesh until the
/// mesh changes.
class MeshBVH : public Lumo::Objects::ARefCounted {
public:
    using vec3d = Lumo::Objects::vec3<double>;
    enum EKind : int { eFacets, eSegments, ePoints };

    /// The mesh's hierarchy, built now when the mesh has none or changed since; null for a mesh
    /// without primitives. Safe from several threads (two may build; one result is kept).
    static Lumo::Objects::AutoPtr<MeshBVH> For(Lumo::Devices::SimpleMesh& mesh);
    /// Builds one without keeping it.
    static Lumo::Objects::AutoPtr<MeshBVH> Build(const Lumo::Devices::SimpleMesh& mesh);

    /// A pick ray with a tolerance: a cone whose radius is `radius + slope * t` at parameter t
    /// (slope 0 for a parallel view). Facet picks ignore the radius.
    struct Ray {
        vec3d origin, direction;
        double radius = 0, slope = 0;
    };
    struct Hit {
        double t = 0;        ///< ray parameter of the hit (the closest approach for segments and points)
        double distance = 0; ///< distance from the ray for segments and points; 0 for facets
        int primitive = -1;  ///< triangle, segment or point index (in primitive order)
        vec3d point, normal; ///< on the geometry; the normal only for facets (unit, geometric)
        double u = 0;        ///< along a segment from its first vertex (0..1)
    };

    /// The nearest primitive the ray meets within [0, tMax]; false when none. With cullBack a
    /// triangle seen from behind is not hit.
    bool Nearest(const Ray& ray, double tMax, bool cullBack, Hit& hit) const;

    /// How the mesh's primitives lie against a screen rectangle: `localToClip` maps the mesh's
    /// space to clip space (row vectors), the rectangle is in normalised device coordinates.
    enum EContainment : int { eOutside, eCrossing, eInside };
    /// eInside when every primitive lies inside (a window pick takes the mesh), eOutside when
    /// none touches, else eCrossing. With stopAtTouch the answer is only eCrossing or eOutside,
    /// given at the first primitive that touches (all a crossing pick needs).
    EContainment Contain(const Lumo::Objects::mat4<double>& localToClip, double x0, double y0, double x1, double y1,
                         bool stopAtTouch) const;

    EKind Kind() const { return m_kind; }
    /// Corner k (0 .. corners - 1) of a primitive, in the mesh's space.
    Lumo::Objects::vec3<double> Corner(int primitive, int k) const {
        const auto& p = m_positions[m_indices[std::size_t(primitive) * std::size_t(m_corners) + std::size_t(k)]];
        return {double(p.x), double(p.y), double(p.z)};
    }
    std::size_t PrimitiveCount() const { return m_primitives.size(); }
    std::size_t NodeCount() const { return m_nodes.size(); }
    std::size_t MemoryBytes() const;
    /// Hierarchies built in this process, to see that instances share them.
    static std::uint64_t BuildCount();
    /// Whether facet rays go through Embree's kernel (faster than this hierarchy where it is
    /// installed); back-face culled rays and everything else stay here.
    static bool HasRayKernel();
    ~MeshBVH() override;

private:
    struct Node {
        float lo[3], hi[3];
        std::uint32_t first; // first primitive (leaf) or right child (inner; the left child follows)
        std::uint32_t count; // primitives of a leaf; 0 for an inner node
    };
    MeshBVH() = default;
    /// Embree's scene of the facets, made on the first facet ray; null without the kernel.
    void* rayKernel() const;
    bool nearestThroughKernel(void* kernel, const Ray& ray, double tMax, Hit& hit) const;
    void build(std::vector<float>& centroids);
    std::uint32_t split(std::uint32_t begin, std::uint32_t end, std::vector<float>& centroids, int depth);
    bool hitPrimitive(std::uint32_t p, const Ray& ray, double tMax, bool cullBack, Hit& hit) const;
    EContainment containPrimitive(std::uint32_t p, const Lumo::Objects::mat4<double>& m, const double rect[4]) const;

    EKind m_kind = eFacets;
    int m_corners = 3; // vertices per primitive
    std::vector<Lumo::Objects::vec3<float>> m_positions;
    std::vector<std::uint32_t> m_indices;    // m_corners per primitive, in the mesh's order
    std::vector<std::uint32_t> m_primitives; // primitive numbers in leaf order
    std::vector<Node> m_nodes;
    mutable std::atomic<void*> m_kernel{nullptr};
};

} // namespace Lumo::Graphics
