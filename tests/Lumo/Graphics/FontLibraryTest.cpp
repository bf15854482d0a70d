#include <Lumo/Graphics/FontFace.h>
#include <Lumo/Graphics/FontLibrary.h>
#include <Lumo/Objects/AutoPtr.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using namespace Lumo::Text;
using Lumo::Objects::AutoPtr;

namespace {
const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/";

std::string FileName(const FontFace* face) {
    return face ? std::filesystem::path(face->FilePath()).filename().string() : std::string("<none>");
}

FontLibrary* SystemLibrary() {
    static AutoPtr<FontLibrary> library(FontLibrary::Make());
    return library;
}
} // namespace

TEST(FontLibraryTest, FindsFamiliesAndStyleVariants) {
    FontLibrary* lib = SystemLibrary();
    AutoPtr<FontFace> regular = lib->Find(L"DejaVu Sans");
    ASSERT_TRUE(regular);
    // Not the condensed or extra-light faces of the same family.
    EXPECT_EQ(FileName(regular), "DejaVuSans.ttf");
    EXPECT_FALSE(regular->Bold());
    EXPECT_FALSE(regular->Italic());

    AutoPtr<FontFace> bold = lib->Find(L"DejaVu Sans", true, false);
    EXPECT_EQ(FileName(bold), "DejaVuSans-Bold.ttf");
    EXPECT_TRUE(bold->Bold());
    EXPECT_EQ(FileName(lib->Find(L"DejaVu Sans", false, true)), "DejaVuSans-Oblique.ttf");
    EXPECT_EQ(FileName(lib->Find(L"DejaVu Sans", true, true)), "DejaVuSans-BoldOblique.ttf");

    AutoPtr<FontFace> mono = lib->Find(L"DejaVu Sans Mono");
    EXPECT_EQ(FileName(mono), "DejaVuSansMono.ttf");
    EXPECT_EQ(mono->FamilyName(), L"DejaVu Sans Mono");
    EXPECT_EQ(FileName(lib->Find(L"DejaVu Sans Mono", true, false)), "DejaVuSansMono-Bold.ttf");

    // Case does not matter, aliases name the DejaVu families, and faces are opened once.
    EXPECT_EQ(lib->Find(L"dejavu sans mono").get(), mono.get());
    EXPECT_EQ(lib->Find(L"monospace").get(), mono.get());
    EXPECT_EQ(lib->Find(L"").get(), regular.get());
    const int open = lib->OpenFaceCount();
    lib->Find(L"DejaVu Sans", true, false);
    EXPECT_EQ(lib->OpenFaceCount(), open);
}

TEST(FontLibraryTest, MissingFontsFallBackToTheDefault) {
    FontLibrary* lib = SystemLibrary();
    EXPECT_EQ(FileName(lib->Find(L"No Such Family 42")), "DejaVuSans.ttf");
    // The wanted style survives the fallback.
    EXPECT_EQ(FileName(lib->Find(L"No Such Family 42", true, false)), "DejaVuSans-Bold.ttf");

    EXPECT_FALSE(lib->RegisterFont(L"Broken", "/nonexistent/broken.ttf"));
    EXPECT_EQ(FileName(lib->Find(L"Broken")), "DejaVuSans.ttf");

    EXPECT_TRUE(lib->RegisterFont(L"Drawing Font", kDejaVu + "DejaVuSansMono.ttf"));
    EXPECT_EQ(FileName(lib->Find(L"drawing font")), "DejaVuSansMono.ttf");
}

TEST(FontLibraryTest, WithoutAnyFontTheAnswerIsNull) {
    // A folder holding only a file that claims to be a font.
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "FontLibraryTest-nofont";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "fake.ttf") << "not a font at all";

    AutoPtr<FontLibrary> lib(FontLibrary::Make((dir / "missing.ttf").string(), {dir.string()}));
    EXPECT_FALSE(lib->Find(L"DejaVu Sans"));
    EXPECT_FALSE(lib->Find(L"fake", true, true));
    EXPECT_FALSE(lib->DefaultFace());
    EXPECT_FALSE(lib->RegisterFont(L"fake", (dir / "fake.ttf").string()));
    EXPECT_TRUE(lib->Families().empty());
    std::filesystem::remove_all(dir);

    // A missing default file still finds the default family in the folders.
    AutoPtr<FontLibrary> folders(FontLibrary::Make("/nonexistent/default.ttf", {kDejaVu}));
    EXPECT_EQ(FileName(folders->Find(L"Unknown")), "DejaVuSans.ttf");
}

TEST(FontFaceTest, MetricsKerningAndGlyphs) {
    AutoPtr<FontFace> sans = SystemLibrary()->Find(L"DejaVu Sans");
    ASSERT_TRUE(sans);
    EXPECT_GT(sans->Ascender(), 0.7f);
    EXPECT_LT(sans->Descender(), -0.1f);
    EXPECT_GE(sans->LineHeight(), sans->Ascender() - sans->Descender() - 1e-4f);

    const unsigned a = sans->GlyphIndex(U'A'), v = sans->GlyphIndex(U'V');
    EXPECT_NE(a, 0u);
    EXPECT_EQ(sans->GlyphIndex(U'\U0010FFFD'), 0u); // private use: not in the font
    EXPECT_TRUE(sans->HasKerning());
    EXPECT_LT(sans->Kerning(a, v), 0.0f); // "AV" tucks together
    EXPECT_EQ(sans->Kerning(0, v), 0.0f);
    EXPECT_LT(sans->Advance(sans->GlyphIndex(U'i')), sans->Advance(sans->GlyphIndex(U'W')));

    AutoPtr<FontFace> mono = SystemLibrary()->Find(L"DejaVu Sans Mono");
    const unsigned mi = mono->GlyphIndex(U'i'), mw = mono->GlyphIndex(U'W');
    EXPECT_FLOAT_EQ(mono->Advance(mi), mono->Advance(mw));
    EXPECT_EQ(mono->Kerning(mono->GlyphIndex(U'A'), mono->GlyphIndex(U'V')), 0.0f);

    GlyphBitmap h, space;
    ASSERT_TRUE(sans->RenderGlyph(sans->GlyphIndex(U'H'), 64, h));
    EXPECT_FALSE(h.IsEmpty());
    EXPECT_NEAR(h.top, 0.729 * 64, 2.0); // cap height
    EXPECT_EQ(h.coverage.size(), static_cast<std::size_t>(h.width * h.rows));
    ASSERT_TRUE(sans->RenderGlyph(sans->GlyphIndex(U' '), 64, space));
    EXPECT_TRUE(space.IsEmpty());
    EXPECT_FALSE(sans->RenderGlyph(a, 0, h));
}

TEST(FontLibraryTest, PrefersNormalWidthAndWeightWithinAFamily) {
    // Condensed and extra-light faces of DejaVu Sans sorted ahead of the regular one.
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "FontLibraryTest-widths";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::filesystem::create_symlink(kDejaVu + "DejaVuSansCondensed.ttf", dir / "a.ttf");
    std::filesystem::create_symlink(kDejaVu + "DejaVuSans-ExtraLight.ttf", dir / "b.ttf");
    std::filesystem::create_symlink(kDejaVu + "DejaVuSansCondensed-Bold.ttf", dir / "c.ttf");
    std::filesystem::create_symlink(kDejaVu + "DejaVuSans.ttf", dir / "d.ttf");
    std::filesystem::create_symlink(kDejaVu + "DejaVuSans-Bold.ttf", dir / "e.ttf");

    AutoPtr<FontLibrary> lib(FontLibrary::Make("/nonexistent/default.ttf", {dir.string()}));
    EXPECT_EQ(FileName(lib->Find(L"DejaVu Sans")), "d.ttf");
    EXPECT_EQ(FileName(lib->Find(L"DejaVu Sans", true)), "e.ttf");
    // No oblique here: the upright face of the wanted weight is the closest.
    EXPECT_EQ(FileName(lib->Find(L"DejaVu Sans", false, true)), "d.ttf");
    std::filesystem::remove_all(dir);
}
