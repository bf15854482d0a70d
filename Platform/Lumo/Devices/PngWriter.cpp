#include <Lumo/Devices/PngWriter.h>
#include <Lumo/Devices/TextureInstance.h>
#include <Lumo/Objects/KString.h>

#include <png.h>

#include <cstdio>
#include <string>

namespace Lumo::Devices {

namespace {

// Kept free of C++ objects with destructors: libpng reports errors by longjmp.
bool WritePng(std::FILE* file, int width, int height, const std::uint8_t* rgba, int rowPitch) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGBA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, rgba + static_cast<std::size_t>(y) * static_cast<std::size_t>(rowPitch));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool PngWriter::WriteUtf8(std::string_view path, int width, int height, const std::uint8_t* rgba, int rowPitch) {
    if (path.empty() || !rgba || width <= 0 || height <= 0 || width > TextureInstance::kMaxSize ||
        height > TextureInstance::kMaxSize)
        return false;
    if (rowPitch == 0)
        rowPitch = width * 4;
    if (rowPitch < width * 4)
        return false;
    const std::string name(path);
    std::FILE* file = std::fopen(name.c_str(), "wb");
    if (!file)
        return false;
    bool ok = WritePng(file, width, height, rgba, rowPitch);
    ok = std::fclose(file) == 0 && ok; // a full disk may only show at close
    if (!ok)
        std::remove(name.c_str());
    return ok;
}

bool PngWriter::Write(std::wstring_view path, int width, int height, const std::uint8_t* rgba, int rowPitch) {
    return WriteUtf8(Lumo::Objects::KString(std::wstring(path)).Utf8(), width, height, rgba, rowPitch);
}

bool PngWriter::Write(std::wstring_view path, TextureInstance* texture) {
    if (!texture)
        return false;
    SLockedLevel level = texture->LockLevel(0);
    if (!level)
        return false;
    bool ok = Write(path, level.width, level.height, level.data, level.rowPitch);
    texture->UnlockLevel(0);
    return ok;
}

} // namespace Lumo::Devices
