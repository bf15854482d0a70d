#pragma once
#include <cstdint>
#include <string_view>

namespace Lumo::Devices {

class TextureInstance;

/// Writes RGBA8 images (rows top first) as PNG files. On any failure the answer is false and
/// no partial file is left behind.
class PngWriter {
public:
    /// rowPitch 0 means tightly packed rows.
    static bool Write(std::wstring_view path, int width, int height, const std::uint8_t* rgba, int rowPitch = 0);
    static bool WriteUtf8(std::string_view path, int width, int height, const std::uint8_t* rgba, int rowPitch = 0);
    /// Writes the texture's base level (which must not be locked).
    static bool Write(std::wstring_view path, TextureInstance* texture);
};

} // namespace Lumo::Devices
