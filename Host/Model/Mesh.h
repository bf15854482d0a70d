#pragma once
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/Vec.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace Lumo::Devices {
class SimpleMesh;
}

namespace Host {

using vec3f = Lumo::Objects::vec3<float>;

/// A triangle mesh in its part's space: positions with per-vertex normals, triangles wound
/// counter-clockwise seen from outside, and the body's edges as line segments into the same
/// positions. Immutable once a body holds it, so every instance shares it and its device meshes.
class Mesh {
public:
    Mesh();
    /// Copies the data; the device meshes are made again for the copy.
    Mesh(const Mesh& other);
    Mesh& operator=(const Mesh& other);
    ~Mesh();

    /// The largest mesh a file may bring (imported, or read from a document): beyond these a
    /// declared count is refused before anything is allocated for it. About 4.5 GiB of arrays.
    static constexpr std::size_t kMaxVertices = 50'000'000;
    static constexpr std::size_t kMaxTriangles = 100'000'000;
    /// Edges are fewer than three per triangle.
    static constexpr std::size_t kMaxEdges = 3 * kMaxTriangles;

    std::vector<vec3f> positions, normals;
    std::vector<std::uint32_t> triangles; ///< three indices per triangle
    std::vector<std::uint32_t> edges;     ///< two indices per segment

    std::size_t triangleCount() const { return triangles.size() / 3; }
    std::size_t edgeCount() const { return edges.size() / 2; }
    /// Smallest and largest corner; both zero for an empty mesh.
    void bounds(vec3f& lo, vec3f& hi) const;
    /// Empty, or indices out of range, or sizes not whole triangles and segments, or normals
    /// missing: such a mesh is refused by bodies.
    bool valid() const;
    /// Heap bytes of the arrays.
    std::size_t memoryBytes() const;

    /// The device mesh of the faces at a level of detail (15 the full mesh; 13, 11 and 8 about
    /// a half, a fifth and a twentieth of its triangles), made on first use and kept. Meshes
    /// under kLODThreshold triangles have the full level only: null for the others.
    Lumo::Devices::SimpleMesh* facesAt(int level) const;
    /// The device mesh of the edges (null without edges), made on first use and kept.
    Lumo::Devices::SimpleMesh* edgeMesh() const;
    /// Triangle count of a level that facesAt has made or would make.
    static constexpr std::size_t kLODThreshold = 5000;

private:
    struct Cache;
    std::shared_ptr<Cache> m_cache; // made in the constructors, never shared between meshes
};

using MeshPtr = std::shared_ptr<const Mesh>;

/// Derives a body's edges from its faces: boundaries (an edge with one triangle), non-manifold
/// edges and creases whose faces meet at more than creaseDegrees. Positions that coincide are
/// welded first, so seams where normals split are not edges unless they are creases.
std::vector<std::uint32_t> FeatureEdges(const std::vector<vec3f>& positions,
                                        const std::vector<std::uint32_t>& triangles, float creaseDegrees = 30.f);

/// A finished mesh from bare triangles (shared or separate corners alike): normals smoothed
/// across edges flatter than creaseDegrees and split across sharper ones, corners that end up
/// alike shared, and the feature edges derived with the same angle. Out-of-range and
/// degenerate triangles are dropped. Null when nothing is left.
MeshPtr BuildMesh(const std::vector<vec3f>& positions, const std::vector<std::uint32_t>& triangles,
                  float creaseDegrees = 30.f);

/// Area-weighted vertex normals from the triangles.
std::vector<vec3f> VertexNormals(const std::vector<vec3f>& positions, const std::vector<std::uint32_t>& triangles);

} // namespace Host
