#include <Lumo/Graphics/GlyphAtlas.h>
#include <Lumo/Objects/AutoPtr.h>

#include <gtest/gtest.h>

#include <vector>

using namespace Lumo::Text;
using Lumo::Objects::AutoPtr;

namespace {
/// A bitmap whose every pixel tells where it came from.
std::vector<std::uint8_t> Pattern(int w, int h, int key) {
    std::vector<std::uint8_t> px(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            px[static_cast<std::size_t>(y) * w + x] = static_cast<std::uint8_t>(1 + (key * 31 + x * 7 + y * 3) % 254);
    return px;
}

bool IsPowerOfTwo(int v) {
    return v > 0 && (v & (v - 1)) == 0;
}
} // namespace

TEST(GlyphAtlasTest, PacksWithoutOverlapAndKeepsEveryPixel) {
    AutoPtr<GlyphAtlas> atlas(GlyphAtlas::Make(EAtlasFormat::A8, 1));
    const int sizes[][2] = {{10, 20}, {3, 3}, {40, 7}, {1, 1}, {17, 33}, {25, 25}, {8, 12}, {60, 2}};
    std::vector<std::vector<std::uint8_t>> sources;
    for (int k = 0; k < 8; ++k) {
        sources.push_back(Pattern(sizes[k][0], sizes[k][1], k));
        EXPECT_TRUE(atlas->Add(k, sizes[k][0], sizes[k][1], sources.back().data()));
    }
    EXPECT_EQ(atlas->Find(0), nullptr); // not packed yet
    atlas->Pack();
    ASSERT_TRUE(atlas->IsPacked());
    EXPECT_TRUE(IsPowerOfTwo(atlas->Width()));
    EXPECT_TRUE(IsPowerOfTwo(atlas->Height()));
    EXPECT_EQ(atlas->ByteSize(), static_cast<std::size_t>(atlas->Width() * atlas->Height()));

    std::vector<int> owner(static_cast<std::size_t>(atlas->Width() * atlas->Height()), -1);
    for (int k = 0; k < 8; ++k) {
        const AtlasRect* r = atlas->Find(k);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->width, sizes[k][0]);
        EXPECT_EQ(r->height, sizes[k][1]);
        EXPECT_FLOAT_EQ(r->uvMin.x, float(r->x) / atlas->Width());
        EXPECT_FLOAT_EQ(r->uvMax.y, float(r->y + r->height) / atlas->Height());
        // Padding: the pixels around a glyph belong to nobody.
        for (int y = r->y - 1; y <= r->y + r->height; ++y)
            for (int x = r->x - 1; x <= r->x + r->width; ++x) {
                ASSERT_TRUE(x >= 0 && y >= 0 && x < atlas->Width() && y < atlas->Height());
                int& o = owner[static_cast<std::size_t>(y) * atlas->Width() + x];
                const bool inside = x >= r->x && y >= r->y && x < r->x + r->width && y < r->y + r->height;
                if (inside) {
                    ASSERT_EQ(o, -1) << "glyphs " << k << " and " << o << " overlap";
                    o = k;
                    ASSERT_EQ(atlas->Coverage(x, y),
                              sources[k][static_cast<std::size_t>(y - r->y) * r->width + (x - r->x)]);
                } else {
                    ASSERT_EQ(atlas->Coverage(x, y), 0);
                }
            }
    }
    EXPECT_EQ(atlas->Coverage(-1, 0), 0);
    EXPECT_EQ(atlas->Coverage(atlas->Width(), 0), 0);
}

TEST(GlyphAtlasTest, KeysEmptyBitmapsAndRepacking) {
    AutoPtr<GlyphAtlas> atlas(GlyphAtlas::Make());
    atlas->Pack();
    EXPECT_EQ(atlas->Width(), 0); // nothing to hold
    EXPECT_EQ(atlas->Height(), 0);

    const std::uint8_t one[1] = {200}, other[1] = {50};
    EXPECT_FALSE(atlas->Add(1, 0, 5, one)); // a space has no ink
    EXPECT_FALSE(atlas->Contains(1));
    EXPECT_TRUE(atlas->Add(2, 1, 1, one));
    EXPECT_TRUE(atlas->Add(2, 1, 1, other)); // the first bitmap of a key stays
    EXPECT_EQ(atlas->Count(), 1);
    atlas->Pack();
    const AtlasRect* r = atlas->Find(2);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(atlas->Coverage(r->x, r->y), 200);

    EXPECT_TRUE(atlas->Add(3, 1, 1, other));
    EXPECT_FALSE(atlas->IsPacked());
    EXPECT_EQ(atlas->Find(2), nullptr);
    atlas->Pack();
    ASSERT_NE(atlas->Find(3), nullptr);
    EXPECT_EQ(atlas->Coverage(atlas->Find(3)->x, atlas->Find(3)->y), 50);
}

TEST(GlyphAtlasTest, RgbaIsWhiteWithCoverageAsAlpha) {
    AutoPtr<GlyphAtlas> atlas(GlyphAtlas::Make(EAtlasFormat::RGBA8, 2));
    const std::uint8_t px[4] = {0, 64, 128, 255};
    atlas->Add(7, 2, 2, px);
    atlas->Pack();
    ASSERT_EQ(atlas->BytesPerPixel(), 4);
    const AtlasRect* r = atlas->Find(7);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->x, 2);
    for (int i = 0; i < 4; ++i) {
        const int x = r->x + i % 2, y = r->y + i / 2;
        const std::uint8_t* p = atlas->Pixels() + (static_cast<std::size_t>(y) * atlas->Width() + x) * 4;
        EXPECT_EQ(p[0], 255);
        EXPECT_EQ(p[2], 255);
        EXPECT_EQ(p[3], px[i]);
        EXPECT_EQ(atlas->Coverage(x, y), px[i]);
    }
    EXPECT_EQ(atlas->Pixels()[3], 0); // padding stays transparent
}
