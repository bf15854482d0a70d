#include "DeviceTestSupport.h"

#include <Lumo/Devices/TextureInstance.h>
#include <Lumo/Objects/AutoPtr.h>

using namespace Lumo::Devices;
using namespace Lumo::Objects;
using LumoDevicesTest::LiveObjects;

TEST(TextureInstanceTest, LockLevelReadsBackTheGivenPixels) {
    LiveObjects live;
    // 3 x 2 pixels given with a padded row pitch of 16 bytes.
    std::uint8_t pixels[2 * 16] = {};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            for (int c = 0; c < 4; ++c)
                pixels[y * 16 + x * 4 + c] = static_cast<std::uint8_t>(y * 100 + x * 10 + c);
    AutoPtr<TextureInstance> t(TextureInstance::Make(3, 2, pixels, 16));
    ASSERT_TRUE(t);
    EXPECT_EQ(t->Width(), 3);
    EXPECT_EQ(t->Height(), 2);
    EXPECT_EQ(t->Format(), eFormatRGBA8);

    SLockedLevel level = t->LockLevel(0);
    ASSERT_TRUE(level);
    EXPECT_EQ(level.rowPitch, 12);
    EXPECT_EQ(level.width, 3);
    EXPECT_EQ(level.height, 2);
    const std::uint8_t* p = level.data + 1 * level.rowPitch + 2 * 4; // pixel (2, 1)
    EXPECT_EQ(p[0], 120);
    EXPECT_EQ(p[3], 123);
    EXPECT_EQ(level.data[0], 0);
    t->UnlockLevel(0);
}

TEST(TextureInstanceTest, LocksAreExclusiveAndWritesMoveTheVersion) {
    LiveObjects live;
    AutoPtr<TextureInstance> t(TextureInstance::Make(2, 2));
    const auto v0 = t->Version();
    EXPECT_TRUE(t->HasAlpha()); // transparent black

    EXPECT_FALSE(t->LockLevel(1));
    EXPECT_FALSE(t->LockLevel(-1));
    SLockedLevel read = t->LockLevel(0);
    ASSERT_TRUE(read);
    EXPECT_TRUE(t->IsLocked());
    EXPECT_FALSE(t->LockLevel(0));
    t->UnlockLevel(0);
    EXPECT_EQ(t->Version(), v0); // reading does not make the backend upload again

    SLockedLevel write = t->LockLevel(0, true);
    ASSERT_TRUE(write);
    for (int i = 0; i < 16; ++i)
        write.data[i] = 255;
    t->UnlockLevel(0);
    EXPECT_FALSE(t->IsLocked());
    EXPECT_GT(t->Version(), v0);
    EXPECT_FALSE(t->HasAlpha());
    write = t->LockLevel(0, true);
    write.data[7] = 128;
    t->UnlockLevel(0);
    EXPECT_TRUE(t->HasAlpha());
    t->UnlockLevel(0); // unbalanced unlock: harmless
}

TEST(TextureInstanceTest, BadSizesAreRefusedAndSamplingIsKept) {
    LiveObjects live;
    EXPECT_EQ(TextureInstance::Make(0, 4), nullptr);
    EXPECT_EQ(TextureInstance::Make(4, -1), nullptr);
    EXPECT_EQ(TextureInstance::Make(TextureInstance::kMaxSize + 1, 1), nullptr);
    std::uint8_t px[8] = {};
    EXPECT_EQ(TextureInstance::Make(2, 1, px, 4), nullptr); // pitch shorter than a row

    AutoPtr<TextureInstance> t(TextureInstance::Make(1, 1));
    EXPECT_EQ(t->Filter(), eFilterLinear);
    t->Sampling(eFilterNearest, eAddressClamp);
    EXPECT_EQ(t->Filter(), eFilterNearest);
    EXPECT_EQ(t->AddressU(), eAddressClamp);
    EXPECT_EQ(t->AddressV(), eAddressClamp);
    EXPECT_EQ(t->SourcePath(), nullptr);
}
