#include <Brio/Types/Color.h>

#include <gtest/gtest.h>

#include <limits>

using Brio::Color;

TEST(ColorTest, PacksRedInTheLowByte) {
    EXPECT_EQ(Color().toRGBA8(), 0xFF000000u); // opaque black
    EXPECT_EQ(Color(1.0f, 0.0f, 0.0f).toRGBA8(), 0xFF0000FFu);
    EXPECT_EQ(Color(0.0f, 1.0f, 0.0f, 0.0f).toRGBA8(), 0x0000FF00u);
    EXPECT_EQ(Color(0.0f, 0.0f, 1.0f, 0.0f).toRGBA8(), 0x00FF0000u);
    EXPECT_EQ(Color::fromRGBA8(0x12, 0x34, 0x56, 0x78).toRGBA8(), 0x78563412u);
    EXPECT_EQ(Color::fromRGBA8(1, 2, 3).alpha(), 1.0f);
}

TEST(ColorTest, EveryByteValueRoundTrips) {
    for (int v = 0; v < 256; ++v) {
        const auto b = static_cast<uint8_t>(v);
        const uint32_t packed = Color::fromRGBA8(b, b, b, b).toRGBA8();
        ASSERT_EQ(packed, 0x01010101u * static_cast<uint32_t>(v)) << v;
    }
}

TEST(ColorTest, ChannelsAreClampedAndRounded) {
    EXPECT_EQ(Color(-0.5f, 2.0f, 0.0f, 100.0f).toRGBA8(), 0xFF00FF00u);
    EXPECT_EQ(Color(std::numeric_limits<float>::quiet_NaN(), 0.0f, 0.0f, 0.0f).toRGBA8(), 0u);
    // 0.5/255 rounds up, just below rounds down.
    EXPECT_EQ(Color(0.6f / 255.0f, 0.4f / 255.0f, 0.0f, 0.0f).toRGBA8(), 0x00000001u);
    EXPECT_EQ(Color(254.6f / 255.0f, 0.0f, 0.0f, 0.0f).toRGBA8() & 0xFFu, 255u);
}
