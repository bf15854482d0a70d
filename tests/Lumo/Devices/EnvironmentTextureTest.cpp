// High-dynamic-range environment maps: what is accepted, the OpenEXR round trip, bad files,
// sampling by direction, and image-based lighting built from them.
#include "DeviceTestSupport.h"

#include <Lumo/Devices/AFragment.h>
#include <Lumo/Devices/EnvironmentTexture.h>
#include <Lumo/Devices/GraphicScheme.h>
#include <Lumo/Devices/IBLInstance.h>
#include <Lumo/Objects/AutoPtr.h>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Lumo::Devices;
using Lumo::Objects::AutoPtr;
using Lumo::Objects::vec3;
using LumoDevicesTest::LiveObjects;
using LumoDevicesTest::ReadBytes;
using LumoDevicesTest::TempDir;
using LumoDevicesTest::WriteBytes;

namespace {

/// A lat-long map lit from above: the radiance of each texel is 1 + 3 * its direction's height,
/// in red only, so that up and down are told apart by their values.
AutoPtr<EnvironmentTexture> UpLitMap(int w, int h) {
    std::vector<float> rgba(std::size_t(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const vec3<float> d = EnvironmentTexture::LatLongDirection(w, h, float(x), float(y));
            float* t = &rgba[(std::size_t(y) * w + x) * 4];
            t[0] = 1.0f + 3.0f * d.y;
            t[1] = 0.25f;
            t[2] = 0.0f;
            t[3] = 0.5f;
        }
    return EnvironmentTexture::Make(w, h, std::move(rgba));
}

} // namespace

TEST(EnvironmentTextureTest, MakeRefusesWhatCannotBeAMap) {
    LiveObjects live;
    EXPECT_EQ(EnvironmentTexture::Make(0, 4, {}), nullptr);
    EXPECT_EQ(EnvironmentTexture::Make(4, 2, std::vector<float>(4 * 2 * 4 - 1)), nullptr) << "short data";
    EXPECT_EQ(EnvironmentTexture::Make(4, 2, std::vector<float>(4 * 2 * 4 + 4)), nullptr) << "long data";
    std::vector<float> bad(4 * 2 * 4, 1.0f);
    bad[5] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(EnvironmentTexture::Make(4, 2, bad), nullptr);
    bad[5] = std::numeric_limits<float>::infinity();
    EXPECT_EQ(EnvironmentTexture::Make(4, 2, bad), nullptr);
    EXPECT_EQ(EnvironmentTexture::Make(4, 20, std::vector<float>(4 * 20 * 4), EnvironmentTexture::eCube), nullptr)
        << "a cube is six faces high";
    AutoPtr<EnvironmentTexture> cube =
        EnvironmentTexture::Make(4, 24, std::vector<float>(4 * 24 * 4, 0.5f), EnvironmentTexture::eCube);
    ASSERT_TRUE(cube);
    EXPECT_EQ(cube->Layout(), EnvironmentTexture::eCube);
}

TEST(EnvironmentTextureTest, BaseLevelKeepsHighValuesEncoded) {
    LiveObjects live;
    std::vector<float> rgba = {4.0f, 1.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f};
    AutoPtr<EnvironmentTexture> t = EnvironmentTexture::Make(2, 1, rgba);
    ASSERT_TRUE(t);
    SLockedLevel level = t->LockLevel(0);
    ASSERT_TRUE(level);
    // colour = rgb * alpha * range: 4.0 survives an 8-bit texture.
    const float m = level.data[3] / 255.0f * EnvironmentTexture::kRgbmRange;
    EXPECT_NEAR(level.data[0] / 255.0f * m, 4.0f, 0.05f);
    EXPECT_NEAR(level.data[1] / 255.0f * m, 1.0f, 0.05f);
    EXPECT_EQ(level.data[4 + 3], 0) << "black has no multiplier";
    t->UnlockLevel(0);
}

TEST(EnvironmentTextureTest, ExrRoundTripKeepsValuesLayoutAndChannels) {
    LiveObjects live;
    TempDir dir;
    AutoPtr<EnvironmentTexture> map = UpLitMap(16, 8);
    ASSERT_TRUE(map);
    std::string error;
    ASSERT_TRUE(map->SaveExr(dir.File("up.exr"), &error)) << error;
    EXPECT_FALSE(std::filesystem::exists(dir.File("up.exr.partial")));

    AutoPtr<EnvironmentTexture> back = EnvironmentTexture::LoadExr(dir.File("up.exr"), 4, &error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->Width(), 16);
    EXPECT_EQ(back->Height(), 8);
    EXPECT_EQ(back->Layout(), EnvironmentTexture::eLatLong);
    for (int y = 0; y < 8; ++y) {
        // Half floats keep about three decimal digits.
        EXPECT_NEAR(back->Texel(3, y).x, map->Texel(3, y).x, 4e-3f);
        EXPECT_NEAR(back->Texel(3, y).w, 0.5f, 1e-3f);
    }

    AutoPtr<EnvironmentTexture> rgb = EnvironmentTexture::LoadExr(dir.File("up.exr"), 3);
    ASSERT_TRUE(rgb);
    EXPECT_EQ(rgb->Texel(0, 0).w, 1.0f) << "three channels drop the alpha";
    AutoPtr<EnvironmentTexture> grey = EnvironmentTexture::LoadExr(dir.File("up.exr"), 1);
    ASSERT_TRUE(grey);
    const auto g = grey->Texel(0, 0);
    EXPECT_EQ(g.x, g.y);
    EXPECT_EQ(g.y, g.z);
    EXPECT_NEAR(g.x, 0.2126f * back->Texel(0, 0).x + 0.7152f * 0.25f, 2e-3f);
    EXPECT_EQ(EnvironmentTexture::LoadExr(dir.File("up.exr"), 5, &error), nullptr);
    EXPECT_NE(error.find("channel"), std::string::npos);

    AutoPtr<EnvironmentTexture> cube =
        EnvironmentTexture::Make(2, 12, std::vector<float>(2 * 12 * 4, 0.75f), EnvironmentTexture::eCube);
    ASSERT_TRUE(cube->SaveExr(dir.File("cube.exr")));
    AutoPtr<EnvironmentTexture> cubeBack = EnvironmentTexture::LoadExr(dir.File("cube.exr"), 4);
    ASSERT_TRUE(cubeBack);
    EXPECT_EQ(cubeBack->Layout(), EnvironmentTexture::eCube);
}

TEST(EnvironmentTextureTest, BadFilesGiveNothingAndSayWhy) {
    LiveObjects live;
    TempDir dir;
    std::string error;
    EXPECT_EQ(EnvironmentTexture::LoadExr(dir.File("missing.exr"), 4, &error), nullptr);
    EXPECT_NE(error.find("missing.exr"), std::string::npos);

    WriteBytes(dir.File("empty.exr"), {});
    EXPECT_EQ(EnvironmentTexture::LoadExr(dir.File("empty.exr"), 4, &error), nullptr);
    EXPECT_FALSE(error.empty());

    WriteBytes(dir.File("text.exr"), std::vector<std::uint8_t>(200, 'x'));
    EXPECT_EQ(EnvironmentTexture::LoadExr(dir.File("text.exr"), 4), nullptr);

    // A real file cut short, and one whose pixel data is overwritten with noise.
    ASSERT_TRUE(UpLitMap(64, 32)->SaveExr(dir.File("whole.exr")));
    std::vector<std::uint8_t> bytes = ReadBytes(dir.File("whole.exr"));
    ASSERT_GT(bytes.size(), 400u);
    std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + std::ptrdiff_t(bytes.size() / 2));
    WriteBytes(dir.File("cut.exr"), cut);
    error.clear();
    EXPECT_EQ(EnvironmentTexture::LoadExr(dir.File("cut.exr"), 4, &error), nullptr);
    EXPECT_FALSE(error.empty());
    std::vector<std::uint8_t> noisy = bytes;
    for (std::size_t i = 300; i < noisy.size(); ++i)
        noisy[i] = std::uint8_t(i * 2654435761u >> 13);
    WriteBytes(dir.File("noisy.exr"), noisy);
    AutoPtr<EnvironmentTexture> survived = EnvironmentTexture::LoadExr(dir.File("noisy.exr"), 4);
    if (survived) { // noise that still decodes must at least be finite
        for (float v : survived->HdrData())
            EXPECT_TRUE(std::isfinite(v));
    }
}

TEST(EnvironmentTextureTest, SamplingFollowsDirection) {
    LiveObjects live;
    AutoPtr<EnvironmentTexture> map = UpLitMap(32, 17);
    EXPECT_NEAR(map->Sample({0, 1, 0}).x, 4.0f, 1e-3f);
    EXPECT_NEAR(map->Sample({0, -2, 0}).x, -2.0f, 1e-3f) << "length does not matter";
    EXPECT_NEAR(map->Sample({1, 0, 0}).x, 1.0f, 0.05f);
    EXPECT_NEAR(map->Sample({0, 0, -1}).x, 1.0f, 0.05f);
    EXPECT_EQ(map->Sample({0, 0, 0}).x, 0.0f);
    // The mean of 1 + 3y over the sphere is 1.
    EXPECT_NEAR(map->Average().x, 1.0f, 0.05f);
    EXPECT_NEAR(map->Average().y, 0.25f, 1e-4f);

    std::vector<float> faces(4 * 24 * 4, 0.0f);
    for (int y = 8; y < 12; ++y) // the +Y face, third from the top
        for (int x = 0; x < 4; ++x)
            faces[(std::size_t(y) * 4 + x) * 4] = 2.0f;
    AutoPtr<EnvironmentTexture> cube = EnvironmentTexture::Make(4, 24, faces, EnvironmentTexture::eCube);
    EXPECT_EQ(cube->Sample({0.1f, 1, -0.2f}).x, 2.0f);
    EXPECT_EQ(cube->Sample({0, -1, 0}).x, 0.0f);
    EXPECT_EQ(cube->Sample({1, 0.2f, 0}).x, 0.0f);
}

TEST(EnvironmentTextureTest, ImageBasedLightingScalesAndTurnsItsMaps) {
    LiveObjects live;
    AutoPtr<IBLInstance> ibl = IBLInstance::Make();
    EXPECT_TRUE(ibl->IsEmpty());
    EXPECT_EQ(ibl->Evaluate(IBLInstance::eSharp, {0, 1, 0}).x, 0.0f);

    AutoPtr<AFragment> sharp = GraphicScheme::CreateSharpEnvironment(nullptr);
    EXPECT_EQ(sharp->Name(), GraphicScheme::SharpEnvironmentName());
    const int cube = sharp->InputIndex(GraphicScheme::CubeParameter());
    const int gain = sharp->InputIndex(GraphicScheme::GainParameter());
    const int transform = sharp->InputIndex(GraphicScheme::TransformParameter());
    ASSERT_GE(cube, 0);
    ASSERT_GE(gain, 0);
    ASSERT_GE(transform, 0);
    EXPECT_EQ(sharp->Defaults().GetFloat(gain), 1.0f);
    EXPECT_TRUE(sharp->Defaults().GetMatrix(transform).IsIdentity());

    const std::uint64_t before = ibl->Version();
    ibl->Environment(IBLInstance::eSharp, sharp);
    EXPECT_GT(ibl->Version(), before);
    EXPECT_FALSE(ibl->IsEmpty());
    EXPECT_EQ(ibl->Evaluate(IBLInstance::eSharp, {0, 1, 0}).x, 0.0f) << "no texture yet";

    AutoPtr<EnvironmentTexture> map = UpLitMap(32, 17);
    sharp->Defaults().SetTexture(cube, map);
    sharp->Defaults().SetFloat(gain, 0.5f);
    EXPECT_NEAR(ibl->Evaluate(IBLInstance::eSharp, {0, 1, 0}).x, 2.0f, 1e-3f);
    // Turning the map upside down (about x) makes the floor of the map look up.
    sharp->Defaults().SetMatrix(transform, Lumo::Objects::mat4<float>::Rotation({1, 0, 0}, 3.14159265f));
    EXPECT_NEAR(ibl->Evaluate(IBLInstance::eSharp, {0, 1, 0}).x, -1.0f, 1e-3f);
    EXPECT_EQ(ibl->Evaluate(IBLInstance::eAmbient, {0, 1, 0}).x, 0.0f);
    EXPECT_EQ(ibl->Evaluate(IBLInstance::ESlot(7), {0, 1, 0}).x, 0.0f);
}

TEST(EnvironmentTextureTest, HugeDeclaredSizesAreRefusedBeforeOpenExrReadsOn) {
    LiveObjects live;
    TempDir dir;
    ASSERT_TRUE(UpLitMap(4, 2)->SaveExr(dir.File("small.exr")));
    const std::vector<std::uint8_t> small = ReadBytes(dir.File("small.exr"));
    const std::string name("dataWindow\0box2i\0", 17);
    const auto at = std::search(small.begin(), small.end(), name.begin(), name.end());
    ASSERT_NE(at, small.end());
    const std::size_t box = std::size_t(at - small.begin()) + name.size() + 4; // after the value's size
    // The data window's corners as the file has them; only the far one is moved.
    const auto declaring = [&](std::int32_t xMax, std::int32_t yMax) {
        std::vector<std::uint8_t> b = small;
        for (int i = 0; i < 4; ++i) {
            b[box + 8 + i] = std::uint8_t(std::uint32_t(xMax) >> (8 * i));
            b[box + 12 + i] = std::uint8_t(std::uint32_t(yMax) >> (8 * i));
        }
        return b;
    };
    const struct {
        const char* file;
        std::int32_t xMax, yMax;
        std::string error;
    } cases[] = {
        {"huge.exr", 99999, 99999, "image of 100000 x 100000 pixels exceeds the limit of 16384 x 16384 pixels"},
        // OpenEXR itself would first ask for a table of eight bytes a row: 8 GiB here.
        {"tall.exr", 0, (1 << 30) - 1, "image of 1 x 1073741824 pixels exceeds the limit of 16384 x 16384 pixels"},
        {"many.exr", 8191, 4095, "image of 8192 x 4096 pixels exceeds the limit of 16777216 pixels"},
    };
    for (const auto& c : cases) {
        WriteBytes(dir.File(c.file), declaring(c.xMax, c.yMax));
        std::string error;
        EXPECT_EQ(EnvironmentTexture::LoadExr(dir.File(c.file), 4, &error), nullptr) << c.file;
        EXPECT_EQ(error, dir.File(c.file) + ": " + c.error);
    }
    // Declaring the size it has, the patched file reads: the patch touched only the window.
    WriteBytes(dir.File("same.exr"), declaring(3, 1));
    std::string error;
    AutoPtr<EnvironmentTexture> same = EnvironmentTexture::LoadExr(dir.File("same.exr"), 4, &error);
    EXPECT_TRUE(same) << error;
}
