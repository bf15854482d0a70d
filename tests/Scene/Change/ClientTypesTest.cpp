#include <Scene/Change/ClientTypes.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

using namespace Brio::Scene;

TEST(ClientTypesTest, KnownNamesKeepTheirBits) {
    EXPECT_EQ(RegisterClientType(L"Body"), 0x8u);
    EXPECT_EQ(RegisterClientType(L"MeshWire"), 0x10000000u);
    std::vector<std::wstring> names;
    EXPECT_EQ(GetStringsForClientType(0x8 | 0x1 | 0x400, names, false), 0u);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Instance", L"Body"})) << "bit order; 0x400 has no name";
}

TEST(ClientTypesTest, NewNamesShareOneBitAcrossThreadsAndRunOutSafely) {
    // Eight threads register the same new name at once: one bit, the same for all.
    std::vector<unsigned> bits(8);
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([&, i] { bits[std::size_t(i)] = RegisterClientType(L"TestOnlyClientTypeA"); });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(std::set<unsigned>(bits.begin(), bits.end()).size(), 1u);
    unsigned a = bits[0];
    EXPECT_GE(a, kFirstRegisteredClientType);

    std::vector<std::wstring> names;
    EXPECT_EQ(GetStringsForClientType(a | 0x10, names, true), 0x10u) << "registered bits are taken out";
    EXPECT_EQ(names, (std::vector<std::wstring>{L"TestOnlyClientTypeA"}));

    // Only two bits can be registered; after that a new name gets none, never a shared bit.
    unsigned b = RegisterClientType(L"TestOnlyClientTypeB");
    unsigned c = RegisterClientType(L"TestOnlyClientTypeC");
    EXPECT_NE(a, b);
    if (b != 0) {
        EXPECT_EQ(c, 0u);
    }
    EXPECT_EQ(RegisterClientType(L"TestOnlyClientTypeA"), a);
}
