#pragma once
#include <Lumo/Devices/VertexFormat.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/SBox3.h>
#include <Lumo/Objects/Vec.h>

#include <vector>

namespace Lumo::Devices {

/// Appends vertices in a format. The normal, colour and texture coordinate set last are
/// used by each following AddVertex, so a run of vertices sharing them sets them once.
class VertexBufferBuilder {
public:
    explicit VertexBufferBuilder(unsigned components);
    /// Uses the (shared) format; null means position only.
    explicit VertexBufferBuilder(VertexFormat* format);

    VertexFormat* Format() const { return m_format; }

    void Normal(const Lumo::Objects::vec3<float>& n) { m_normal = n; }
    void Color(const Lumo::Objects::vec4<float>& c) { m_color = c; }
    void TexCoord(const Lumo::Objects::vec2<float>& uv) { m_uv = uv; }

    /// Appends a vertex at p with the current values; answers its index.
    int AddVertex(const Lumo::Objects::vec3<float>& p);
    int AddVertex(const Lumo::Objects::vec3<float>& p, const Lumo::Objects::vec3<float>& normal);
    int AddVertex(const Lumo::Objects::vec3<float>& p, const Lumo::Objects::vec2<float>& uv);

    int VertexCount() const;
    const std::vector<float>& Data() const { return m_data; }
    /// Box of the positions appended so far.
    const Lumo::Objects::SBox3& Box() const { return m_box; }
    void Reserve(int vertices);
    void Clear();

private:
    Lumo::Objects::AutoPtr<VertexFormat> m_format;
    std::vector<float> m_data;
    Lumo::Objects::SBox3 m_box;
    Lumo::Objects::vec3<float> m_normal{0, 0, 1};
    Lumo::Objects::vec4<float> m_color{1, 1, 1, 1};
    Lumo::Objects::vec2<float> m_uv{0, 0};
};

} // namespace Lumo::Devices
