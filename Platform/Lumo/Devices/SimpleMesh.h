#pragma once
#include <Lumo/Devices/IRenderGeom.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/Mutex.h>
#include <Lumo/Objects/Vec.h>

#include <atomic>
#include <cstdint>
#include <vector>

namespace Lumo::Devices {

class VertexFormat;
class VertexBufferBuilder;
class IndexBufferBuilder;

/// Primitive topologies (the numbering of the device interface the scene code names).
enum EPrimitiveType : int {
    ePrimPointList = 1,
    ePrimLineList = 2,
    ePrimLineStrip = 3,
    ePrimTriangleList = 4,
    ePrimTriangleStrip = 5,
    ePrimTriangleFan = 6,
};

/// A mesh as data: float vertices in a format, optional 32-bit indices, a topology and a
/// box. Changing the data marks the mesh as needing preparing; Prepare drops primitives that
/// reference missing vertices (a backend must never read past the buffer) and moves the
/// version on so the backend uploads again.
class SimpleMesh : public IRenderGeom {
    LUMO_DECLARE_CLASS()
public:
    /// An empty mesh; a null format means position only.
    static SimpleMesh* Make(VertexFormat* format, EPrimitiveType type = ePrimTriangleList);
    /// A mesh of the builders' data (copied); without indices it draws the vertices in order.
    static SimpleMesh* Make(const VertexBufferBuilder& vertices, const IndexBufferBuilder& indices,
                            EPrimitiveType type = ePrimTriangleList);
    static SimpleMesh* Make(const VertexBufferBuilder& vertices, EPrimitiveType type);
    ~SimpleMesh() override;

    VertexFormat* Format() const { return m_format; }
    EPrimitiveType PrimitiveType() const { return m_type; }
    void PrimitiveType(EPrimitiveType type);

    int VertexCount() const;
    const float* VertexData() const { return m_vertices.data(); }
    /// Position of a vertex; zero for a bad index.
    Lumo::Objects::vec3<float> Position(int vertex) const;
    int IndexCount() const { return static_cast<int>(m_indices.size()); }
    const std::uint32_t* IndexData() const { return m_indices.data(); }
    /// Drawn through indices: set by SetIndices with any index, and kept when preparing
    /// drops them all (the vertices alone must not be drawn then).
    bool IsIndexed() const { return m_indexed; }
    /// Points, lines or triangles the topology makes of the indices (or the vertices).
    int PrimitiveCount() const;

    /// Replaces the vertices (a partial trailing vertex is dropped) and the box.
    void SetVertices(std::vector<float> data);
    void SetIndices(std::vector<std::uint32_t> indices);

    Lumo::Objects::SBox3 Box() const override { return m_box; }
    bool NeedsPreparing() const override { return m_needsPreparing.load(std::memory_order_acquire); }
    /// Keeps only whole primitives whose indices are in range (a strip or fan ends at its first
    /// bad index), then clears the flag; answers whether a primitive is left. The same mesh
    /// is drawn alike for every effect and level here.
    bool Prepare(EffectInstance* effect, int lod) override;

    /// What a picker derived from this mesh (a bounding volume hierarchy), kept with it so that
    /// every instance shares it; null when there is none or the mesh changed since it was set.
    Lumo::Objects::AutoPtr<Lumo::Objects::ARefCounted> PickData() const;
    /// Keeps data derived from the mesh as it is now.
    void PickData(Lumo::Objects::ARefCounted* data);

protected:
    SimpleMesh(VertexFormat* format, EPrimitiveType type);

private:
    void Changed();

    Lumo::Objects::AutoPtr<VertexFormat> m_format;
    EPrimitiveType m_type;
    std::vector<float> m_vertices;
    std::vector<std::uint32_t> m_indices;
    bool m_indexed = false;
    Lumo::Objects::SBox3 m_box;
    std::atomic<bool> m_needsPreparing{true};
    mutable Lumo::Objects::Threads::Mutex m_prepareMutex;          // meshes are shared by render items of several walks
    Lumo::Objects::AutoPtr<Lumo::Objects::ARefCounted> m_pickData; // guarded by m_prepareMutex
    std::uint64_t m_pickVersion = 0;
};

} // namespace Lumo::Devices
