#include "DeviceTestSupport.h"

#include <Lumo/Devices/DeviceCaches.h>
#include <Lumo/Devices/PngWriter.h>
#include <Lumo/Devices/TextureInstance.h>
#include <Lumo/Devices/TextureLoader.h>
#include <Lumo/Devices/VirtualDevice.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/UString.h>

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

// JPEG test images are encoded here with the writer from the same header package.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

using namespace Lumo::Devices;
using namespace Lumo::Objects;
using LumoDevicesTest::LiveObjects;
using LumoDevicesTest::ReadBytes;
using LumoDevicesTest::TempDir;
using LumoDevicesTest::WriteBytes;

namespace {

void Put16(std::vector<std::uint8_t>& b, unsigned v) {
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<std::uint8_t>& b, unsigned v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

/// A 24-bit bottom-up BMP of 3 x 2 pixels (rows padded to 12 bytes): top row red, green,
/// blue; bottom row white, black, grey.
std::vector<std::uint8_t> SmallBmp() {
    const std::uint8_t bgr[2][3][3] = {{{0, 0, 255}, {0, 255, 0}, {255, 0, 0}},
                                       {{255, 255, 255}, {0, 0, 0}, {128, 128, 128}}};
    std::vector<std::uint8_t> b{'B', 'M'};
    const unsigned rowBytes = 12, dataBytes = rowBytes * 2;
    Put32(b, 54 + dataBytes);
    Put32(b, 0);
    Put32(b, 54);
    Put32(b, 40); // BITMAPINFOHEADER
    Put32(b, 3);
    Put32(b, 2);
    Put16(b, 1);
    Put16(b, 24);
    Put32(b, 0); // no compression
    Put32(b, dataBytes);
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, 0);
    Put32(b, 0);
    for (int row = 1; row >= 0; --row) { // bottom row first
        for (int x = 0; x < 3; ++x)
            b.insert(b.end(), bgr[row][x], bgr[row][x] + 3);
        b.insert(b.end(), 3, 0);
    }
    return b;
}

std::vector<std::uint8_t> Pixel(TextureInstance* t, int x, int y) {
    SLockedLevel level = t->LockLevel(0);
    std::vector<std::uint8_t> p(level.data + y * level.rowPitch + x * 4, level.data + y * level.rowPitch + x * 4 + 4);
    t->UnlockLevel(0);
    return p;
}

} // namespace

TEST(TextureLoaderTest, ReadsBmpTopRowFirst) {
    LiveObjects live;
    TempDir dir;
    WriteBytes(dir.File("small.bmp"), SmallBmp());
    AutoPtr<TextureInstance> t(TextureLoader::Load(dir.WFile("small.bmp")));
    ASSERT_TRUE(t);
    EXPECT_EQ(t->Width(), 3);
    EXPECT_EQ(t->Height(), 2);
    EXPECT_EQ(Pixel(t, 0, 0), (std::vector<std::uint8_t>{255, 0, 0, 255}));
    EXPECT_EQ(Pixel(t, 2, 0), (std::vector<std::uint8_t>{0, 0, 255, 255}));
    EXPECT_EQ(Pixel(t, 2, 1), (std::vector<std::uint8_t>{128, 128, 128, 255}));
    EXPECT_FALSE(t->HasAlpha());
    EXPECT_EQ(t->SourcePath(), InternUtf8(dir.File("small.bmp")));
}

TEST(TextureLoaderTest, ReadsPngWithAlpha) {
    LiveObjects live;
    TempDir dir;
    const std::uint8_t px[2 * 2 * 4] = {10, 20, 30, 255, 40, 50, 60, 0, 70, 80, 90, 128, 255, 255, 255, 255};
    ASSERT_TRUE(PngWriter::WriteUtf8(dir.File("a.png"), 2, 2, px));
    AutoPtr<TextureInstance> t(TextureLoader::LoadUtf8(dir.File("a.png")));
    ASSERT_TRUE(t);
    EXPECT_EQ(Pixel(t, 1, 0), (std::vector<std::uint8_t>{40, 50, 60, 0}));
    EXPECT_EQ(Pixel(t, 0, 1), (std::vector<std::uint8_t>{70, 80, 90, 128}));
    EXPECT_TRUE(t->HasAlpha());
}

TEST(TextureLoaderTest, ReadsJpegCloseToTheColour) {
    LiveObjects live;
    TempDir dir;
    std::vector<std::uint8_t> rgb(16 * 16 * 3);
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        rgb[i] = 200;
        rgb[i + 1] = 100;
        rgb[i + 2] = 50;
    }
    ASSERT_NE(stbi_write_jpg(dir.File("c.jpg").c_str(), 16, 16, 3, rgb.data(), 100), 0);
    AutoPtr<TextureInstance> t(TextureLoader::LoadUtf8(dir.File("c.jpg")));
    ASSERT_TRUE(t);
    EXPECT_EQ(t->Width(), 16);
    const auto p = Pixel(t, 7, 9);
    EXPECT_NEAR(p[0], 200, 4);
    EXPECT_NEAR(p[1], 100, 4);
    EXPECT_NEAR(p[2], 50, 4);
    EXPECT_EQ(p[3], 255);

    // Cut anywhere, even just before its end marker, the file is refused.
    const std::vector<std::uint8_t> jpg = ReadBytes(dir.File("c.jpg"));
    for (std::size_t keep : {jpg.size() - 2, jpg.size() / 2, std::size_t(20)})
        EXPECT_EQ(TextureLoader::LoadMemory(jpg.data(), keep), nullptr) << keep;
}

TEST(TextureLoaderTest, MissingCorruptAndTruncatedFilesGiveNull) {
    LiveObjects live;
    TempDir dir;
    EXPECT_EQ(TextureLoader::Load(dir.WFile("missing.png")), nullptr);
    EXPECT_EQ(TextureLoader::LoadUtf8(""), nullptr);
    EXPECT_EQ(TextureLoader::LoadUtf8(dir.File("")), nullptr); // a folder
    EXPECT_EQ(TextureLoader::LoadMemory(nullptr, 10), nullptr);

    WriteBytes(dir.File("empty.png"), {});
    EXPECT_EQ(TextureLoader::LoadUtf8(dir.File("empty.png")), nullptr);
    WriteBytes(dir.File("text.png"), {'h', 'e', 'l', 'l', 'o'});
    EXPECT_EQ(TextureLoader::LoadUtf8(dir.File("text.png")), nullptr);

    // A real PNG cut short, and one with its pixel data scrambled.
    std::vector<std::uint8_t> px(8 * 8 * 4, 77);
    ASSERT_TRUE(PngWriter::WriteUtf8(dir.File("good.png"), 8, 8, px.data()));
    std::vector<std::uint8_t> png = ReadBytes(dir.File("good.png"));
    ASSERT_GT(png.size(), 60u);
    std::vector<std::uint8_t> cut(png.begin(), png.begin() + 40);
    EXPECT_EQ(TextureLoader::LoadMemory(cut.data(), cut.size()), nullptr);
    std::vector<std::uint8_t> scrambled = png;
    for (std::size_t i = 41; i < scrambled.size() - 12; ++i)
        scrambled[i] ^= 0x5A;
    EXPECT_EQ(TextureLoader::LoadMemory(scrambled.data(), scrambled.size()), nullptr);

    // A BMP cut short, and one whose header claims more pixels than the file holds.
    std::vector<std::uint8_t> bmp = SmallBmp();
    EXPECT_NE(AutoPtr<TextureInstance>(TextureLoader::LoadMemory(bmp.data(), bmp.size())).get(), nullptr);
    EXPECT_EQ(TextureLoader::LoadMemory(bmp.data(), bmp.size() - 1), nullptr);
    EXPECT_EQ(TextureLoader::LoadMemory(bmp.data(), 30), nullptr);
    bmp[18] = 0xFF;
    bmp[19] = 0x3F; // width 16383
    EXPECT_EQ(TextureLoader::LoadMemory(bmp.data(), bmp.size()), nullptr);
}

TEST(TextureLoaderTest, TheDeviceCacheLoadsOnceAndRemembersFailures) {
    LiveObjects live;
    TempDir dir;
    AutoPtr<VirtualDevice> device(VirtualDevice::Make(nullptr));
    TextureCache* cache = device->Caches()->Textures();
    WriteBytes(dir.File("t.bmp"), SmallBmp());
    UString* path = Intern(dir.WFile("t.bmp"));
    TextureInstance* t = cache->Acquire(path);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(cache->Acquire(path), t);
    EXPECT_EQ(cache->Count(), 1);

    UString* missing = Intern(dir.WFile("later.bmp"));
    EXPECT_EQ(cache->Acquire(missing), nullptr);
    WriteBytes(dir.File("later.bmp"), SmallBmp());
    EXPECT_EQ(cache->Acquire(missing), nullptr); // remembered
    EXPECT_TRUE(cache->Remove(missing));
    EXPECT_NE(cache->Acquire(missing), nullptr); // tried again
    EXPECT_EQ(cache->Count(), 2);

    AutoPtr<TextureInstance> ramp(TextureInstance::Make(4, 1));
    EXPECT_TRUE(cache->Add(Intern(L"TextureLoaderTest_Ramp"), ramp));
    EXPECT_FALSE(cache->Add(Intern(L"TextureLoaderTest_Ramp"), ramp));
    EXPECT_EQ(cache->Acquire(Intern(L"TextureLoaderTest_Ramp")), ramp.get());
    EXPECT_EQ(cache->Acquire(nullptr), nullptr);
}

TEST(TextureLoaderTest, TheCacheLimitLetsGoOfTexturesNobodyElseHolds) {
    Lumo::Devices::TextureCache cache;
    using Lumo::Objects::Intern;
    Lumo::Objects::AutoPtr<Lumo::Devices::TextureInstance> held(Lumo::Devices::TextureInstance::Make(256, 256));
    ASSERT_TRUE(cache.Add(Intern(L"mem:held"), held));
    ASSERT_TRUE(cache.Add(Intern(L"mem:loose"), Lumo::Devices::TextureInstance::Make(256, 256)));
    EXPECT_EQ(cache.SizeKB(), 512u);
    cache.Limit(1000);
    EXPECT_EQ(cache.Count(), 2) << "within the limit nothing goes";
    cache.Limit(300);
    EXPECT_EQ(cache.Count(), 1);
    EXPECT_EQ(cache.Acquire(Intern(L"mem:held")), held.get()) << "a texture in use stays";
    cache.Limit(1);
    EXPECT_EQ(cache.Count(), 1) << "even over the limit";
    cache.Limit(0);
    EXPECT_EQ(cache.Limit(), 0u);
}

namespace {

void Put32Be(std::vector<std::uint8_t>& b, unsigned v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        b.push_back((v >> shift) & 0xFF);
}

/// A PNG of its header alone: signature and IHDR declaring width x height RGBA pixels.
std::vector<std::uint8_t> PngHeader(unsigned width, unsigned height) {
    std::vector<std::uint8_t> b{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Put32Be(b, 13);
    b.insert(b.end(), {'I', 'H', 'D', 'R'});
    Put32Be(b, width);
    Put32Be(b, height);
    b.insert(b.end(), {8, 6, 0, 0, 0});
    Put32Be(b, 0); // the checksum is not what stops it
    return b;
}

/// A baseline JPEG's start of frame declaring width x height, and nothing after it.
std::vector<std::uint8_t> JpegHeader(unsigned width, unsigned height) {
    std::vector<std::uint8_t> b{0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x11, 8};
    b.insert(b.end(), {std::uint8_t(height >> 8), std::uint8_t(height), std::uint8_t(width >> 8), std::uint8_t(width)});
    b.insert(b.end(), {3, 1, 0x11, 0, 2, 0x11, 1, 3, 0x11, 1});
    return b;
}

/// A top-down 32-bit BMP header declaring width x height, with a row of pixels.
std::vector<std::uint8_t> BmpHeader(int width, int height) {
    std::vector<std::uint8_t> b{'B', 'M'};
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 54);
    Put32(b, 40);
    Put32(b, unsigned(width));
    Put32(b, unsigned(-height));
    Put16(b, 1);
    Put16(b, 32);
    for (int i = 0; i < 6; ++i)
        Put32(b, 0);
    b.resize(b.size() + 64, 0x80);
    return b;
}

} // namespace

TEST(TextureLoaderTest, HugeDeclaredSizesAreRefusedBeforeDecoding) {
    LiveObjects live;
    TempDir dir;
    const std::string limit = " exceeds the limit of 16384 x 16384 pixels";
    const struct {
        const char* file;
        std::vector<std::uint8_t> bytes;
        std::string error; // empty: refused, but not for its size
    } cases[] = {
        {"huge.png", PngHeader(100000, 100000), "image of 100000 x 100000 pixels" + limit},
        {"wide.png", PngHeader(16385, 1), "image of 16385 x 1 pixels" + limit},
        {"most.png", PngHeader(16384, 16384), ""}, // the limit itself: on to the decoder
        {"huge.jpg", JpegHeader(65535, 65535), "image of 65535 x 65535 pixels" + limit},
        {"huge.bmp", BmpHeader(100000, 100000), "image of 100000 x 100000 pixels" + limit},
        {"empty.bmp", BmpHeader(0, 5), "image of 0 x 5 pixels has no area"},
    };
    for (const auto& c : cases) {
        WriteBytes(dir.File(c.file), c.bytes);
        std::string error;
        EXPECT_EQ(TextureLoader::LoadUtf8(dir.File(c.file), &error), nullptr) << c.file;
        if (c.error.empty()) {
            EXPECT_EQ(error.find("exceeds"), std::string::npos) << error;
            EXPECT_FALSE(error.empty());
        } else {
            EXPECT_EQ(error, dir.File(c.file) + ": " + c.error);
        }
        error.clear();
        EXPECT_EQ(TextureLoader::LoadMemory(c.bytes.data(), c.bytes.size(), &error), nullptr);
        EXPECT_EQ(error.empty(), false) << c.file;
    }
    // A sound image still reads, with no error.
    WriteBytes(dir.File("small.bmp"), SmallBmp());
    std::string error;
    AutoPtr<TextureInstance> t(TextureLoader::LoadUtf8(dir.File("small.bmp"), &error));
    EXPECT_TRUE(t);
    EXPECT_EQ(error, "");
}

TEST(TextureLoaderTest, PngChunksLongerThanTheFileAreRefusedBeforeDecoding) {
    // The decoder would set aside each chunk's declared length before finding the bytes missing:
    // a few hundred bytes would cost gigabytes.
    std::vector<std::uint8_t> png = PngHeader(4, 4);
    Put32Be(png, 0xA1A1A1A1);
    png.insert(png.end(), {'I', 'D', 'A', 'T'});
    png.resize(png.size() + 256, 0xA1);
    std::string error;
    EXPECT_EQ(TextureLoader::LoadMemory(png.data(), png.size(), &error), nullptr);
    EXPECT_EQ(error, "the image is cut short");

    // A sound PNG, and the same with bytes after its end, still read.
    std::vector<std::uint8_t> px(3 * 2 * 4, 9);
    TempDir dir;
    ASSERT_TRUE(PngWriter::WriteUtf8(dir.File("ok.png"), 3, 2, px.data()));
    std::vector<std::uint8_t> good = ReadBytes(dir.File("ok.png"));
    EXPECT_NE(AutoPtr<TextureInstance>(TextureLoader::LoadMemory(good.data(), good.size())).get(), nullptr);
    good.insert(good.end(), 10, 0);
    EXPECT_NE(AutoPtr<TextureInstance>(TextureLoader::LoadMemory(good.data(), good.size())).get(), nullptr);
}

TEST(TextureLoaderTest, JpegHuffmanTablesOfMoreThan256CodesAreRefused) {
    // Sixteen counts of 255 codes: 4080 code sizes for a table that has room for 256.
    std::vector<std::uint8_t> jpg{0xFF, 0xD8, 0xFF, 0xC4, 0x00, 0x13, 0x00};
    jpg.insert(jpg.end(), 16, 0xFF);
    jpg.insert(jpg.end(), {0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3F, 0x00, 0x12, 0x34, 0xFF, 0xD9});
    const auto refusal = [](const std::vector<std::uint8_t>& bytes) {
        std::string error;
        EXPECT_EQ(TextureLoader::LoadMemory(bytes.data(), bytes.size(), &error), nullptr);
        return error;
    };
    EXPECT_EQ(refusal(jpg), "cannot decode the image (Bogus Huffman table definition)");

    // A sound table gets past it, to the missing frame header.
    for (std::size_t i = 7; i < 7 + 16; ++i)
        jpg[i] = 0;
    EXPECT_EQ(refusal(jpg), "cannot decode the image (Invalid JPEG file structure: SOS before SOF)");

    // Padding after a segment is skipped on the way to the next marker, and fill bytes before
    // the start of the image are taken: neither hides the table.
    std::vector<std::uint8_t> padded{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 0x00, 0x00,
                                     0x00, 0x12, 0x34, 0xFF, 0xC4, 0x00, 0x13, 0x00};
    padded.insert(padded.end(), 16, 0xFF);
    padded.insert(padded.end(), {0xFF, 0xD9});
    EXPECT_EQ(refusal(padded), "cannot decode the image (Bogus Huffman table definition)");
    padded.insert(padded.begin(), {0xFF, 0xFF});
    EXPECT_EQ(refusal(padded), "cannot decode the image (Bogus Huffman table definition)");
}

namespace {

/// `components` samples a pixel, all pixels `sample`, encoded by libjpeg; CMYK is written with
/// the Adobe marker, inks inverted, as Photoshop writes it.
std::vector<std::uint8_t> EncodeJpeg(int width, int height, J_COLOR_SPACE space, std::vector<std::uint8_t> sample,
                                     bool progressive) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&c, &out, &outSize);
    c.image_width = width;
    c.image_height = height;
    c.input_components = static_cast<int>(sample.size());
    c.in_color_space = space;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 100, TRUE);
    if (progressive)
        jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<std::uint8_t> row;
    for (int x = 0; x < width; ++x)
        row.insert(row.end(), sample.begin(), sample.end());
    while (c.next_scanline < c.image_height) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::vector<std::uint8_t> bytes(out, out + outSize);
    std::free(out);
    return bytes;
}

void ExpectColour(const std::vector<std::uint8_t>& jpg, std::vector<int> rgb, const char* what) {
    std::string error;
    AutoPtr<TextureInstance> t(TextureLoader::LoadMemory(jpg.data(), jpg.size(), &error));
    ASSERT_TRUE(t) << what << ": " << error;
    EXPECT_EQ(t->Width(), 24) << what;
    EXPECT_EQ(t->Height(), 16) << what;
    const auto p = Pixel(t, 23, 15);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(p[i], rgb[i], 3) << what << " channel " << i;
    EXPECT_EQ(p[3], 255) << what;
}

} // namespace

TEST(TextureLoaderTest, ReadsGreyCmykAndProgressiveJpeg) {
    LiveObjects live;
    ExpectColour(EncodeJpeg(24, 16, JCS_GRAYSCALE, {90}, false), {90, 90, 90}, "grey");
    // Red in Adobe's inverted inks: no cyan, full magenta and yellow, no black.
    ExpectColour(EncodeJpeg(24, 16, JCS_CMYK, {255, 0, 0, 255}, false), {255, 0, 0}, "cmyk");
    ExpectColour(EncodeJpeg(24, 16, JCS_CMYK, {255, 255, 255, 128}, false), {128, 128, 128}, "cmyk grey");
    const std::vector<std::uint8_t> progressive = EncodeJpeg(24, 16, JCS_RGB, {30, 160, 220}, true);
    ExpectColour(progressive, {30, 160, 220}, "progressive");
    std::vector<std::uint8_t> filled(3, 0xFF);
    filled.insert(filled.end(), progressive.begin() + 1, progressive.end());
    ExpectColour(filled, {30, 160, 220}, "fill bytes before the start");
}

TEST(TextureLoaderTest, JpegOfThousandsOfScansIsRefused) {
    // Each scan of a progressive image passes over all of it, so a small file repeating one
    // scan thousands of times would take minutes to decode.
    LiveObjects live;
    const std::vector<std::uint8_t> jpg = EncodeJpeg(24, 16, JCS_RGB, {30, 160, 220}, true);
    std::size_t sos = 2;
    while (sos + 4 < jpg.size() && jpg[sos + 1] != 0xDA)
        sos += 2 + (std::size_t(jpg[sos + 2]) << 8 | jpg[sos + 3]);
    std::size_t next = sos + 2;
    while (next + 1 < jpg.size() && !(jpg[next] == 0xFF && jpg[next + 1] == 0xDA))
        ++next;
    ASSERT_LT(next, jpg.size() - 2);
    const auto repeated = [&](int times) {
        std::vector<std::uint8_t> b(jpg.begin(), jpg.begin() + sos);
        for (int i = 0; i < times; ++i)
            b.insert(b.end(), jpg.begin() + sos, jpg.begin() + next);
        b.insert(b.end(), jpg.begin() + next, jpg.end());
        return b;
    };
    std::string error;
    const std::vector<std::uint8_t> many = repeated(1200);
    EXPECT_EQ(TextureLoader::LoadMemory(many.data(), many.size(), &error), nullptr);
    EXPECT_EQ(error, "cannot decode the image (more than 1000 scans)");
    const std::vector<std::uint8_t> few = repeated(20); // a bogus progression, decoded all the same
    EXPECT_NE(AutoPtr<TextureInstance>(TextureLoader::LoadMemory(few.data(), few.size())).get(), nullptr);
}
