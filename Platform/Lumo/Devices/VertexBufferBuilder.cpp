#include <Lumo/Devices/VertexBufferBuilder.h>

namespace Lumo::Devices {

using Lumo::Objects::AutoPtr;
using Lumo::Objects::vec2;
using Lumo::Objects::vec3;

VertexBufferBuilder::VertexBufferBuilder(unsigned components)
    : m_format(AutoPtr<VertexFormat>(VertexFormat::Make(components))) {}

VertexBufferBuilder::VertexBufferBuilder(VertexFormat* format)
    : m_format(format ? AutoPtr<VertexFormat>(format) : AutoPtr<VertexFormat>(VertexFormat::Make(eVertexPosition))) {}

int VertexBufferBuilder::AddVertex(const vec3<float>& p) {
    const int index = VertexCount();
    m_data.insert(m_data.end(), {p.x, p.y, p.z});
    if (m_format->Has(eVertexNormal))
        m_data.insert(m_data.end(), {m_normal.x, m_normal.y, m_normal.z});
    if (m_format->Has(eVertexColor))
        m_data.insert(m_data.end(), {m_color.x, m_color.y, m_color.z, m_color.w});
    if (m_format->Has(eVertexTexCoord))
        m_data.insert(m_data.end(), {m_uv.x, m_uv.y});
    m_box.Extend(vec3<double>(p.x, p.y, p.z));
    return index;
}

int VertexBufferBuilder::AddVertex(const vec3<float>& p, const vec3<float>& normal) {
    m_normal = normal;
    return AddVertex(p);
}

int VertexBufferBuilder::AddVertex(const vec3<float>& p, const vec2<float>& uv) {
    m_uv = uv;
    return AddVertex(p);
}

int VertexBufferBuilder::VertexCount() const {
    return static_cast<int>(m_data.size()) / m_format->Stride();
}

void VertexBufferBuilder::Reserve(int vertices) {
    if (vertices > 0)
        m_data.reserve(static_cast<std::size_t>(vertices) * static_cast<std::size_t>(m_format->Stride()));
}

void VertexBufferBuilder::Clear() {
    m_data.clear();
    m_box.SetEmpty();
}

} // namespace Lumo::Devices
