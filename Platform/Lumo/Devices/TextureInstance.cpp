#include <Lumo/Devices/TextureInstance.h>

#include <cstring>

namespace Lumo::Devices {

LUMO_DEFINE_CLASS(TextureInstance, ADeviceResource)

TextureInstance::TextureInstance(int width, int height)
    : m_width(width), m_height(height),
      m_pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0) {}

TextureInstance* TextureInstance::Make(int width, int height, const std::uint8_t* pixels, int rowPitch) {
    if (width <= 0 || height <= 0 || width > kMaxSize || height > kMaxSize)
        return nullptr;
    const int tight = width * 4;
    if (rowPitch == 0)
        rowPitch = tight;
    if (rowPitch < tight)
        return nullptr;
    TextureInstance* t = new TextureInstance(width, height);
    if (pixels)
        for (int y = 0; y < height; ++y)
            std::memcpy(t->m_pixels.data() + static_cast<std::size_t>(y) * tight,
                        pixels + static_cast<std::size_t>(y) * rowPitch, static_cast<std::size_t>(tight));
    return t;
}

SLockedLevel TextureInstance::LockLevel(int level, bool forWrite) {
    if (level != 0 || m_locked)
        return {};
    m_locked = true;
    m_writeLocked = forWrite;
    return {m_pixels.data(), m_width * 4, m_width, m_height};
}

void TextureInstance::UnlockLevel(int level) {
    if (level != 0 || !m_locked)
        return;
    if (m_writeLocked)
        MarkChanged();
    m_locked = m_writeLocked = false;
}

bool TextureInstance::HasAlpha() const {
    for (std::size_t i = 3; i < m_pixels.size(); i += 4)
        if (m_pixels[i] != 255)
            return true;
    return false;
}

void TextureInstance::Sampling(ETextureFilter filter, ETextureAddress address) {
    m_filter = filter;
    m_addressU = m_addressV = address;
}

} // namespace Lumo::Devices
