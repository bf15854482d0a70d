#include <Brio/Base/UniqueString.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using Brio::UniqueString;

TEST(UniqueStringTest, SameTextGivesSameObjectThroughEveryOverload) {
    UniqueString* wide = UniqueString::find(std::wstring(L"Brio::Scene::SceneAssetAdapter"));
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(wide->text(), L"Brio::Scene::SceneAssetAdapter");
    EXPECT_EQ(UniqueString::find(L"Brio::Scene::SceneAssetAdapter"), wide);
    EXPECT_EQ(UniqueString::find(std::string_view("Brio::Scene::SceneAssetAdapter")), wide);
    EXPECT_EQ(UniqueString::find("Brio::Scene::SceneAssetAdapter"), wide);
    EXPECT_NE(UniqueString::find(L"Brio::Scene::SceneAssetAdapter2"), wide);
}

TEST(UniqueStringTest, Utf8OverloadInternsTheDecodedText) {
    UniqueString* fromUtf8 = UniqueString::find("Gr\xC3\xB6\xC3\x9F"
                                                "e \xF0\x9F\x98\x80");
    ASSERT_NE(fromUtf8, nullptr);
    EXPECT_EQ(fromUtf8->text(), L"Gr\u00F6\u00DFe \U0001F600");
    EXPECT_EQ(UniqueString::find(L"Gr\u00F6\u00DFe \U0001F600"), fromUtf8);
}

TEST(UniqueStringTest, FindWithoutCreateAnswersNullUntilCreated) {
    // Interned texts live for the process, so each run (--gtest_repeat) needs a fresh one.
    static int run = 0;
    const std::string utf8 = "UniqueStringTest.not-yet-interned-" + std::to_string(++run);
    const std::wstring text(utf8.begin(), utf8.end());
    EXPECT_EQ(UniqueString::find(text, false), nullptr);
    EXPECT_EQ(UniqueString::find(utf8.c_str(), false), nullptr);
    UniqueString* created = UniqueString::find(text);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(UniqueString::find(text, false), created);
}

TEST(UniqueStringTest, EmptyAndEmbeddedNulTextsAreDistinct) {
    UniqueString* empty = UniqueString::find(L"");
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(empty->text().empty());
    EXPECT_EQ(UniqueString::find(static_cast<const wchar_t*>(nullptr)), empty);

    const std::wstring withNul(L"a\0b", 3);
    UniqueString* nul = UniqueString::find(withNul);
    EXPECT_EQ(nul->text().size(), 3u);
    EXPECT_NE(nul, UniqueString::find(L"a"));
}

TEST(UniqueStringTest, ConcurrentInterningYieldsOneObjectPerText) {
    constexpr int kThreads = 8;
    constexpr int kTexts = 1000;
    std::vector<std::vector<UniqueString*>> results(kThreads, std::vector<UniqueString*>(kTexts));
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &results] {
            // Alternate directions so threads race on the same texts from both ends.
            for (int i = 0; i < kTexts; ++i) {
                const int n = (t % 2 == 0) ? i : kTexts - 1 - i;
                results[t][n] = UniqueString::find(L"concurrent-" + std::to_wstring(n));
            }
        });
    }
    for (auto& th : threads)
        th.join();

    for (int i = 0; i < kTexts; ++i) {
        ASSERT_NE(results[0][i], nullptr);
        EXPECT_EQ(results[0][i]->text(), L"concurrent-" + std::to_wstring(i));
        for (int t = 1; t < kThreads; ++t)
            ASSERT_EQ(results[t][i], results[0][i]) << "text " << i << " thread " << t;
    }
    EXPECT_NE(results[0][0], results[0][1]);
}
