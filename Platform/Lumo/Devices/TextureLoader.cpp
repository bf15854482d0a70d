#include <Lumo/Devices/TextureInstance.h>
#include <Lumo/Devices/TextureLoader.h>
#include <Lumo/Objects/KString.h>
#include <Lumo/Objects/UString.h>

#include <climits>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

// The decoder stays private to this library: static linkage, only the formats we offer,
// and no images beyond what a texture may hold.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS 16384
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace Lumo::Devices {

static_assert(STBI_MAX_DIMENSIONS == TextureInstance::kMaxSize);

namespace {
// Larger files cannot hold an image we would accept at any sane compression.
constexpr std::streamoff kMaxFileBytes = std::streamoff(1) << 30;

bool ReadFile(const std::string& path, std::vector<unsigned char>& out) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return false;
    const std::streamoff size = in.tellg();
    if (size <= 0 || size > kMaxFileBytes)
        return false;
    out.resize(static_cast<std::size_t>(size));
    in.seekg(0);
    return static_cast<bool>(in.read(reinterpret_cast<char*>(out.data()), size));
}
std::uint32_t Le32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24; }
std::uint32_t Le16(const unsigned char* p) { return p[0] | p[1] << 8; }

// The decoder fills what is missing from a cut-off BMP or JPEG with black instead of failing,
// so a file cut short in transit would show as a texture with a black band: catch the cut here.
bool BmpComplete(const unsigned char* d, std::size_t size) {
    if (size < 26)
        return false;
    const std::uint32_t offset = Le32(d + 10), header = Le32(d + 14);
    std::int64_t width, height, bpp, compression = 0;
    if (header == 12) { // the old OS/2 header
        width = Le16(d + 18);
        height = Le16(d + 20);
        bpp = Le16(d + 24);
    } else {
        if (size < 34)
            return false;
        width = static_cast<std::int32_t>(Le32(d + 18));
        height = static_cast<std::int32_t>(Le32(d + 22));
        bpp = Le16(d + 28);
        compression = Le32(d + 30);
    }
    if (compression != 0 && compression != 3 && compression != 6)
        return true; // run-length data: its size is not known ahead; the decoder checks
    height = height < 0 ? -height : height;
    const std::int64_t rowBytes = (width * bpp + 31) / 32 * 4;
    return width > 0 && bpp > 0 && std::int64_t(offset) + rowBytes * height <= std::int64_t(size);
}

bool JpegComplete(const unsigned char* d, std::size_t size) {
    std::size_t pos = 2;
    while (pos + 4 <= size) {
        if (d[pos] != 0xFF)
            return true; // not the structure we follow: the decoder judges
        const unsigned char marker = d[pos + 1];
        if (marker == 0xFF) { // fill byte
            ++pos;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            pos += 2;
            continue;
        }
        if (marker == 0xD9)
            return false; // ends before any scan
        const std::size_t length = std::size_t(d[pos + 2]) << 8 | d[pos + 3];
        if (marker == 0xDA) {
            // Inside scan data a 0xFF byte is always followed by 0 or a restart marker,
            // so the end-of-image marker can only be the real one.
            for (std::size_t i = pos + 2 + length; i + 1 < size; ++i)
                if (d[i] == 0xFF && d[i + 1] == 0xD9)
                    return true;
            return false;
        }
        pos += 2 + length;
    }
    return false;
}

bool LooksComplete(const unsigned char* d, std::size_t size) {
    if (size >= 2 && d[0] == 'B' && d[1] == 'M')
        return BmpComplete(d, size);
    if (size >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF)
        return JpegComplete(d, size);
    return true;
}

} // namespace

TextureInstance* TextureLoader::LoadMemory(const void* data, std::size_t size) {
    if (!data || size == 0 || size > static_cast<std::size_t>(INT_MAX))
        return nullptr;
    if (!LooksComplete(static_cast<const unsigned char*>(data), size))
        return nullptr;
    int w = 0, h = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(static_cast<const stbi_uc*>(data), static_cast<int>(size), &w, &h,
                                            &channels, 4);
    if (!pixels)
        return nullptr;
    TextureInstance* texture = TextureInstance::Make(w, h, pixels);
    stbi_image_free(pixels);
    return texture;
}

TextureInstance* TextureLoader::LoadUtf8(std::string_view path) {
    std::vector<unsigned char> bytes;
    if (path.empty() || !ReadFile(std::string(path), bytes))
        return nullptr;
    TextureInstance* texture = LoadMemory(bytes.data(), bytes.size());
    if (texture)
        texture->SourcePath(Lumo::Objects::InternUtf8(path));
    return texture;
}

TextureInstance* TextureLoader::Load(std::wstring_view path) {
    return LoadUtf8(Lumo::Objects::KString(std::wstring(path)).Utf8());
}

} // namespace Lumo::Devices
