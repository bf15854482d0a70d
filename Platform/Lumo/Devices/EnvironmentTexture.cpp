#include <Lumo/Devices/EnvironmentTexture.h>

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/ImageLimitsInternal.h>

#include <ImfArray.h>
#include <ImfEnvmap.h>
#include <ImfHeader.h>
#include <ImfRgbaFile.h>
#include <ImfStandardAttributes.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <fstream>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace Lumo::Devices {

using Lumo::Objects::vec3;
using Lumo::Objects::vec4;

LUMO_DEFINE_CLASS(EnvironmentTexture, TextureInstance)

namespace {

constexpr double kPi = 3.14159265358979323846;

IMATH_NAMESPACE::Box2i Window(int width, int height) {
    return IMATH_NAMESPACE::Box2i(IMATH_NAMESPACE::V2i(0, 0), IMATH_NAMESPACE::V2i(width - 1, height - 1));
}

void SetError(std::string* error, std::string text) {
    if (error)
        *error = std::move(text);
}

/// Width and height of every part's data window as the file's headers declare them, read
/// ahead of OpenEXR, which sizes its line buffers from them as it opens the file. Empty when
/// the headers are not laid out as we expect: OpenEXR then judges the file.
std::vector<std::pair<long long, long long>> DeclaredSizes(const std::filesystem::path& path) {
    std::vector<std::pair<long long, long long>> sizes;
    std::ifstream in(path, std::ios::binary);
    unsigned char start[8];
    if (!in.read(reinterpret_cast<char*>(start), 8) || start[0] != 0x76 || start[1] != 0x2F || start[2] != 0x31 ||
        start[3] != 0x01)
        return {};
    const bool multipart = start[5] & 0x10; // version flags, bit 12
    const auto word = [](const unsigned char* p) {
        return std::int32_t(std::uint32_t(p[0]) | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24);
    };
    const auto text = [&in](std::string& out) {
        out.clear();
        for (char c; in.get(c);) {
            if (c == 0)
                return true;
            if (out.size() >= 255)
                return false;
            out += c;
        }
        return false;
    };
    std::string name, type;
    bool headerEmpty = true;
    for (int attributes = 0; attributes < 100000; ++attributes) {
        if (!text(name))
            return {};
        if (name.empty()) { // the end of a header; in a multi-part file an empty one ends the list
            if (!multipart || headerEmpty)
                return sizes;
            headerEmpty = true;
            continue;
        }
        headerEmpty = false;
        unsigned char length[4];
        if (!text(type) || !in.read(reinterpret_cast<char*>(length), 4) || word(length) < 0)
            return {};
        if (name == "dataWindow" && type == "box2i" && word(length) == 16) {
            unsigned char box[16];
            if (!in.read(reinterpret_cast<char*>(box), 16))
                return {};
            sizes.emplace_back((long long)word(box + 8) - word(box) + 1, (long long)word(box + 12) - word(box + 4) + 1);
        } else if (!in.seekg(word(length), std::ios::cur)) {
            return {};
        }
    }
    return {};
}

} // namespace

EnvironmentTexture::EnvironmentTexture(int width, int height, std::vector<float> rgba, ELayout layout)
    : TextureInstance(width, height), m_hdr(std::move(rgba)), m_layout(layout) {
    // Longitude wraps round; latitude and cube faces end at their edges.
    AddressU(layout == eLatLong ? eAddressRepeat : eAddressClamp);
    AddressV(eAddressClamp);
    EncodeBaseLevel();
}

EnvironmentTexture* EnvironmentTexture::Make(int width, int height, std::vector<float> rgba, ELayout layout) {
    if (width <= 0 || height <= 0 || width > kMaxSize || height > kMaxSize)
        return nullptr;
    if (layout != eLatLong && layout != eCube)
        return nullptr;
    if (layout == eCube && height != 6 * width)
        return nullptr;
    if (rgba.size() != std::size_t(width) * std::size_t(height) * 4)
        return nullptr;
    for (float v : rgba)
        if (!std::isfinite(v))
            return nullptr;
    return new EnvironmentTexture(width, height, std::move(rgba), layout);
}

void EnvironmentTexture::EncodeBaseLevel() {
    SLockedLevel level = LockLevel(0, true);
    if (!level)
        return;
    for (int y = 0; y < level.height; ++y)
        for (int x = 0; x < level.width; ++x) {
            const float* t = &m_hdr[(std::size_t(y) * level.width + x) * 4];
            float r = std::max(t[0], 0.0f), g = std::max(t[1], 0.0f), b = std::max(t[2], 0.0f);
            float m = std::clamp(std::max({r, g, b}) / kRgbmRange, 0.0f, 1.0f);
            m = std::ceil(m * 255.0f) / 255.0f;
            std::uint8_t* p = level.data + std::size_t(y) * level.rowPitch + std::size_t(x) * 4;
            const float scale = m > 0.0f ? 1.0f / (m * kRgbmRange) : 0.0f;
            p[0] = std::uint8_t(std::lround(std::clamp(r * scale, 0.0f, 1.0f) * 255.0f));
            p[1] = std::uint8_t(std::lround(std::clamp(g * scale, 0.0f, 1.0f) * 255.0f));
            p[2] = std::uint8_t(std::lround(std::clamp(b * scale, 0.0f, 1.0f) * 255.0f));
            p[3] = std::uint8_t(std::lround(m * 255.0f));
        }
    UnlockLevel(0);
}

vec4<float> EnvironmentTexture::Texel(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width() || y >= Height())
        return {};
    const float* t = &m_hdr[(std::size_t(y) * Width() + x) * 4];
    return {t[0], t[1], t[2], t[3]};
}

vec3<float> EnvironmentTexture::Sample(const vec3<float>& direction) const {
    if (direction.x == 0.0f && direction.y == 0.0f && direction.z == 0.0f)
        return {};
    const IMATH_NAMESPACE::V3f dir(direction.x, direction.y, direction.z);
    if (m_layout == eCube) {
        const IMATH_NAMESPACE::Box2i dw = Window(Width(), Height());
        Imf::CubeMapFace face;
        IMATH_NAMESPACE::V2f inFace;
        Imf::CubeMap::faceAndPixelPosition(dir, dw, face, inFace);
        IMATH_NAMESPACE::V2f p = Imf::CubeMap::pixelPosition(face, dw, inFace);
        vec4<float> t = Texel(int(std::lround(p.x)), int(std::lround(p.y)));
        return {t.x, t.y, t.z};
    }
    const IMATH_NAMESPACE::V2f p = Imf::LatLongMap::pixelPosition(Window(Width(), Height()), dir);
    const float fx = std::floor(p.x), fy = std::floor(p.y);
    const float ax = p.x - fx, ay = p.y - fy;
    const int w = Width(), h = Height();
    auto at = [&](int x, int y) {
        x = ((x % w) + w) % w;
        y = std::clamp(y, 0, h - 1);
        return Texel(x, y);
    };
    const int x0 = int(fx), y0 = int(fy);
    vec4<float> top = at(x0, y0) * (1 - ax) + at(x0 + 1, y0) * ax;
    vec4<float> bottom = at(x0, y0 + 1) * (1 - ax) + at(x0 + 1, y0 + 1) * ax;
    vec4<float> t = top * (1 - ay) + bottom * ay;
    return {t.x, t.y, t.z};
}

vec3<float> EnvironmentTexture::Average() const {
    double sum[3] = {0, 0, 0}, weight = 0;
    const int w = Width(), h = Height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double a;
            if (m_layout == eLatLong) {
                // A row's texels cover a band whose area shrinks with the cosine of latitude;
                // the last column repeats the first.
                const double latitude = h > 1 ? kPi / 2 - kPi * y / (h - 1) : 0.0;
                a = (w > 1 && x == w - 1) ? 0.0 : std::cos(latitude);
            } else {
                // A face texel at (u, v) in [-1, 1] covers a solid angle of 1 / (1 + u² + v²)^1.5.
                const int s = w;
                const double u = 2.0 * (x + 0.5) / s - 1.0, v = 2.0 * ((y % s) + 0.5) / s - 1.0;
                a = 1.0 / std::pow(1.0 + u * u + v * v, 1.5);
            }
            const float* t = &m_hdr[(std::size_t(y) * w + x) * 4];
            for (int c = 0; c < 3; ++c)
                sum[c] += a * t[c];
            weight += a;
        }
    if (weight <= 0)
        return {};
    return {float(sum[0] / weight), float(sum[1] / weight), float(sum[2] / weight)};
}

vec3<float> EnvironmentTexture::LatLongDirection(int width, int height, float x, float y) {
    if (width <= 0 || height <= 0)
        return {0, 1, 0};
    const IMATH_NAMESPACE::V3f d = Imf::LatLongMap::direction(Window(width, height), IMATH_NAMESPACE::V2f(x, y));
    return vec3<float>(d.x, d.y, d.z).Normalized();
}

EnvironmentTexture* EnvironmentTexture::LoadExr(const std::filesystem::path& path, int channels, std::string* error) {
    if (channels < 1 || channels > 4) {
        SetError(error, "unsupported channel count " + std::to_string(channels));
        return nullptr;
    }
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        SetError(error, path.string() + ": no such file");
        return nullptr;
    }
    for (const auto& [width, height] : DeclaredSizes(path))
        if (std::string why = ImageSizeRefusal(width, height, kMaxTexels); !why.empty()) {
            SetError(error, path.string() + ": " + why);
            return nullptr;
        }
    try {
        Imf::RgbaInputFile file(path.c_str());
        const IMATH_NAMESPACE::Box2i dw = file.dataWindow();
        const long long width = (long long)dw.max.x - dw.min.x + 1;
        const long long height = (long long)dw.max.y - dw.min.y + 1;
        if (std::string why = ImageSizeRefusal(width, height, kMaxTexels); !why.empty()) {
            SetError(error, path.string() + ": " + why);
            return nullptr;
        }
        ELayout layout = eLatLong;
        if (Imf::hasEnvmap(file.header()) && Imf::envmap(file.header()) == Imf::ENVMAP_CUBE) {
            if (height != 6 * width) {
                SetError(error, path.string() + ": a cube map must be six faces high");
                return nullptr;
            }
            layout = eCube;
        }
        Imf::Array2D<Imf::Rgba> pixels(height, width);
        // The frame buffer is addressed in data-window coordinates; shift the base so that the
        // window's first texel lands on pixels[0][0] (integer arithmetic: the shifted base itself
        // may lie outside the array, the addresses the library forms from it do not).
        const std::uintptr_t base = reinterpret_cast<std::uintptr_t>(&pixels[0][0]) -
                                    std::uintptr_t((long long)dw.min.x * (long long)sizeof(Imf::Rgba)) -
                                    std::uintptr_t((long long)dw.min.y * width * (long long)sizeof(Imf::Rgba));
        file.setFrameBuffer(reinterpret_cast<Imf::Rgba*>(base), 1, std::size_t(width));
        file.readPixels(dw.min.y, dw.max.y);
        if (!file.isComplete()) {
            SetError(error, path.string() + ": the file is incomplete");
            return nullptr;
        }
        std::vector<float> rgba(std::size_t(width * height) * 4);
        for (long long y = 0; y < height; ++y)
            for (long long x = 0; x < width; ++x) {
                const Imf::Rgba& p = pixels[y][x];
                float r = p.r, g = p.g, b = p.b, a = p.a;
                if (channels == 1 || channels == 2)
                    r = g = b = 0.2126f * r + 0.7152f * g + 0.0722f * b;
                if (channels == 1 || channels == 3)
                    a = 1.0f;
                // Half infinities and NaNs would poison every filter that reads them.
                auto finite = [](float v) { return std::isfinite(v) ? v : 0.0f; };
                float* t = &rgba[std::size_t(y * width + x) * 4];
                t[0] = finite(r);
                t[1] = finite(g);
                t[2] = finite(b);
                t[3] = finite(a);
            }
        EnvironmentTexture* texture = Make(int(width), int(height), std::move(rgba), layout);
        if (!texture)
            SetError(error, path.string() + ": unusable image");
        return texture;
    } catch (const std::exception& e) {
        SetError(error, path.string() + ": " + e.what());
    } catch (...) {
        SetError(error, path.string() + ": unreadable OpenEXR file");
    }
    return nullptr;
}

bool EnvironmentTexture::SaveExr(const std::filesystem::path& path, std::string* error) const {
    const int w = Width(), h = Height();
    Imf::Array2D<Imf::Rgba> pixels(h, w);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float* t = &m_hdr[(std::size_t(y) * w + x) * 4];
            pixels[y][x] = Imf::Rgba(t[0], t[1], t[2], t[3]);
        }
    std::filesystem::path temporary = path;
    temporary += ".partial";
    std::error_code ec;
    try {
        Imf::Header header(w, h);
        Imf::addEnvmap(header, m_layout == eCube ? Imf::ENVMAP_CUBE : Imf::ENVMAP_LATLONG);
        {
            Imf::RgbaOutputFile file(temporary.c_str(), header, Imf::WRITE_RGBA);
            file.setFrameBuffer(&pixels[0][0], 1, std::size_t(w));
            file.writePixels(h);
        }
        std::filesystem::rename(temporary, path, ec);
        if (ec) {
            std::filesystem::remove(temporary, ec);
            SetError(error, path.string() + ": cannot replace the file");
            return false;
        }
        return true;
    } catch (const std::exception& e) {
        SetError(error, path.string() + ": " + e.what());
    } catch (...) {
        SetError(error, path.string() + ": cannot write the file");
    }
    std::filesystem::remove(temporary, ec);
    return false;
}

EnvironmentTexture* LoadEnvironmentTexture(ADrawContext& /*dc*/, std::wstring_view path, int channels,
                                           std::string* error) {
    // The texture is data until a backend draws with it, so the context is not needed to read it.
    return EnvironmentTexture::LoadExr(std::filesystem::path(std::wstring(path)), channels, error);
}

} // namespace Lumo::Devices
