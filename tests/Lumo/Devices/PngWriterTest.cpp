#include "DeviceTestSupport.h"

#include <Lumo/Devices/PngWriter.h>
#include <Lumo/Devices/TextureInstance.h>
#include <Lumo/Devices/TextureLoader.h>
#include <Lumo/Objects/AutoPtr.h>

#include <cstring>

using namespace Lumo::Devices;
using namespace Lumo::Objects;
using LumoDevicesTest::LiveObjects;
using LumoDevicesTest::TempDir;

TEST(PngWriterTest, RoundTripIsExact) {
    LiveObjects live;
    TempDir dir;
    const int w = 17, h = 5; // odd width: rows are not a multiple of 8 bytes
    std::vector<std::uint8_t> px(static_cast<std::size_t>(w * h * 4));
    for (std::size_t i = 0; i < px.size(); ++i)
        px[i] = static_cast<std::uint8_t>((i * 37 + i / 7) & 0xFF);
    AutoPtr<TextureInstance> source(TextureInstance::Make(w, h, px.data()));
    ASSERT_TRUE(PngWriter::Write(dir.WFile("round.png"), source));
    EXPECT_FALSE(source->IsLocked());

    AutoPtr<TextureInstance> back(TextureLoader::Load(dir.WFile("round.png")));
    ASSERT_TRUE(back);
    ASSERT_EQ(back->Width(), w);
    ASSERT_EQ(back->Height(), h);
    SLockedLevel level = back->LockLevel(0);
    EXPECT_EQ(std::memcmp(level.data, px.data(), px.size()), 0);
    back->UnlockLevel(0);
}

TEST(PngWriterTest, HonoursTheRowPitch) {
    LiveObjects live;
    TempDir dir;
    // 2 x 2 with 4 bytes of padding after each row; the padding must not be written.
    const std::uint8_t px[2 * 12] = {1, 2,  3,  4,  5,  6,  7,  8,  99, 99, 99, 99,
                                     9, 10, 11, 12, 13, 14, 15, 16, 99, 99, 99, 99};
    ASSERT_TRUE(PngWriter::WriteUtf8(dir.File("pitch.png"), 2, 2, px, 12));
    AutoPtr<TextureInstance> back(TextureLoader::LoadUtf8(dir.File("pitch.png")));
    ASSERT_TRUE(back);
    SLockedLevel level = back->LockLevel(0);
    EXPECT_EQ(level.data[8], 9);
    EXPECT_EQ(level.data[15], 16);
    back->UnlockLevel(0);
}

TEST(PngWriterTest, FailuresAnswerFalseAndLeaveNoFile) {
    LiveObjects live;
    TempDir dir;
    const std::uint8_t px[4] = {1, 2, 3, 4};
    EXPECT_FALSE(PngWriter::WriteUtf8(dir.File("no/such/folder/x.png"), 1, 1, px));
    EXPECT_FALSE(PngWriter::WriteUtf8(dir.File("zero.png"), 0, 1, px));
    EXPECT_FALSE(PngWriter::WriteUtf8(dir.File("null.png"), 1, 1, nullptr));
    EXPECT_FALSE(PngWriter::WriteUtf8(dir.File("pitch.png"), 2, 1, px, 4));
    EXPECT_FALSE(PngWriter::Write(dir.WFile("none.png"), nullptr));
    EXPECT_FALSE(std::filesystem::exists(dir.File("zero.png")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("null.png")));

    AutoPtr<TextureInstance> locked(TextureInstance::Make(1, 1));
    ASSERT_TRUE(locked->LockLevel(0));
    EXPECT_FALSE(PngWriter::Write(dir.WFile("locked.png"), locked));
    locked->UnlockLevel(0);
    EXPECT_FALSE(std::filesystem::exists(dir.File("locked.png")));
}
