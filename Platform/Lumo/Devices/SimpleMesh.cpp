#include <Lumo/Devices/IndexBufferBuilder.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Devices/VertexBufferBuilder.h>
#include <Lumo/Devices/VertexFormat.h>

namespace Lumo::Devices {

using Lumo::Objects::AutoPtr;
using Lumo::Objects::SBox3;
using Lumo::Objects::vec3;

LUMO_DEFINE_CLASS(SimpleMesh, IRenderGeom)

namespace {
// Indices per primitive of a list topology; 0 for strips and fans.
int ListSize(EPrimitiveType type) {
    switch (type) {
    case ePrimPointList:
        return 1;
    case ePrimLineList:
        return 2;
    case ePrimTriangleList:
        return 3;
    default:
        return 0;
    }
}
} // namespace

SimpleMesh::SimpleMesh(VertexFormat* format, EPrimitiveType type)
    : m_format(format ? AutoPtr<VertexFormat>(format) : AutoPtr<VertexFormat>(VertexFormat::Make(eVertexPosition))),
      m_type(type) {}

SimpleMesh::~SimpleMesh() = default;

SimpleMesh* SimpleMesh::Make(VertexFormat* format, EPrimitiveType type) {
    return new SimpleMesh(format, type);
}

SimpleMesh* SimpleMesh::Make(const VertexBufferBuilder& vertices, const IndexBufferBuilder& indices,
                             EPrimitiveType type) {
    SimpleMesh* mesh = new SimpleMesh(vertices.Format(), type);
    mesh->SetVertices(vertices.Data());
    mesh->SetIndices(indices.Data());
    return mesh;
}

SimpleMesh* SimpleMesh::Make(const VertexBufferBuilder& vertices, EPrimitiveType type) {
    SimpleMesh* mesh = new SimpleMesh(vertices.Format(), type);
    mesh->SetVertices(vertices.Data());
    return mesh;
}

void SimpleMesh::Changed() {
    m_needsPreparing.store(true, std::memory_order_release);
    MarkChanged();
}

void SimpleMesh::PrimitiveType(EPrimitiveType type) {
    m_type = type;
    Changed();
}

int SimpleMesh::VertexCount() const {
    return static_cast<int>(m_vertices.size()) / m_format->Stride();
}

vec3<float> SimpleMesh::Position(int vertex) const {
    if (vertex < 0 || vertex >= VertexCount())
        return {};
    const float* p = m_vertices.data() + static_cast<std::size_t>(vertex) * m_format->Stride();
    return {p[0], p[1], p[2]};
}

int SimpleMesh::PrimitiveCount() const {
    const int n = IsIndexed() ? IndexCount() : VertexCount();
    if (int k = ListSize(m_type))
        return n / k;
    switch (m_type) {
    case ePrimLineStrip:
        return n > 1 ? n - 1 : 0;
    case ePrimTriangleStrip:
    case ePrimTriangleFan:
        return n > 2 ? n - 2 : 0;
    default:
        return 0;
    }
}

void SimpleMesh::SetVertices(std::vector<float> data) {
    const std::size_t stride = static_cast<std::size_t>(m_format->Stride());
    data.resize(data.size() / stride * stride);
    m_vertices = std::move(data);
    m_box.SetEmpty();
    for (std::size_t i = 0; i < m_vertices.size(); i += stride)
        m_box.Extend(vec3<double>(m_vertices[i], m_vertices[i + 1], m_vertices[i + 2]));
    Changed();
}

void SimpleMesh::SetIndices(std::vector<std::uint32_t> indices) {
    m_indices = std::move(indices);
    m_indexed = !m_indices.empty();
    Changed();
}

bool SimpleMesh::Prepare(EffectInstance*, int) {
    Lumo::Objects::Threads::MutexLocker lock(m_prepareMutex);
    if (NeedsPreparing() && IsIndexed()) {
        const auto vertexCount = static_cast<std::uint32_t>(VertexCount());
        std::vector<std::uint32_t> kept;
        kept.reserve(m_indices.size());
        if (int k = ListSize(m_type)) {
            for (std::size_t i = 0; i + k <= m_indices.size(); i += k) {
                bool whole = true;
                for (int j = 0; j < k; ++j)
                    whole = whole && m_indices[i + j] < vertexCount;
                if (whole)
                    kept.insert(kept.end(), m_indices.begin() + i, m_indices.begin() + i + k);
            }
        } else {
            for (std::uint32_t i : m_indices) {
                if (i >= vertexCount)
                    break;
                kept.push_back(i);
            }
        }
        if (kept.size() != m_indices.size()) {
            m_indices.swap(kept);
            MarkChanged();
        }
    }
    m_needsPreparing.store(false, std::memory_order_release);
    return PrimitiveCount() > 0;
}

} // namespace Lumo::Devices

namespace Lumo::Devices {

Lumo::Objects::AutoPtr<Lumo::Objects::ARefCounted> SimpleMesh::PickData() const {
    Lumo::Objects::Threads::MutexLocker lock(m_prepareMutex);
    if (m_pickData && m_pickVersion == Version())
        return m_pickData;
    return {};
}

void SimpleMesh::PickData(Lumo::Objects::ARefCounted* data) {
    Lumo::Objects::Threads::MutexLocker lock(m_prepareMutex);
    m_pickData = data;
    m_pickVersion = Version();
}

} // namespace Lumo::Devices
