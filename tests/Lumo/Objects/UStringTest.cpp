#include <Lumo/Objects/UString.h>

#include <gtest/gtest.h>

#include <latch>
#include <string>
#include <thread>
#include <vector>

using namespace Lumo::Objects;

TEST(UStringTest, OneObjectPerText) {
    UString* a = Intern(L"UStringTest.alpha");
    EXPECT_EQ(a, Intern(L"UStringTest.alpha"));
    EXPECT_EQ(a, Intern(std::wstring_view(L"UStringTest.alpha")));
    EXPECT_EQ(a, Intern(std::wstring(L"UStringTest.alpha-x").substr(0, 17))); // not a literal's address
    EXPECT_NE(a, Intern(L"UStringTest.Alpha"));
    EXPECT_EQ(a->Text(), L"UStringTest.alpha");
    EXPECT_EQ(a->Length(), 17u);
    EXPECT_STREQ(a->c_str(), L"UStringTest.alpha");

    // Null and empty are the same text; an embedded NUL is part of the text.
    EXPECT_EQ(Intern(static_cast<const wchar_t*>(nullptr)), Intern(L""));
    EXPECT_EQ(Intern(L"")->Length(), 0u);
    UString* withNul = Intern(std::wstring_view(L"UStringTest.nul\0tail", 20));
    EXPECT_NE(withNul, Intern(L"UStringTest.nul"));
    EXPECT_EQ(withNul->Length(), 20u);
}

TEST(UStringTest, FindAndCountSeeOnlyInternedTexts) {
    const std::wstring text = L"UStringTest.find-me-once";
    EXPECT_EQ(FindInterned(text), nullptr);
    const std::size_t before = InternedCount();
    UString* s = Intern(text);
    EXPECT_EQ(InternedCount(), before + 1);
    Intern(text);
    EXPECT_EQ(InternedCount(), before + 1);
    EXPECT_EQ(FindInterned(text), s);
}

TEST(UStringTest, ConcurrentInterningAgreesOnPointers) {
    constexpr int kThreads = 8, kTexts = 2000;
    std::vector<std::wstring> texts;
    for (int i = 0; i < kTexts; ++i)
        texts.push_back(L"UStringTest.concurrent." + std::to_wstring(i));
    const std::size_t before = InternedCount();

    std::vector<std::vector<UString*>> seen(kThreads, std::vector<UString*>(kTexts));
    std::latch start(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            start.arrive_and_wait(); // all threads race on the same new texts
            for (int k = 0; k < kTexts; ++k) {
                int i = (t % 2) ? kTexts - 1 - k : k; // half of them from the other end
                seen[t][i] = Intern(texts[i]);
            }
        });
    }
    for (auto& th : threads)
        th.join();

    EXPECT_EQ(InternedCount(), before + kTexts);
    for (int i = 0; i < kTexts; ++i) {
        ASSERT_NE(seen[0][i], nullptr);
        EXPECT_EQ(seen[0][i]->Text(), texts[i]);
        for (int t = 1; t < kThreads; ++t)
            ASSERT_EQ(seen[t][i], seen[0][i]) << "text " << i << " thread " << t;
    }
}

TEST(UStringTest, InternUtf8DecodesMultiByteSequences) {
    EXPECT_EQ(InternUtf8("UStringTest.ascii"), Intern(L"UStringTest.ascii"));
    // 2-, 3- and 4-byte forms: é, €, 😀 (beyond the BMP).
    EXPECT_EQ(InternUtf8("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), Intern(L"\u00E9\u20AC\U0001F600"));
    // Sequences that end exactly at the end of the input.
    EXPECT_EQ(InternUtf8("x\xC3\xA9"), Intern(L"x\u00E9"));
    EXPECT_EQ(InternUtf8("x\xF0\x9F\x98\x80"), Intern(L"x\U0001F600"));
    EXPECT_EQ(InternUtf8(""), Intern(L""));
}

TEST(UStringTest, InternUtf8ReplacesInvalidBytesAndKeepsWhatFollows) {
    auto decode = [](std::string_view s) { return InternUtf8(s)->Text(); };
    const std::wstring R = L"\uFFFD";

    EXPECT_EQ(decode("a\x80"
                     "b"),
              L"a" + R + L"b"); // lone continuation byte
    EXPECT_EQ(decode("a\xFF"
                     "b"),
              L"a" + R + L"b");                   // never valid in UTF-8
    EXPECT_EQ(decode("a\xC3"), L"a" + R);         // truncated at the end
    EXPECT_EQ(decode("a\xE2\x82"), L"a" + R + R); // truncated 3-byte form
    EXPECT_EQ(decode("\xF0\x9F\x98"), R + R + R); // truncated 4-byte form

    // A lead byte whose continuation is missing must not swallow the next character.
    std::wstring broken = decode("\xE2"
                                 "A\xE2\x82"
                                 "B");
    ASSERT_FALSE(broken.empty());
    EXPECT_EQ(broken.front(), L'\uFFFD');
    EXPECT_NE(broken.find(L'A'), std::wstring::npos);
    EXPECT_EQ(broken.back(), L'B');
    for (wchar_t c : broken)
        EXPECT_TRUE(c == L'A' || c == L'B' || c == L'\uFFFD');

    // Overlong forms, UTF-16 surrogates and code points past U+10FFFF are invalid UTF-8:
    // decoding them would give one text two byte spellings or produce non-characters.
    for (std::string_view bad : {std::string_view("\xC0\xAF"), std::string_view("\xE0\x80\xAF"),
                                 std::string_view("\xF0\x80\x80\xAF"), std::string_view("\xED\xA0\x80"),
                                 std::string_view("\xF4\x90\x80\x80"), std::string_view("\xF7\xBF\xBF\xBF")}) {
        std::wstring out = decode(bad);
        ASSERT_FALSE(out.empty());
        for (wchar_t c : out) {
            EXPECT_EQ(c, L'\uFFFD') << "input of " << bad.size() << " bytes decoded to U+" << std::hex
                                    << static_cast<unsigned>(c);
        }
    }
    // The largest valid code point and the first one after the surrogates still decode.
    EXPECT_EQ(decode("\xF4\x8F\xBF\xBF"), std::wstring(1, static_cast<wchar_t>(0x10FFFF)));
    EXPECT_EQ(decode("\xEE\x80\x80"), std::wstring(1, static_cast<wchar_t>(0xE000)));
}
