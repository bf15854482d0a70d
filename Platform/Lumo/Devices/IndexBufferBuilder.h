#pragma once
#include <cstdint>
#include <vector>

namespace Lumo::Devices {

/// Appends 32-bit vertex indices: single indices, lines, triangles, quads. A base vertex
/// added to every index lets parts built on their own be appended after each other.
class IndexBufferBuilder {
public:
    void AddIndex(std::uint32_t i) { m_data.push_back(m_base + i); }
    void AddLine(std::uint32_t a, std::uint32_t b);
    void AddTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c);
    /// Two triangles a-b-c and a-c-d (a, b, c, d in order round the quad).
    void AddQuad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d);

    std::uint32_t BaseVertex() const { return m_base; }
    void BaseVertex(std::uint32_t base) { m_base = base; }

    int IndexCount() const { return static_cast<int>(m_data.size()); }
    const std::vector<std::uint32_t>& Data() const { return m_data; }
    /// True when every index fits 16 bits (a backend may then upload short indices).
    bool FitsShortIndices() const;
    void Reserve(int indices);
    void Clear() { m_data.clear(); }

private:
    std::vector<std::uint32_t> m_data;
    std::uint32_t m_base = 0;
};

} // namespace Lumo::Devices
