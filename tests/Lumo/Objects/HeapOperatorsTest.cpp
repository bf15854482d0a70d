#include "Probe.h"

#include <Lumo/Objects/HeapOperators.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace Lumo::Objects;
using LumoTest::Probe;

namespace {
// Larger than its base, and deleted through a base pointer: the freed size must be the
// dynamic one, or the live byte count drifts.
class BigProbe : public Probe {
public:
    char payload[1000] = {};
};

struct Plain : HeapOperators {
    double values[3] = {};
};
} // namespace

TEST(HeapOperatorsTest, StatsReturnToStartAfterFree) {
    const HeapStats start = HeapOperators::Stats();

    std::vector<ARefCounted*> objects;
    for (int i = 0; i < 10; ++i)
        objects.push_back(i % 2 ? static_cast<ARefCounted*>(new BigProbe) : new Probe);
    Plain* array = new Plain[7];
    const HeapStats mid = HeapOperators::Stats();
    EXPECT_EQ(mid.liveBlocks, start.liveBlocks + 11);
    EXPECT_EQ(mid.totalBlocks, start.totalBlocks + 11);
    EXPECT_GE(mid.liveBytes,
              start.liveBytes + 5 * std::int64_t(sizeof(BigProbe) + sizeof(Probe)) + 7 * std::int64_t(sizeof(Plain)));

    for (ARefCounted* o : objects)
        delete o;
    delete[] array;
    const HeapStats end = HeapOperators::Stats();
    EXPECT_EQ(end.liveBlocks, start.liveBlocks);
    EXPECT_EQ(end.liveBytes, start.liveBytes);
    EXPECT_EQ(end.totalBlocks, start.totalBlocks + 11); // a running total, never decremented
}

TEST(HeapOperatorsTest, LastReleaseFreesThroughTheHeap) {
    const HeapStats start = HeapOperators::Stats();
    ARefCounted* p = new BigProbe;
    p->AddRef();
    EXPECT_EQ(HeapOperators::Stats().liveBlocks, start.liveBlocks + 1);
    p->ReleaseRef();
    EXPECT_EQ(HeapOperators::Stats().liveBlocks, start.liveBlocks);
    EXPECT_EQ(HeapOperators::Stats().liveBytes, start.liveBytes);
}
