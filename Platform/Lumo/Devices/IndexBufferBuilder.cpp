#include <Lumo/Devices/IndexBufferBuilder.h>

#include <algorithm>

namespace Lumo::Devices {

void IndexBufferBuilder::AddLine(std::uint32_t a, std::uint32_t b) {
    m_data.insert(m_data.end(), {m_base + a, m_base + b});
}

void IndexBufferBuilder::AddTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    m_data.insert(m_data.end(), {m_base + a, m_base + b, m_base + c});
}

void IndexBufferBuilder::AddQuad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
    AddTriangle(a, b, c);
    AddTriangle(a, c, d);
}

bool IndexBufferBuilder::FitsShortIndices() const {
    return std::all_of(m_data.begin(), m_data.end(), [](std::uint32_t i) { return i <= 0xFFFF; });
}

void IndexBufferBuilder::Reserve(int indices) {
    if (indices > 0)
        m_data.reserve(static_cast<std::size_t>(indices));
}

} // namespace Lumo::Devices
