#include <Lumo/Objects/KString.h>
#include <Lumo/Objects/UString.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

using namespace Lumo::Objects;

namespace {
template <class T> std::wstring Num(T v) {
    KString k;
    k.Append(v);
    return k.Str();
}
} // namespace

TEST(KStringTest, IntegersAndHex) {
    EXPECT_EQ(Num(0), L"0");
    EXPECT_EQ(Num(-42), L"-42");
    EXPECT_EQ(Num(std::numeric_limits<int>::min()), L"-2147483648");
    EXPECT_EQ(Num(4000000000u), L"4000000000");
    EXPECT_EQ(Num(std::numeric_limits<long long>::min()), L"-9223372036854775808");
    EXPECT_EQ(Num(std::numeric_limits<unsigned long long>::max()), L"18446744073709551615");

    KString hex;
    hex.AppendHex(0).Append(L"|").AppendHex(0xDEADBEEFu).Append(L"|").AppendHex(UINT64_MAX);
    EXPECT_EQ(hex.Str(), L"0|DEADBEEF|FFFFFFFFFFFFFFFF");
}

TEST(KStringTest, FloatingPointIsShortestRoundTrip) {
    EXPECT_EQ(Num(0.5), L"0.5");
    EXPECT_EQ(Num(1.0), L"1");
    EXPECT_EQ(Num(1.0f), L"1");
    EXPECT_EQ(Num(-2.25), L"-2.25");
    EXPECT_EQ(Num(0.1), L"0.1");
    // A float prints as a float, not as its widened double (0.100000001490116...).
    EXPECT_EQ(Num(0.1f), L"0.1");
    EXPECT_EQ(Num(16777216.0f), L"16777216");

    // Values with no short form still read back to the same bits.
    for (double v : {1.0 / 3.0, 2.0 / 3.0 * 1e-300, 123456789.123456789, -6.02214076e23}) {
        KString k;
        k.Append(v);
        EXPECT_EQ(std::strtod(k.Utf8().c_str(), nullptr), v) << k.Utf8();
    }
    KString f;
    f.Append(1.0f / 3.0f);
    EXPECT_EQ(std::strtof(f.Utf8().c_str(), nullptr), 1.0f / 3.0f) << f.Utf8();
}

TEST(KStringTest, AppendingTextCharactersAndStrings) {
    KString k(static_cast<const wchar_t*>(nullptr));
    EXPECT_TRUE(k.IsEmpty());
    EXPECT_TRUE(k == static_cast<const wchar_t*>(nullptr));
    k.Append(static_cast<const wchar_t*>(nullptr)).Append(static_cast<const UString*>(nullptr));
    EXPECT_TRUE(k.IsEmpty());

    k += L"w=";
    k += 3;
    k += L',';
    k.Append(Intern(L"name")).Append(std::wstring_view(L"!"));
    EXPECT_EQ(k.Str(), L"w=3,name!");
    k += k; // appending itself doubles the text
    EXPECT_EQ(k.Str(), L"w=3,name!w=3,name!");
    EXPECT_EQ(k.Length(), 18u);
    k.Clear();
    EXPECT_TRUE(k.IsEmpty());
}

TEST(KStringTest, Utf8EncodesAndReplacesInvalidCodePoints) {
    KString k(L"a\u00E9\u20AC\U0001F600");
    EXPECT_EQ(k.Utf8(), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");

    // Lone surrogates and values past U+10FFFF have no UTF-8 form.
    std::wstring bad;
    bad.push_back(static_cast<wchar_t>(0xD800));
    bad.push_back(L'x');
    bad.push_back(static_cast<wchar_t>(0x110000));
    bad.push_back(static_cast<wchar_t>(-1));
    EXPECT_EQ(KString(bad).Utf8(), "\xEF\xBF\xBDx\xEF\xBF\xBD\xEF\xBF\xBD");

    // The boundaries between encoded lengths.
    std::wstring edges = {static_cast<wchar_t>(0x7F),  static_cast<wchar_t>(0x80),   static_cast<wchar_t>(0x7FF),
                          static_cast<wchar_t>(0x800), static_cast<wchar_t>(0xFFFF), static_cast<wchar_t>(0x10000)};
    EXPECT_EQ(KString(edges).Utf8(), "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80");
}
