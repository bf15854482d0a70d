// brio-resgen: writes the binary run-time resources of the scene library from code, so that
// the repository holds their source rather than opaque files.
//   brio-resgen <resource root>   (the folder that holds Textures/ and Environments/)
#include <Lumo/Devices/EnvironmentTexture.h>
#include <Lumo/Devices/PngWriter.h>
#include <Lumo/Objects/AutoPtr.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

void Put16(std::vector<std::uint8_t>& b, std::uint32_t v) {
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

/// A 32-bit BMP (bottom-up rows, BGRA) of the given RGBA pixels, top row first.
bool WriteBmp(const std::filesystem::path& file, int w, int h, const std::vector<std::uint8_t>& rgba) {
    std::vector<std::uint8_t> b;
    const std::uint32_t pixelBytes = std::uint32_t(w) * h * 4, offset = 14 + 40;
    b.push_back('B');
    b.push_back('M');
    Put32(b, offset + pixelBytes);
    Put32(b, 0);
    Put32(b, offset);
    Put32(b, 40);
    Put32(b, std::uint32_t(w));
    Put32(b, std::uint32_t(h));
    Put16(b, 1);
    Put16(b, 32);
    Put32(b, 0); // no compression
    Put32(b, pixelBytes);
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, 0);
    Put32(b, 0);
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = &rgba[(std::size_t(y) * w + x) * 4];
            b.push_back(p[2]);
            b.push_back(p[1]);
            b.push_back(p[0]);
            b.push_back(p[3]);
        }
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
    return bool(out);
}

/// Thread crests: one helical crest per texture repeat, lit from above so that flanks read
/// as relief on any base colour; alpha carries the shading so it blends over the body.
std::vector<std::uint8_t> ThreadTexture(int size) {
    std::vector<std::uint8_t> px(std::size_t(size) * size * 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            // The crest runs diagonally: one pitch along u per turn round v.
            double phase = (double(x) + double(y)) / size;
            double t = phase - std::floor(phase);
            double profile = 1.0 - std::fabs(2.0 * t - 1.0); // triangle: crest at 0.5
            double shade = 0.35 + 0.65 * profile;
            auto* p = &px[(std::size_t(y) * size + x) * 4];
            p[0] = p[1] = p[2] = std::uint8_t(std::lround(255 * shade));
            p[3] = std::uint8_t(std::lround(255 * (0.25 + 0.5 * std::fabs(profile - 0.5) * 2.0)));
        }
    return px;
}

// ---- shared helpers ---------------------------------------------------------------------

struct V3 {
    double x = 0, y = 0, z = 0;
    V3 operator+(const V3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    V3 operator-(const V3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    V3 operator*(double s) const { return {x * s, y * s, z * s}; }
    double dot(const V3& o) const { return x * o.x + y * o.y + z * o.z; }
    V3 cross(const V3& o) const { return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x}; }
    V3 unit() const {
        double l = std::sqrt(dot(*this));
        return l > 0 ? *this * (1.0 / l) : V3{0, 1, 0};
    }
};

constexpr double kPi = 3.14159265358979323846;

double Smoothstep(double a, double b, double x) {
    double t = std::clamp((x - a) / (b - a), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}
V3 Mix(const V3& a, const V3& b, double t) {
    return a * (1 - t) + b * t;
}

bool WritePng(const std::filesystem::path& file, int w, int h, const std::vector<std::uint8_t>& rgba) {
    std::filesystem::create_directories(file.parent_path());
    return Lumo::Devices::PngWriter::WriteUtf8(file.string(), w, h, rgba.data());
}

std::uint8_t Byte(double v) {
    return std::uint8_t(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
}

/// A vertical gradient (top row first) through colour stops given as (position, r, g, b) in
/// display values; opaque.
std::vector<std::uint8_t> GradientTexture(int w, int h, const std::vector<std::array<double, 4>>& stops) {
    std::vector<std::uint8_t> px(std::size_t(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        const double v = (y + 0.5) / h;
        std::size_t k = 0;
        while (k + 2 < stops.size() && v > stops[k + 1][0])
            ++k;
        const auto& a = stops[k];
        const auto& b = stops[k + 1];
        const double t = Smoothstep(a[0], b[0], v);
        for (int x = 0; x < w; ++x) {
            auto* p = &px[(std::size_t(y) * w + x) * 4];
            for (int c = 0; c < 3; ++c)
                p[c] = Byte((a[c + 1] * (1 - t) + b[c + 1] * t) / 255.0);
            p[3] = 255;
        }
    }
    return px;
}

/// A ground that darkens slightly towards its centre and fades out at its rim, so that it sits
/// in the dome's horizon without an edge.
std::vector<std::uint8_t> GroundTexture(int size, V3 centre, V3 rim, double opacity) {
    std::vector<std::uint8_t> px(std::size_t(size) * size * 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double u = (x + 0.5) / size * 2 - 1, v = (y + 0.5) / size * 2 - 1;
            const double r = std::sqrt(u * u + v * v);
            const V3 c = Mix(centre, rim, Smoothstep(0.0, 0.8, r));
            const double a = opacity * (1.0 - Smoothstep(0.35, 0.98, r));
            auto* p = &px[(std::size_t(y) * size + x) * 4];
            p[0] = Byte(c.x);
            p[1] = Byte(c.y);
            p[2] = Byte(c.z);
            p[3] = Byte(a);
        }
    return px;
}

/// The origin marker: a ring round a dot with short ticks along the axes, white (the grid
/// colours it), edges smoothed over one texel.
std::vector<std::uint8_t> OriginTexture(int size) {
    std::vector<std::uint8_t> px(std::size_t(size) * size * 4);
    const double c = size / 2.0, ringR = size * 0.40, ringW = size * 0.05, dotR = size * 0.09;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double dx = x + 0.5 - c, dy = y + 0.5 - c, r = std::sqrt(dx * dx + dy * dy);
            double a = std::clamp(ringW - std::fabs(r - ringR) + 0.5, 0.0, 1.0);
            a = std::max(a, std::clamp(dotR - r + 0.5, 0.0, 1.0));
            const bool tickX = std::fabs(dy) < size * 0.025 && std::fabs(dx) > dotR * 1.8 && std::fabs(dx) < ringR;
            const bool tickY = std::fabs(dx) < size * 0.025 && std::fabs(dy) > dotR * 1.8 && std::fabs(dy) < ringR;
            if (tickX || tickY)
                a = std::max(a, 0.8);
            auto* p = &px[(std::size_t(y) * size + x) * 4];
            p[0] = p[1] = p[2] = 255;
            p[3] = Byte(a);
        }
    return px;
}

// ---- scenery meshes (y up) --------------------------------------------------------------

struct Mesh {
    std::vector<V3> positions;
    std::vector<std::array<double, 2>> uvs;
    std::vector<std::uint32_t> indices;
};

/// A dome of the given radius from a little below the horizon to the zenith, its triangles
/// facing inwards. v runs from 0 at the zenith to 1 at the lowest ring, as rows of the sky
/// texture run top first.
Mesh Dome(double radius, double lowestDegrees, int segments, int rings) {
    Mesh m;
    const double low = lowestDegrees * kPi / 180;
    for (int r = 0; r <= rings; ++r) {
        const double v = double(r) / rings;
        const double elevation = kPi / 2 - v * (kPi / 2 - low);
        for (int s = 0; s <= segments; ++s) {
            const double u = double(s) / segments, azimuth = u * 2 * kPi;
            m.positions.push_back(V3{std::cos(elevation) * std::cos(azimuth), std::sin(elevation),
                                     -std::cos(elevation) * std::sin(azimuth)} *
                                  radius);
            m.uvs.push_back({u, v});
        }
    }
    const std::uint32_t row = std::uint32_t(segments + 1);
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < segments; ++s) {
            const std::uint32_t a = r * row + s, b = a + 1, c = a + row, d = c + 1;
            // Seen from inside, (a, d, c) and (a, b, d) run counter-clockwise; at the zenith a and
            // b coincide.
            m.indices.insert(m.indices.end(), {a, d, c});
            if (r > 0)
                m.indices.insert(m.indices.end(), {a, b, d});
        }
    return m;
}

/// A flat disc on y = 0 facing up, with planar texture coordinates over its square.
Mesh Disc(double radius, int segments, int rings) {
    Mesh m;
    m.positions.push_back({0, 0, 0});
    m.uvs.push_back({0.5, 0.5});
    for (int r = 1; r <= rings; ++r)
        for (int s = 0; s < segments; ++s) {
            const double a = 2 * kPi * s / segments, rr = radius * r / rings;
            const V3 p{rr * std::cos(a), 0, -rr * std::sin(a)};
            m.positions.push_back(p);
            m.uvs.push_back({0.5 + p.x / (2 * radius), 0.5 + p.z / (2 * radius)});
        }
    auto at = [&](int r, int s) -> std::uint32_t { return r == 0 ? 0 : 1 + (r - 1) * segments + (s % segments); };
    for (int s = 0; s < segments; ++s)
        m.indices.insert(m.indices.end(), {at(0, 0), at(1, s), at(1, s + 1)});
    for (int r = 1; r < rings; ++r)
        for (int s = 0; s < segments; ++s) {
            const std::uint32_t a = at(r, s), b = at(r, s + 1), c = at(r + 1, s), d = at(r + 1, s + 1);
            m.indices.insert(m.indices.end(), {a, c, d});
            m.indices.insert(m.indices.end(), {a, d, b});
        }
    return m;
}

bool WriteText(const std::filesystem::path& file, const std::string& text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << text;
    return bool(out);
}

std::string Number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4f", v);
    std::string s = buf;
    while (s.size() > 1 && s.back() == '0')
        s.pop_back();
    if (s.back() == '.')
        s.pop_back();
    return s == "-0" ? "0" : s;
}

/// The scenery's own JSON form: {"Vertices": {"Positions": [...], "UVs": [...]}, "Indices": [...]}.
bool WriteJsonMesh(const std::filesystem::path& file, const Mesh& m) {
    std::string s = "{\"Vertices\":{\"Positions\":[";
    for (std::size_t i = 0; i < m.positions.size(); ++i)
        s +=
            (i ? "," : "") + Number(m.positions[i].x) + "," + Number(m.positions[i].y) + "," + Number(m.positions[i].z);
    s += "],\"UVs\":[";
    for (std::size_t i = 0; i < m.uvs.size(); ++i)
        s += (i ? "," : "") + Number(m.uvs[i][0]) + "," + Number(m.uvs[i][1]);
    s += "]},\"Indices\":[";
    for (std::size_t i = 0; i < m.indices.size(); ++i)
        s += (i ? "," : "") + std::to_string(m.indices[i]);
    s += "]}\n";
    return WriteText(file, s);
}

/// Wavefront OBJ, read through the interchange importer. Texture coordinates are written as the
/// scenery uses them (v = 0 at the top of the texture).
bool WriteObjMesh(const std::filesystem::path& file, const Mesh& m, const std::string& name) {
    std::string s = "# generated by brio-resgen\no " + name + "\n";
    for (const V3& p : m.positions)
        s += "v " + Number(p.x) + " " + Number(p.y) + " " + Number(p.z) + "\n";
    for (const auto& uv : m.uvs)
        s += "vt " + Number(uv[0]) + " " + Number(uv[1]) + "\n";
    for (std::size_t i = 0; i + 2 < m.indices.size(); i += 3) {
        s += "f";
        for (int k = 0; k < 3; ++k) {
            const std::string n = std::to_string(m.indices[i + k] + 1);
            s += " " + n + "/" + n;
        }
        s += "\n";
    }
    return WriteText(file, s);
}

// ---- image-based lighting ------------------------------------------------------------------

using Radiance = V3 (*)(const V3& direction);

/// A daylight sky: blue overhead, pale at the horizon, a warm sun high in front on the left,
/// a neutral ground below. Linear radiance; the sun's disc reaches about 30.
V3 SkyRoomSky(const V3& d) {
    const V3 zenith{0.28, 0.45, 0.80}, horizon{0.90, 0.93, 0.98}, ground{0.24, 0.23, 0.22};
    V3 c =
        d.y >= 0 ? Mix(horizon, zenith, std::pow(d.y, 0.55)) : Mix(horizon * 0.8, ground, Smoothstep(0.0, 0.25, -d.y));
    const V3 sun = V3{-0.45, 0.72, 0.53}.unit();
    const double cosA = std::clamp(d.dot(sun), -1.0, 1.0), angle = std::acos(cosA);
    const double glow = 1.6 * std::pow(std::max(cosA, 0.0), 40.0) + 28.0 * std::exp(-std::pow(angle / 0.03, 2));
    return c + V3{1.0, 0.93, 0.80} * glow;
}

/// A soft box in direction n of half-extents (in tangent units) hu x hv, with feathered edges.
double SoftBox(const V3& d, const V3& n, double hu, double hv) {
    const double dn = d.dot(n);
    if (dn <= 0)
        return 0;
    const V3 right = V3{0, 1, 0}.cross(n).unit(), up = n.cross(right);
    const double u = std::fabs(d.dot(right) / dn), v = std::fabs(d.dot(up) / dn);
    return (1 - Smoothstep(hu * 0.8, hu, u)) * (1 - Smoothstep(hv * 0.8, hv, v));
}

/// A photographic studio: a neutral grey cyclorama, a large warm key box front left, a cooler
/// fill box on the right and a strip light overhead.
V3 StudioSky(const V3& d) {
    V3 c = d.y >= 0 ? Mix(V3{0.60, 0.61, 0.63}, V3{0.36, 0.37, 0.40}, std::pow(d.y, 0.7))
                    : Mix(V3{0.52, 0.53, 0.55}, V3{0.16, 0.16, 0.17}, Smoothstep(0.0, 0.3, -d.y));
    c = c + V3{1.0, 0.97, 0.93} * (7.0 * SoftBox(d, V3{-0.62, 0.50, 0.60}.unit(), 0.30, 0.22));
    c = c + V3{0.90, 0.95, 1.0} * (2.5 * SoftBox(d, V3{0.75, 0.30, 0.58}.unit(), 0.35, 0.25));
    c = c + V3{1.0, 1.0, 1.0} * (2.5 * SoftBox(d, V3{0.0, 1.0, 0.02}.unit(), 0.12, 0.60));
    return c;
}

struct Texel {
    V3 direction;
    double solidAngle;
    V3 radiance;
};

/// The sky sampled on a lat-long grid, each texel with the solid angle it covers.
std::vector<Texel> SampleSky(Radiance sky, int w, int h) {
    std::vector<Texel> texels;
    texels.reserve(std::size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double latitude = kPi / 2 - kPi * (y + 0.5) / h;
            const double longitude = 2 * kPi * (x + 0.5) / w;
            const V3 d{std::cos(latitude) * std::sin(longitude), std::sin(latitude),
                       std::cos(latitude) * std::cos(longitude)};
            const double solidAngle = (2 * kPi / w) * (kPi / h) * std::cos(latitude);
            texels.push_back({d, solidAngle, sky(d)});
        }
    return texels;
}

/// A lat-long map whose texel in direction n is lobe(n, w) weighted mean of the sky, the lobe
/// normalised over the sphere; a null lobe samples the sky itself (2 x 2 per texel).
using Lobe = double (*)(const V3& n, const V3& w);
Lumo::Devices::EnvironmentTexture* Convolve(Radiance sky, const std::vector<Texel>& source, int w, int h, Lobe lobe,
                                            double scale) {
    std::vector<float> rgba(std::size_t(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            V3 sum;
            if (!lobe) {
                for (int s = 0; s < 4; ++s) {
                    const auto d = Lumo::Devices::EnvironmentTexture::LatLongDirection(
                        w, h, std::min(x + 0.25f + 0.5f * (s & 1), float(w - 1)),
                        std::clamp(y - 0.25f + 0.5f * (s >> 1), 0.0f, float(h - 1)));
                    sum = sum + sky(V3{d.x, d.y, d.z}) * 0.25;
                }
            } else {
                const auto d = Lumo::Devices::EnvironmentTexture::LatLongDirection(w, h, float(x), float(y));
                const V3 n{d.x, d.y, d.z};
                double weight = 0;
                for (const Texel& t : source) {
                    const double k = lobe(n, t.direction) * t.solidAngle;
                    if (k > 0) {
                        sum = sum + t.radiance * k;
                        weight += k;
                    }
                }
                if (weight > 0)
                    sum = sum * (1.0 / weight);
            }
            float* p = &rgba[(std::size_t(y) * w + x) * 4];
            p[0] = float(sum.x * scale);
            p[1] = float(sum.y * scale);
            p[2] = float(sum.z * scale);
            p[3] = 1.0f;
        }
    return Lumo::Devices::EnvironmentTexture::Make(w, h, std::move(rgba));
}

double CosineLobe(const V3& n, const V3& w) {
    return std::max(n.dot(w), 0.0);
}
double GlossyLobe(const V3& n, const V3& w) {
    return std::pow(std::max(n.dot(w), 0.0), 24.0);
}

bool WriteEnvironmentMaps(const std::filesystem::path& folder, Radiance sky) {
    std::filesystem::create_directories(folder);
    const std::vector<Texel> source = SampleSky(sky, 128, 64);
    struct Map {
        const char* file;
        int w, h;
        Lobe lobe;
    } maps[] = {{"Diffuse.exr", 32, 16, &CosineLobe},
                {"Specular.exr", 64, 32, &GlossyLobe},
                {"Reflection.exr", 256, 128, nullptr}};
    for (const Map& m : maps) {
        Lumo::Objects::AutoPtr<Lumo::Devices::EnvironmentTexture> t = Convolve(sky, source, m.w, m.h, m.lobe, 1.0);
        std::string error;
        if (!t || !t->SaveExr(folder / m.file, &error)) {
            std::fprintf(stderr, "brio-resgen: %s\n", error.c_str());
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: brio-resgen <resource root>\n");
        return 2;
    }
    const std::filesystem::path root = argv[1];
    bool ok = WriteBmp(root / "Textures" / "thread1.bmp", 64, 64, ThreadTexture(64));
    ok = ok && WritePng(root / "LayoutGrid" / "Origin.png", 64, 64, OriginTexture(64));

    // SkyRoom: a soft daylight sky over a pale ground.
    const std::filesystem::path sky = root / "Environments" / "SkyRoom";
    ok = ok && WriteJsonMesh(sky / "Dome.json", Dome(1000, -12, 64, 24));
    ok = ok && WriteJsonMesh(sky / "Ground.json", Disc(700, 64, 6));
    ok = ok && WritePng(sky / "SkyDome.png", 4, 256,
                        GradientTexture(4, 256,
                                        {{0.00, 118, 160, 214},
                                         {0.45, 168, 198, 234},
                                         {0.86, 228, 236, 245},
                                         {0.90, 222, 226, 231},
                                         {1.00, 196, 199, 204}}));
    ok = ok &&
         WritePng(sky / "Ground.png", 256, 256, GroundTexture(256, V3{0.70, 0.72, 0.75}, V3{0.80, 0.82, 0.85}, 0.55));
    ok = ok && WriteEnvironmentMaps(sky, &SkyRoomSky);

    // Studio: a neutral grey cyclorama under soft boxes; its dome comes through the importer.
    const std::filesystem::path studio = root / "Environments" / "Studio";
    ok = ok && WriteObjMesh(studio / "Dome.obj", Dome(900, -10, 48, 18), "StudioDome");
    ok = ok && WriteJsonMesh(studio / "Ground.json", Disc(600, 64, 6));
    ok = ok && WritePng(studio / "StudioDome.png", 4, 256,
                        GradientTexture(
                            4, 256,
                            {{0.00, 86, 88, 94}, {0.55, 128, 130, 136}, {0.88, 160, 162, 166}, {1.00, 124, 125, 128}}));
    ok = ok &&
         WritePng(studio / "Ground.png", 256, 256, GroundTexture(256, V3{0.36, 0.37, 0.39}, V3{0.50, 0.51, 0.53}, 0.7));
    ok = ok && WriteEnvironmentMaps(studio, &StudioSky);
    if (!ok) {
        std::fprintf(stderr, "brio-resgen: cannot write the resources under %s\n", root.c_str());
        return 1;
    }
    return 0;
}
