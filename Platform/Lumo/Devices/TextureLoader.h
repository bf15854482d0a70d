#pragma once
#include <cstddef>
#include <string_view>

namespace Lumo::Devices {

class TextureInstance;

/// Reads PNG, JPEG and BMP images into new RGBA8 textures (rows top first, no reference
/// added). A missing, unreadable, truncated or corrupt file gives null.
class TextureLoader {
public:
    static TextureInstance* Load(std::wstring_view path);
    static TextureInstance* LoadUtf8(std::string_view path);
    /// Decodes an image held in memory.
    static TextureInstance* LoadMemory(const void* data, std::size_t size);
};

} // namespace Lumo::Devices
