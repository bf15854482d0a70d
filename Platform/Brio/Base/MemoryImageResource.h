#pragma once
#include <Brio/Base/RefCounted.h>
#include <Brio/Base/StrongRef.h>

#include <cstdint>
#include <vector>

namespace Brio {

/// An image in memory: width x height pixels, rows top first, each row `rowPitch` bytes.
/// Pixel format 1 is 8-bit RGBA (the only one the renderers answer).
class MemoryImageResource : public RefCounted {
public:
    enum EPixelFormat : int { eRGBA8 = 1 };

    /// Null when the sizes are not positive, the pitch is shorter than a row or the data is
    /// shorter than height rows.
    static StrongRef<MemoryImageResource> make(int width, int height, int pixelFormat, int rowPitch,
                                               std::vector<std::uint8_t> pixels);

    int width() const { return m_width; }
    int height() const { return m_height; }
    int pixelFormat() const { return m_format; }
    int rowPitch() const { return m_pitch; }
    const std::vector<std::uint8_t>& pixels() const { return m_pixels; }
    /// The first byte of pixel (x, y); null outside the image.
    const std::uint8_t* pixel(int x, int y) const;

private:
    MemoryImageResource() = default;
    ~MemoryImageResource() override;
    int m_width = 0, m_height = 0, m_format = 0, m_pitch = 0;
    std::vector<std::uint8_t> m_pixels;
};

} // namespace Brio
