#include <Lumo/Devices/ImageLimitsInternal.h>
#include <Lumo/Devices/TextureInstance.h>
#include <Lumo/Devices/TextureLoader.h>
#include <Lumo/Objects/KString.h>
#include <Lumo/Objects/UString.h>

#include <climits>
#include <cstdint>
#include <cstring>
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
std::uint32_t Le32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
}
std::uint32_t Le16(const unsigned char* p) {
    return p[0] | p[1] << 8;
}

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

std::uint32_t Be32(const unsigned char* p) {
    return std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

/// The width and height a header declares; false when it is no header we know or is cut short
/// (the decoder then judges). Read ahead of the decoder so that a forged size is told apart.
bool DeclaredSize(const unsigned char* d, std::size_t size, std::int64_t& width, std::int64_t& height) {
    static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size >= 24 && std::memcmp(d, kPng, 8) == 0 && std::memcmp(d + 12, "IHDR", 4) == 0) {
        width = Be32(d + 16);
        height = Be32(d + 20);
        return true;
    }
    if (size >= 26 && d[0] == 'B' && d[1] == 'M') {
        if (Le32(d + 14) == 12) {
            width = Le16(d + 18);
            height = Le16(d + 20);
        } else {
            width = static_cast<std::int32_t>(Le32(d + 18));
            height = static_cast<std::int32_t>(Le32(d + 22));
        }
        height = height < 0 ? -height : height; // negative: rows top first
        return true;
    }
    if (size >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF) {
        for (std::size_t pos = 2; pos + 4 <= size && d[pos] == 0xFF;) {
            const unsigned char marker = d[pos + 1];
            if (marker == 0xFF || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
                pos += marker == 0xFF ? 1 : 2;
                continue;
            }
            const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
            if (frame) {
                if (pos + 9 > size)
                    return false;
                height = std::int64_t(d[pos + 5]) << 8 | d[pos + 6];
                width = std::int64_t(d[pos + 7]) << 8 | d[pos + 8];
                return true;
            }
            if (marker == 0xD9 || marker == 0xDA)
                return false;
            pos += 2 + (std::size_t(d[pos + 2]) << 8 | d[pos + 3]);
        }
    }
    return false;
}

// The decoder sets aside room for each chunk's declared length before reading it, so a few
// bytes declaring a 2 GiB chunk would cost 2 GiB: every chunk must fit in the file.
bool PngComplete(const unsigned char* d, std::size_t size) {
    std::size_t pos = 8;
    while (pos + 12 <= size) {
        const std::size_t length =
            std::size_t(d[pos]) << 24 | std::size_t(d[pos + 1]) << 16 | std::size_t(d[pos + 2]) << 8 | d[pos + 3];
        if (length > size - pos - 12)
            return false;
        if (std::memcmp(d + pos + 4, "IEND", 4) == 0)
            return true;
        pos += 12 + length;
    }
    return false;
}

// The decoder builds each Huffman table into room for 256 codes without checking that the
// table's 16 counts add up to no more, so a forged table would write past it: refuse those.
bool JpegTablesSound(const unsigned char* d, std::size_t size) {
    const auto at = [&](std::size_t i) -> std::size_t { return i < size ? d[i] : 0; }; // it reads 0 past the end
    std::size_t pos = 2;
    while (pos + 4 <= size) {
        if (d[pos] != 0xFF) {
            ++pos; // the decoder skips padding between segments looking for the next marker
            continue;
        }
        const unsigned char marker = d[pos + 1];
        if (marker == 0xFF) {
            ++pos;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            pos += 2;
            continue;
        }
        if (marker == 0xD9)
            return true;
        const std::size_t end = pos + 2 + (std::size_t(d[pos + 2]) << 8 | d[pos + 3]);
        if (marker == 0xC4)
            for (std::size_t p = pos + 4; p < end;) {
                std::size_t n = 0;
                for (std::size_t i = 1; i <= 16; ++i)
                    n += at(p + i);
                if (n > 256)
                    return false;
                p += 17 + n;
            }
        pos = end;
        if (marker == 0xDA) // past the scan's data, where 0xFF is followed by 0 or a restart marker
            while (pos + 1 < size && !(d[pos] == 0xFF && d[pos + 1] != 0 && (d[pos + 1] < 0xD0 || d[pos + 1] > 0xD7)))
                ++pos;
    }
    return true;
}

bool LooksComplete(const unsigned char* d, std::size_t size) {
    if (size >= 8 && std::memcmp(d, "\x89PNG\r\n\x1a\n", 8) == 0)
        return PngComplete(d, size);
    if (size >= 2 && d[0] == 'B' && d[1] == 'M')
        return BmpComplete(d, size);
    if (size >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF)
        return JpegComplete(d, size);
    return true;
}

} // namespace

TextureInstance* TextureLoader::LoadMemory(const void* data, std::size_t size, std::string* error) {
    const auto fail = [error](std::string why) -> TextureInstance* {
        if (error)
            *error = std::move(why);
        return nullptr;
    };
    if (!data || size == 0)
        return fail("no image data");
    if (size > static_cast<std::size_t>(INT_MAX))
        return fail("image data of " + std::to_string(size) + " bytes is too large");
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::int64_t width = 0, height = 0;
    if (DeclaredSize(bytes, size, width, height)) {
        const long long side = TextureInstance::kMaxSize;
        if (std::string why = ImageSizeRefusal(width, height, side * side); !why.empty())
            return fail(why);
    }
    if (!LooksComplete(bytes, size))
        return fail("the image is cut short");
    // The decoder takes fill bytes (0xFF) before the start-of-image marker too.
    std::size_t soi = 0;
    while (soi < size && bytes[soi] == 0xFF)
        ++soi;
    if (soi >= 1 && soi < size && bytes[soi] == 0xD8 && !JpegTablesSound(bytes + soi - 1, size - soi + 1))
        return fail("the image's Huffman tables are corrupt");
    int w = 0, h = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes, static_cast<int>(size), &w, &h, &channels, 4);
    if (!pixels)
        return fail(std::string("cannot decode the image (") + stbi_failure_reason() + ")");
    TextureInstance* texture = TextureInstance::Make(w, h, pixels);
    stbi_image_free(pixels);
    if (!texture)
        return fail("cannot make a texture of " + std::to_string(w) + " x " + std::to_string(h) + " pixels");
    return texture;
}

TextureInstance* TextureLoader::LoadUtf8(std::string_view path, std::string* error) {
    std::vector<unsigned char> bytes;
    const std::string file(path);
    if (path.empty() || !ReadFile(file, bytes)) {
        if (error)
            *error = file + ": cannot read the file";
        return nullptr;
    }
    TextureInstance* texture = LoadMemory(bytes.data(), bytes.size(), error);
    if (texture)
        texture->SourcePath(Lumo::Objects::InternUtf8(path));
    else if (error)
        *error = file + ": " + *error;
    return texture;
}

TextureInstance* TextureLoader::Load(std::wstring_view path, std::string* error) {
    return LoadUtf8(Lumo::Objects::KString(std::wstring(path)).Utf8(), error);
}

} // namespace Lumo::Devices
