#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace Lumo::Devices {

class TextureInstance;

/// Reads PNG, JPEG and BMP images into new RGBA8 textures (rows top first, no reference
/// added). A missing, unreadable, truncated or corrupt file gives null, and so does an image
/// whose header declares more than TextureInstance::kMaxSize pixels a side (refused before
/// anything is allocated for it); the reason, naming the file, goes to error when given.
class TextureLoader {
public:
    static TextureInstance* Load(std::wstring_view path, std::string* error = nullptr);
    static TextureInstance* LoadUtf8(std::string_view path, std::string* error = nullptr);
    /// Decodes an image held in memory.
    static TextureInstance* LoadMemory(const void* data, std::size_t size, std::string* error = nullptr);
};

} // namespace Lumo::Devices
