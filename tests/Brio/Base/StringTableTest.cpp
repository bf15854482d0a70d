#include <Brio/Base/LocalizedString.h>
#include <Brio/Base/StringTable.h>

#include "ScratchDirectory.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace Brio;
using BrioTest::ScratchDirectory;

namespace {

/// Translations from a folder of the test's own, in a locale it chooses.
class StringTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        StringTable::directory(dir.path());
        StringTable::locale(L"de-DE");
    }
    void TearDown() override {
        StringTable::reset();
        StringTable::locale(L"");
        StringTable::directory(std::filesystem::path());
    }
    ScratchDirectory dir;
};

const char* kGerman = R"(<?xml version="1.0" encoding="UTF-8"?>
<StringTable>
  <String key="GraphicsOptionsUserName">Grafik</String>
  <String key="MSAAUserName">Kantengl&#228;ttung</String>
  <Other key="minFPSUserName">ignored</Other>
</StringTable>)";

} // namespace

TEST_F(StringTableTest, EnglishDefaultsWithoutTranslations) {
    EXPECT_EQ(StringTable::getLocalizedString(L"BrioScene", L"GraphicsOptionsUserName", L"Graphics"), L"Graphics");
    EXPECT_EQ((LocalizedString{L"BrioScene", L"MSAAUserName", L"Use anti aliasing"}.text()), L"Use anti aliasing");
}

TEST_F(StringTableTest, TranslationsComeFromTheLocaleFile) {
    dir.write("de-DE/BrioScene.xml", kGerman);
    EXPECT_EQ(StringTable::getLocalizedString(L"BrioScene", L"GraphicsOptionsUserName", L"Graphics"), L"Grafik");
    EXPECT_EQ(StringTable::getLocalizedString(L"BrioScene", L"MSAAUserName", L"x"), L"Kantengl\u00e4ttung");
    EXPECT_EQ(StringTable::getLocalizedString(L"BrioScene", L"minFPSUserName", L"Minimum FPS"), L"Minimum FPS")
        << "only String elements count";
    EXPECT_EQ(StringTable::getLocalizedString(L"BrioScene", L"unknownKey", L"English"), L"English");
    EXPECT_EQ(StringTable::getLocalizedString(L"OtherArea", L"GraphicsOptionsUserName", L"Graphics"), L"Graphics")
        << "areas are separate";

    StringTable::locale(L"en-US");
    EXPECT_EQ(StringTable::getLocalizedString(L"BrioScene", L"GraphicsOptionsUserName", L"Graphics"), L"Graphics")
        << "a change of locale drops what was loaded";
}

TEST_F(StringTableTest, RegionFallsBackToItsLanguage) {
    dir.write("de/BrioScene.xml", kGerman);
    dir.write("de-AT/BrioScene.xml",
              R"(<StringTable><String key="GraphicsOptionsUserName">Grafik (AT)</String></StringTable>)");
    StringTable::locale(L"de-AT");
    EXPECT_EQ(StringTable::getLocalizedString(L"BrioScene", L"GraphicsOptionsUserName", L"Graphics"), L"Grafik (AT)")
        << "the region's own text first";
    EXPECT_EQ(StringTable::getLocalizedString(L"BrioScene", L"MSAAUserName", L"x"), L"Kantengl\u00e4ttung")
        << "then the language's";
}

TEST_F(StringTableTest, MalformedOrForeignFilesGiveTheDefaults) {
    dir.write("de-DE/BrioScene.xml", "<StringTable><String key=\"GraphicsOptionsUserName\">Grafik");
    EXPECT_EQ(StringTable::getLocalizedString(L"BrioScene", L"GraphicsOptionsUserName", L"Graphics"), L"Graphics");
    dir.write("de-DE/Other.xml", R"(<Strings><String key="k">wrong root</String></Strings>)");
    EXPECT_EQ(StringTable::getLocalizedString(L"Other", L"k", L"default"), L"default");
}

TEST_F(StringTableTest, StringsSetInCodeWinUntilReset) {
    dir.write("de-DE/BrioScene.xml", kGerman);
    StringTable::setString(L"BrioScene", L"GraphicsOptionsUserName", L"Override");
    EXPECT_EQ(StringTable::getLocalizedString(L"BrioScene", L"GraphicsOptionsUserName", L"Graphics"), L"Override");
    StringTable::locale(L"fr-FR");
    EXPECT_EQ(StringTable::getLocalizedString(L"BrioScene", L"GraphicsOptionsUserName", L"Graphics"), L"Override")
        << "in every locale";
    StringTable::reset();
    EXPECT_EQ(StringTable::getLocalizedString(L"BrioScene", L"GraphicsOptionsUserName", L"Graphics"), L"Graphics");
}

TEST_F(StringTableTest, LocaleComesFromTheEnvironment) {
    StringTable::locale(L"");
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    setenv("LANG", "de_CH.UTF-8@euro", 1);
    EXPECT_EQ(StringTable::locale(), L"de-CH");
    setenv("LC_MESSAGES", "fr_FR", 1);
    EXPECT_EQ(StringTable::locale(), L"fr-FR") << "LC_MESSAGES before LANG";
    setenv("LC_ALL", "C", 1);
    EXPECT_EQ(StringTable::locale(), L"en-US") << "the C locale is English";
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    unsetenv("LANG");
    EXPECT_EQ(StringTable::locale(), L"en-US");
}
