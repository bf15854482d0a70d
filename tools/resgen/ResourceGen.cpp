// brio-resgen: writes the binary run-time resources of the scene library from code, so that
// the repository holds their source rather than opaque files.
//   brio-resgen <resource root>   (the folder that holds Textures/)
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

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: brio-resgen <resource root>\n");
        return 2;
    }
    std::filesystem::path root = argv[1];
    const int size = 64;
    if (!WriteBmp(root / "Textures" / "thread1.bmp", size, size, ThreadTexture(size))) {
        std::fprintf(stderr, "brio-resgen: cannot write %s\n", (root / "Textures" / "thread1.bmp").c_str());
        return 1;
    }
    return 0;
}
