#include <Lumo/Graphics/ATextNode.h>
#include <Lumo/Graphics/TextSystem.h>
#include <Lumo/Objects/AutoPtr.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <vector>

using namespace Lumo::Text;
using Lumo::Objects::AutoPtr;

namespace {
AutoPtr<ATextNode> MakeText(const wchar_t* text, float height = 1.0f) {
    AutoPtr<ATextNode> node(ATextNode::Make());
    TextStyle style;
    style.Height(height);
    node->Style(style);
    node->TextData(text);
    return node;
}

const GlyphQuad* QuadOf(const TextLayout& layout, wchar_t c) {
    for (const GlyphQuad& q : layout.Quads())
        if (q.character == c)
            return &q;
    return nullptr;
}

long CoverageSum(const GlyphAtlas& atlas, const AtlasRect& r) {
    long sum = 0;
    for (int y = r.y; y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x)
            sum += atlas.Coverage(x, y);
    return sum;
}
} // namespace

TEST(ATextNodeTest, MetricsOfHgReachAboveAndBelowTheBaseline) {
    const float h = 2.0f;
    AutoPtr<ATextNode> node = MakeText(L"Hg", h);
    const TextMetrics& m = node->Metrics();
    ASSERT_EQ(m.LineCount(), 1);
    EXPECT_EQ(m.LineStartPosition(0), (Lumo::Objects::vec3<float>(0, 0, 0)));
    EXPECT_GT(m.Ascent(), 0.7f * h);
    EXPECT_LT(m.Descent(), -0.15f * h);
    const auto& box = m.Extent();
    ASSERT_FALSE(box.IsEmpty());
    EXPECT_NEAR(box.Max().y, m.Ascent(), 1e-4);
    EXPECT_NEAR(box.Min().y, m.Descent(), 1e-4);
    EXPECT_NEAR(box.Min().x, 0.0, 0.05 * h);
    EXPECT_NEAR(box.Max().x, m.LineWidth(0), 1e-4);
    EXPECT_EQ(node->WorldBox(), box);

    // Ink: the H stands on the baseline up to the cap height; the g hangs below it.
    const TextLayout& layout = node->Layout();
    ASSERT_EQ(layout.Quads().size(), 2u);
    const float pixel = h / layout.PixelsPerEm();
    const GlyphQuad* H = QuadOf(layout, L'H');
    const GlyphQuad* g = QuadOf(layout, L'g');
    ASSERT_TRUE(H && g);
    EXPECT_NEAR(H->corners[0].y, 0.0f, 1.5f * pixel);
    EXPECT_NEAR(H->corners[2].y, 0.729f * h, 1.5f * pixel);
    EXPECT_LT(g->corners[0].y, -0.15f * h);
    EXPECT_GT(g->corners[0].x, H->corners[1].x - pixel); // laid out left to right
    EXPECT_EQ(g->line, 0);
}

TEST(ATextNodeTest, LinesStackDownwardByTheLineAdvance) {
    AutoPtr<ATextNode> node = MakeText(L"Ag\r\nBy\nC", 2.0f);
    TextStyle style = node->Style();
    style.LineSpacing(1.5f);
    node->Style(style);
    const TextMetrics& m = node->Metrics();
    ASSERT_EQ(m.LineCount(), 3);
    // About height times spacing: the font's own line height is a little over one em.
    EXPECT_GT(m.LineAdvance(), 2.0f * 1.5f);
    EXPECT_LT(m.LineAdvance(), 2.0f * 1.5f * 1.25f);
    EXPECT_FLOAT_EQ(m.LineStartPosition(1).y, -m.LineAdvance());
    EXPECT_FLOAT_EQ(m.LineStartPosition(2).y, -2.0f * m.LineAdvance());
    EXPECT_NEAR(m.Extent().Min().y, -2.0f * m.LineAdvance() + m.Descent(), 1e-4);
    EXPECT_NEAR(m.Extent().Max().y, m.Ascent(), 1e-4);

    // The '\r' of a "\r\n" is no glyph; a trailing '\n' starts an empty line.
    EXPECT_EQ(node->Layout().Quads().size(), 5u);
    EXPECT_EQ(QuadOf(node->Layout(), L'B')->line, 1);
    node->TextData(L"A\n");
    EXPECT_EQ(node->Metrics().LineCount(), 2);
    EXPECT_EQ(node->Metrics().LineWidth(1), 0.0f);
}

TEST(ATextNodeTest, EmptyTextHasEmptyMetrics) {
    AutoPtr<ATextNode> node = MakeText(L"");
    EXPECT_EQ(node->Metrics().LineCount(), 0);
    EXPECT_TRUE(node->Metrics().Extent().IsEmpty());
    EXPECT_TRUE(node->WorldBox().IsEmpty());
    EXPECT_TRUE(node->Layout().IsEmpty());
    ASSERT_NE(node->Layout().Atlas(), nullptr);
    EXPECT_EQ(node->Layout().Atlas()->Width(), 0);
    EXPECT_EQ(node->Metrics().LineStartPosition(0), (Lumo::Objects::vec3<float>()));

    node->TextData(L"x");
    node->TextData(nullptr);
    EXPECT_EQ(node->Metrics().LineCount(), 0);
    node->TextData(L"abc", 0);
    EXPECT_TRUE(node->WorldBox().IsEmpty());
    node->TextData(L"abc", 2);
    EXPECT_EQ(node->TextData(), L"ab");
}

TEST(ATextNodeTest, AlignmentShiftsEachLineByItsWidth) {
    AutoPtr<ATextNode> node = MakeText(L"Hi\nHello");
    const float w0 = node->Metrics().LineWidth(0), w1 = node->Metrics().LineWidth(1);
    ASSERT_GT(w1, w0);
    EXPECT_FLOAT_EQ(node->Metrics().Width(), w1);
    const float leftH = QuadOf(node->Layout(), L'H')->corners[0].x;

    TextStyle style = node->Style();
    style.Alignment(EHorizontalAlignment::Center);
    node->Style(style);
    EXPECT_FLOAT_EQ(node->Metrics().LineStartPosition(0).x, -0.5f * w0);
    EXPECT_FLOAT_EQ(node->Metrics().LineStartPosition(1).x, -0.5f * w1);
    EXPECT_NEAR(node->WorldBox().Center().x, 0.0, 0.05);
    EXPECT_FLOAT_EQ(QuadOf(node->Layout(), L'H')->corners[0].x, leftH - 0.5f * w0);

    style.Alignment(EHorizontalAlignment::Right);
    node->Style(style);
    EXPECT_FLOAT_EQ(node->Metrics().LineStartPosition(0).x, -w0);
    EXPECT_FLOAT_EQ(node->Metrics().LineStartPosition(1).x, -w1);
    EXPECT_NEAR(node->WorldBox().Max().x, 0.0, 1e-5);
    EXPECT_FLOAT_EQ(node->Metrics().LineWidth(1), w1); // alignment moves, never resizes
}

TEST(ATextNodeTest, KerningAdvanceAndScale) {
    AutoPtr<ATextNode> node = MakeText(L"AV", 3.0f);
    FontFace* face = node->Face();
    ASSERT_TRUE(face);
    const unsigned a = face->GlyphIndex(U'A'), v = face->GlyphIndex(U'V');
    EXPECT_NEAR(node->Metrics().LineWidth(0), 3.0f * (face->Advance(a) + face->Kerning(a, v) + face->Advance(v)), 1e-4);
    EXPECT_LT(face->Kerning(a, v), 0.0f);

    AutoPtr<ATextNode> small = MakeText(L"AV", 1.0f);
    EXPECT_NEAR(node->Metrics().LineWidth(0), 3.0f * small->Metrics().LineWidth(0), 1e-4);
    EXPECT_NEAR(node->Metrics().Extent().Min().y, 3.0 * small->Metrics().Extent().Min().y, 1e-4);
}

TEST(ATextNodeTest, MissingFontFallsBackAndNoFontGivesEmptyMetrics) {
    AutoPtr<ATextNode> reference = MakeText(L"Hg");
    AutoPtr<ATextNode> node = MakeText(L"Hg");
    TextStyle style = node->Style();
    style.FontFamily(L"Font That Is Not Installed");
    node->Style(style);
    ASSERT_TRUE(node->Face());
    EXPECT_EQ(std::filesystem::path(node->Face()->FilePath()).filename(), "DejaVuSans.ttf");
    EXPECT_EQ(node->WorldBox(), reference->WorldBox());

    AutoPtr<FontLibrary> none(FontLibrary::Make("/nonexistent/font.ttf", {}));
    node->Library(none);
    EXPECT_EQ(node->Face(), nullptr);
    EXPECT_EQ(node->Metrics().LineCount(), 0);
    EXPECT_TRUE(node->WorldBox().IsEmpty());
    EXPECT_TRUE(node->Layout().IsEmpty());
    node->Library(nullptr); // back to the shared fonts
    EXPECT_EQ(node->Metrics().LineCount(), 1);
}

TEST(ATextNodeTest, AtlasHoldsInkOfVisibleGlyphsOnly) {
    AutoPtr<ATextNode> node = MakeText(L"A A\tb");
    const TextLayout& layout = node->Layout();
    const GlyphAtlas* atlas = layout.Atlas();
    ASSERT_TRUE(atlas);
    // Spaces and tabs move the pen but draw nothing; the repeated A shares one slot.
    ASSERT_EQ(layout.Quads().size(), 3u);
    EXPECT_EQ(atlas->Count(), 2);
    EXPECT_FALSE(atlas->Contains(node->Face()->GlyphIndex(U' ')));
    EXPECT_GT(layout.Quads()[1].corners[0].x, layout.Quads()[0].corners[1].x);

    long inside = 0;
    for (const GlyphQuad& q : layout.Quads()) {
        const AtlasRect* r = atlas->Find(q.glyph);
        ASSERT_NE(r, nullptr);
        EXPECT_GT(CoverageSum(*atlas, *r), 0);
        inside += CoverageSum(*atlas, *r);
        // Lower left samples the bottom row, upper right the top row.
        EXPECT_EQ(q.texCoords[0], (Lumo::Objects::vec2<float>(r->uvMin.x, r->uvMax.y)));
        EXPECT_EQ(q.texCoords[3], (Lumo::Objects::vec2<float>(r->uvMax.x, r->uvMin.y)));
        // The quad keeps the bitmap's proportions.
        const float qw = q.corners[1].x - q.corners[0].x, qh = q.corners[2].y - q.corners[0].y;
        EXPECT_NEAR(qw / qh, float(r->width) / float(r->height), 1e-4);
    }
    inside -= CoverageSum(*atlas, *atlas->Find(layout.Quads()[0].glyph)); // the A was counted twice
    long all = 0;
    for (int y = 0; y < atlas->Height(); ++y)
        for (int x = 0; x < atlas->Width(); ++x)
            all += atlas->Coverage(x, y);
    EXPECT_EQ(all, inside); // nothing outside the glyph rectangles

    AutoPtr<ATextNode> blank = MakeText(L"   ");
    EXPECT_TRUE(blank->Layout().IsEmpty());
    EXPECT_EQ(blank->Layout().Atlas()->Count(), 0);
    EXPECT_FALSE(blank->WorldBox().IsEmpty()); // spaces still take room
}

TEST(ATextNodeTest, LayoutIsCachedUntilTextOrStyleChanges) {
    AutoPtr<ATextNode> node = MakeText(L"cached");
    AutoPtr<GlyphAtlas> first(node->Layout().Atlas());
    EXPECT_EQ(node->Layout().Atlas(), first.get());
    node->Metrics();
    node->TextData(L"cached");  // same text
    node->Style(node->Style()); // same style
    EXPECT_EQ(node->Layout().Atlas(), first.get());

    const float width = node->Metrics().LineWidth(0);
    node->TextData(L"changed!");
    AutoPtr<GlyphAtlas> second(node->Layout().Atlas());
    EXPECT_NE(second.get(), first.get());
    EXPECT_NE(node->Metrics().LineWidth(0), width);

    node->AtlasFormat(EAtlasFormat::RGBA8);
    EXPECT_EQ(node->Layout().Atlas()->Format(), EAtlasFormat::RGBA8);
    EXPECT_NE(node->Layout().Atlas(), second.get());
    node->PixelsPerEm(32);
    EXPECT_EQ(node->Layout().PixelsPerEm(), 32);
}

TEST(ATextNodeTest, NodesSurviveTheTextSystemRelease) {
    AutoPtr<ATextNode> node = MakeText(L"kept");
    AutoPtr<FontFace> face(node->Face());
    ASSERT_TRUE(face);
    TextSystem::Release();
    // The node's face stays usable, and new text finds the fonts again.
    EXPECT_GT(face->Advance(face->GlyphIndex(U'k')), 0.0f);
    node->TextData(L"again");
    EXPECT_EQ(node->Metrics().LineCount(), 1);
    EXPECT_EQ(node->ClassName(), Lumo::Objects::Intern(L"ATextNode"));
    EXPECT_TRUE(node->GetInterface(Lumo::Graphics::ARenderNode::StaticClassName()));
}

TEST(ATextNodeTest, NodesLaidOutOnSeveralThreadsAgree) {
    // Each thread has its own nodes; the fonts and their rasteriser are shared.
    AutoPtr<FontLibrary> library(FontLibrary::Make());
    const wchar_t* texts[] = {L"Thread one", L"AVAVAV\nsecond", L"gjpqy", L"Mono 123"};
    auto layOut = [&](int i, bool bold) {
        AutoPtr<ATextNode> node(ATextNode::Make());
        node->Library(library);
        TextStyle style;
        style.FontFamily(i == 3 ? L"DejaVu Sans Mono" : L"DejaVu Sans");
        style.Bold(bold);
        node->Style(style);
        node->TextData(texts[i]);
        return node->WorldBox();
    };
    std::vector<Lumo::Objects::SBox3> serial, parallel(8);
    for (int i = 0; i < 8; ++i)
        serial.push_back(layOut(i % 4, i >= 4));
    TextSystem::Release();
    library = FontLibrary::Make(); // cold caches, so the threads race to fill them
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([&, i] { parallel[i] = layOut(i % 4, i >= 4); });
    for (std::thread& t : threads)
        t.join();
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(parallel[i], serial[i]) << i;
}
