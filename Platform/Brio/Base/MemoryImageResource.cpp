#include <Brio/Base/MemoryImageResource.h>

namespace Brio {

MemoryImageResource::~MemoryImageResource() = default;

StrongRef<MemoryImageResource> MemoryImageResource::make(int width, int height, int pixelFormat, int rowPitch,
                                                         std::vector<std::uint8_t> pixels) {
    if (width <= 0 || height <= 0 || pixelFormat != eRGBA8 || rowPitch < width * 4 ||
        pixels.size() < std::size_t(rowPitch) * std::size_t(height))
        return {};
    StrongRef<MemoryImageResource> image(new MemoryImageResource);
    image->m_width = width;
    image->m_height = height;
    image->m_format = pixelFormat;
    image->m_pitch = rowPitch;
    image->m_pixels = std::move(pixels);
    return image;
}

const std::uint8_t* MemoryImageResource::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return nullptr;
    return m_pixels.data() + std::size_t(y) * std::size_t(m_pitch) + std::size_t(x) * 4;
}

} // namespace Brio
