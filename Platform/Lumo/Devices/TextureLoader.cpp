#include <Lumo/Devices/ImageLimitsInternal.h>
#include <Lumo/Devices/TextureInstance.h>
#include <Lumo/Devices/TextureLoader.h>
#include <Lumo/Objects/KString.h>
#include <Lumo/Objects/UString.h>

#include <climits>
#include <csetjmp>
#include <cstdint>
#include <cstdio> // jpeglib.h needs FILE declared first
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <jpeglib.h>

// PNG and BMP decode with stb, kept private to this library: static linkage, only the formats
// we offer, and no images beyond what a texture may hold. JPEG goes to libjpeg-turbo, whose
// entropy decoder holds up against corrupt data where stb's does not.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
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

bool LooksComplete(const unsigned char* d, std::size_t size) {
    if (size >= 8 && std::memcmp(d, "\x89PNG\r\n\x1a\n", 8) == 0)
        return PngComplete(d, size);
    if (size >= 2 && d[0] == 'B' && d[1] == 'M')
        return BmpComplete(d, size);
    if (size >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF)
        return JpegComplete(d, size);
    return true;
}

/// Where a JPEG's start-of-image marker begins, past any fill bytes (0xFF) ahead of it, which
/// readers accept; npos when the data is no JPEG.
std::size_t JpegStart(const unsigned char* d, std::size_t size) {
    std::size_t i = 0;
    while (i < size && d[i] == 0xFF)
        ++i;
    return i >= 1 && i < size && d[i] == 0xD8 ? i - 1 : std::string::npos;
}

// Coefficient buffers of a progressive image and the like; 16384 x 16384 pixels in three
// components at full resolution need 1.5 GiB, which is refused rather than attempted.
constexpr long kJpegMaxMemory = 1L << 30;
// Each scan of a progressive image re-reads the whole coefficient buffer, so thousands of tiny
// scans would take minutes; real encoders write about ten.
constexpr int kJpegMaxScans = 1000;

struct JpegErrors {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void JpegFail(j_common_ptr cinfo) {
    auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, errors->message);
    std::longjmp(errors->jump, 1);
}

void JpegQuiet(j_common_ptr, int) {} // corrupt-data warnings: the image is shown as decoded

void JpegProgress(j_common_ptr cinfo) {
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kJpegMaxScans) {
        auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
        std::snprintf(errors->message, sizeof errors->message, "more than %d scans", kJpegMaxScans);
        std::longjmp(errors->jump, 1);
    }
}

/// Decodes into RGBA rows in `pixels`, which the caller owns so that nothing needing a
/// destructor lives in the frames a decoding error jumps over. Empty on success, else why.
std::string DecodeJpeg(const unsigned char* d, std::size_t size, int& width, int& height,
                       std::vector<unsigned char>& pixels) {
    jpeg_decompress_struct cinfo;
    JpegErrors errors;
    cinfo.err = jpeg_std_error(&errors.mgr);
    errors.mgr.error_exit = JpegFail;
    errors.mgr.emit_message = JpegQuiet;
    jpeg_progress_mgr progress;
    progress.progress_monitor = JpegProgress;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return std::string("cannot decode the image (") + errors.message + ")";
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = kJpegMaxMemory;
    cinfo.progress = &progress;
    jpeg_mem_src(&cinfo, d, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    const long long side = TextureInstance::kMaxSize;
    if (std::string why = ImageSizeRefusal(cinfo.image_width, cinfo.image_height, side * side); !why.empty()) {
        jpeg_destroy_decompress(&cinfo);
        return why;
    }
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
    jpeg_start_decompress(&cinfo);
    width = static_cast<int>(cinfo.output_width);
    height = static_cast<int>(cinfo.output_height);
    const std::size_t stride = std::size_t(width) * 4;
    pixels.resize(stride * std::size_t(height));
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = pixels.data() + stride * cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    const bool adobe = cinfo.saw_Adobe_marker;
    jpeg_destroy_decompress(&cinfo);
    if (cmyk) // to RGB by multiplying through the black; Adobe's files store the inks inverted
        for (std::size_t i = 0; i < pixels.size(); i += 4) {
            unsigned c = pixels[i], m = pixels[i + 1], y = pixels[i + 2], k = pixels[i + 3];
            if (!adobe) {
                c = 255 - c;
                m = 255 - m;
                y = 255 - y;
                k = 255 - k;
            }
            pixels[i] = static_cast<unsigned char>((c * k + 127) / 255);
            pixels[i + 1] = static_cast<unsigned char>((m * k + 127) / 255);
            pixels[i + 2] = static_cast<unsigned char>((y * k + 127) / 255);
            pixels[i + 3] = 255;
        }
    return {};
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
    const std::size_t jpegStart = JpegStart(bytes, size);
    const bool jpeg = jpegStart != std::string::npos;
    if (jpeg) {
        bytes += jpegStart;
        size -= jpegStart;
    }
    std::int64_t width = 0, height = 0;
    if (DeclaredSize(bytes, size, width, height)) {
        const long long side = TextureInstance::kMaxSize;
        if (std::string why = ImageSizeRefusal(width, height, side * side); !why.empty())
            return fail(why);
    }
    if (!LooksComplete(bytes, size))
        return fail("the image is cut short");
    int w = 0, h = 0, channels = 0;
    TextureInstance* texture = nullptr;
    if (jpeg) {
        std::vector<unsigned char> pixels;
        if (std::string why = DecodeJpeg(bytes, size, w, h, pixels); !why.empty())
            return fail(why);
        texture = TextureInstance::Make(w, h, pixels.data());
    } else {
        stbi_uc* pixels = stbi_load_from_memory(bytes, static_cast<int>(size), &w, &h, &channels, 4);
        if (!pixels)
            return fail(std::string("cannot decode the image (") + stbi_failure_reason() + ")");
        texture = TextureInstance::Make(w, h, pixels);
        stbi_image_free(pixels);
    }
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
