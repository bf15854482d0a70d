#include <Brio/Base/StringConversion.h>

#include <gtest/gtest.h>

#include <string>

using Brio::Utility::toUtf8;
using Brio::Utility::toWide;

namespace {

const std::wstring kFFFD(1, static_cast<wchar_t>(0xFFFD));

} // namespace

TEST(StringConversionTest, EncodesEachSequenceLengthExactly) {
    EXPECT_EQ(toUtf8(L"A"), "A");
    EXPECT_EQ(toUtf8(L"\u00E9"), "\xC3\xA9");
    EXPECT_EQ(toUtf8(L"\u20AC"), "\xE2\x82\xAC");
    EXPECT_EQ(toUtf8(L"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(toUtf8(L"\U0010FFFF"), "\xF4\x8F\xBF\xBF");
    // Boundaries between lengths.
    EXPECT_EQ(toUtf8(std::wstring(1, 0x7F)), "\x7F");
    EXPECT_EQ(toUtf8(std::wstring(1, 0x80)), "\xC2\x80");
    EXPECT_EQ(toUtf8(std::wstring(1, 0x7FF)), "\xDF\xBF");
    EXPECT_EQ(toUtf8(std::wstring(1, 0x800)), "\xE0\xA0\x80");
    EXPECT_EQ(toUtf8(std::wstring(1, 0xFFFF)), "\xEF\xBF\xBF");
    EXPECT_EQ(toUtf8(std::wstring(1, 0x10000)), "\xF0\x90\x80\x80");
}

TEST(StringConversionTest, RoundTripsMixedTextIncludingFourByteCharactersAndNul) {
    const std::wstring text =
        std::wstring(L"CAD \u00C5ngstr\u00F6m \u6F22\u5B57 \U0001F600\U00010348 ") + std::wstring(1, L'\0') + L"end";
    const std::string utf8 = toUtf8(text);
    EXPECT_EQ(utf8.size(), 35u);
    EXPECT_EQ(toWide(utf8), text);
    EXPECT_EQ(toUtf8(toWide(utf8)), utf8);
    EXPECT_TRUE(toWide("").empty());
    EXPECT_TRUE(toUtf8(L"").empty());
}

TEST(StringConversionTest, InvalidUtf8BecomesReplacementCharacters) {
    // Lone continuation byte and bytes that never start a sequence.
    EXPECT_EQ(toWide("a\x80"
                     "b"),
              L"a" + kFFFD + L"b");
    EXPECT_EQ(toWide("\xF5\xFF"), kFFFD + kFFFD);
    // Overlong encodings ('/' as two and three bytes).
    EXPECT_EQ(toWide("\xC0\xAF"), kFFFD + kFFFD);
    EXPECT_EQ(toWide("\xE0\x80\xAF"), kFFFD + kFFFD + kFFFD);
    // Encoded surrogate and a code point above U+10FFFF.
    EXPECT_EQ(toWide("\xED\xA0\x80"), kFFFD + kFFFD + kFFFD);
    EXPECT_EQ(toWide("\xF4\x90\x80\x80"), kFFFD + kFFFD + kFFFD + kFFFD);
}

TEST(StringConversionTest, TruncatedSequenceIsOneReplacementAndDoesNotSwallowTheNextCharacter) {
    EXPECT_EQ(toWide("\xE2\x82"
                     "A"),
              kFFFD + L"A");
    EXPECT_EQ(toWide("x\xF0\x9F\x98"), L"x" + kFFFD);
    EXPECT_EQ(toWide("\xC3"), kFFFD);
    // A truncated sequence followed directly by a valid one keeps the valid one.
    EXPECT_EQ(toWide("\xF0\x9F\xC3\xA9"), kFFFD + L"\u00E9");
}

TEST(StringConversionTest, InvalidWideCharactersBecomeReplacementCharacters) {
    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(toUtf8(std::wstring(1, static_cast<wchar_t>(0xD800))), replacement);
    EXPECT_EQ(toUtf8(std::wstring(1, static_cast<wchar_t>(0xDFFF))), replacement);
    EXPECT_EQ(toUtf8(std::wstring(1, static_cast<wchar_t>(0x110000))), replacement);
    EXPECT_EQ(toUtf8(std::wstring(1, static_cast<wchar_t>(-1))), replacement);
    EXPECT_EQ(toUtf8(std::wstring(L"a") + static_cast<wchar_t>(0xD83D) + L"b"), "a" + replacement + "b");
}
