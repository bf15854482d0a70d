// Seed inputs the project makes itself, for make-seeds.sh:
//   brio-fuzz-seeds images <folder>           small PNG, JPEG and BMP images
//   brio-fuzz-seeds exr <folder>              small environment maps, latitude-longitude and cube
//   brio-fuzz-seeds parts <document> <file>   a saved document in the document-parts target's form
#include "PartsFormat.h"

#include <Lumo/Devices/EnvironmentTexture.h>
#include <Lumo/Devices/PngWriter.h>
#include <Lumo/Objects/AutoPtr.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

/// A small picture with gradients, hard edges and transparent texels, so that every filter
/// and colour path of the decoders has something to do.
std::vector<unsigned char> Picture(int w, int h, int channels) {
    std::vector<unsigned char> px(std::size_t(w) * h * channels);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned char* p = &px[(std::size_t(y) * w + x) * channels];
            const unsigned char v[4] = {
                (unsigned char)(x * 255 / std::max(1, w - 1)), (unsigned char)(y * 255 / std::max(1, h - 1)),
                (unsigned char)(((x / 4 + y / 4) % 2) * 200), (unsigned char)(x < w / 2 ? 255 : 96)};
            for (int c = 0; c < channels; ++c)
                p[c] = channels == 1 ? v[0] : v[c];
        }
    return px;
}

bool Images(const fs::path& folder) {
    fs::create_directories(folder);
    bool ok = true;
    for (int channels : {1, 3, 4}) {
        const std::vector<unsigned char> px = Picture(16, 8, channels);
        const std::string stem = (folder / ("c" + std::to_string(channels))).string();
        ok &= stbi_write_png((stem + ".png").c_str(), 16, 8, channels, px.data(), 16 * channels) != 0;
        ok &= stbi_write_bmp((stem + ".bmp").c_str(), 16, 8, channels, px.data()) != 0;
        ok &= stbi_write_jpg((stem + ".jpg").c_str(), 16, 8, channels, px.data(), 80) != 0;
    }
    // The project's own PNG writer too: what textures are saved as.
    const std::vector<unsigned char> rgba = Picture(5, 3, 4);
    ok &= Lumo::Devices::PngWriter::WriteUtf8((folder / "writer.png").string(), 5, 3, rgba.data());
    return ok;
}

bool Exr(const fs::path& folder) {
    using Lumo::Devices::EnvironmentTexture;
    fs::create_directories(folder);
    bool ok = true;
    const auto save = [&](int w, int h, EnvironmentTexture::ELayout layout, const char* name) {
        std::vector<float> rgba(std::size_t(w) * h * 4);
        for (std::size_t i = 0; i < rgba.size(); ++i)
            rgba[i] = float(i % 4 == 3 ? 1.0 : 0.5 + 0.5 * std::sin(double(i)));
        Lumo::Objects::AutoPtr<EnvironmentTexture> map = EnvironmentTexture::Make(w, h, std::move(rgba), layout);
        std::string error;
        if (!map || !map->SaveExr(folder / name, &error)) {
            std::fprintf(stderr, "brio-fuzz-seeds: %s %s\n", name, error.c_str());
            ok = false;
        }
    };
    save(8, 4, EnvironmentTexture::eLatLong, "latlong.exr");
    save(2, 12, EnvironmentTexture::eCube, "cube.exr");
    return ok;
}

bool Parts(const fs::path& document, const fs::path& out) {
    Brio::ZipArchive::Parts parts;
    if (Brio::ZipArchive::read(document.string(), parts).failed())
        return false;
    fs::create_directories(out.parent_path());
    const std::string text = Fuzz::WriteParts(parts);
    std::ofstream(out, std::ios::binary) << text;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    bool ok = false;
    if (mode == "images" && argc == 3)
        ok = Images(argv[2]);
    else if (mode == "exr" && argc == 3)
        ok = Exr(argv[2]);
    else if (mode == "parts" && argc == 4)
        ok = Parts(argv[2], argv[3]);
    else {
        std::fprintf(stderr, "usage: brio-fuzz-seeds images|exr <folder> | parts <document> <file>\n");
        return 2;
    }
    if (!ok)
        std::fprintf(stderr, "brio-fuzz-seeds %s: failed\n", mode.c_str());
    return ok ? 0 : 1;
}
