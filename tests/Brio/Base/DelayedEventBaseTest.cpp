#include <Brio/Base/DelayedEventBase.h>

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace Brio;

namespace {
class DelayedEventBaseTest : public ::testing::Test {
protected:
    void SetUp() override { DelayedEventBase::processDelayedEvents(); }
    void TearDown() override {
        DelayedEventBase::postNotifier(nullptr);
        DelayedEventBase::processDelayedEvents();
    }
};
} // namespace

TEST_F(DelayedEventBaseTest, WorkPostedFromManyThreadsRunsInPostingOrderPerThread) {
    std::vector<int> ran;
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t)
        workers.emplace_back([t, &ran] {
            for (int i = 0; i < 50; ++i)
                DelayedEventBase::post([t, i, &ran] { ran.push_back(t * 1000 + i); });
        });
    for (auto& w : workers)
        w.join();
    EXPECT_TRUE(ran.empty());
    EXPECT_EQ(DelayedEventBase::processDelayedEvents(), 200u);
    ASSERT_EQ(ran.size(), 200u);
    std::vector<int> last(4, -1);
    for (int v : ran) {
        EXPECT_GT(v % 1000, last[v / 1000]);
        last[v / 1000] = v % 1000;
    }
    DelayedEventBase::post(std::function<void()>());
    DelayedEventBase::post(std::unique_ptr<DelayedEventBase>());
    EXPECT_EQ(DelayedEventBase::pendingCount(), 0u) << "nothing to run is not queued";
}

TEST_F(DelayedEventBaseTest, EventsPostedWhileDrainingWaitForTheNextDrain) {
    int runs = 0;
    std::function<void()> again = [&] {
        ++runs;
        DelayedEventBase::post(again);
    };
    DelayedEventBase::post(again);
    EXPECT_EQ(DelayedEventBase::processDelayedEvents(), 1u);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(DelayedEventBase::pendingCount(), 1u);
    EXPECT_EQ(DelayedEventBase::processDelayedEvents(), 1u);
    EXPECT_EQ(runs, 2);
    DelayedEventBase::discard(nullptr); // the ownerless re-poster
    EXPECT_EQ(DelayedEventBase::pendingCount(), 0u);
}

TEST_F(DelayedEventBaseTest, AThrowingEventLeavesTheRestQueued) {
    std::vector<int> ran;
    DelayedEventBase::post([&] { ran.push_back(1); });
    DelayedEventBase::post([] { throw std::runtime_error("boom"); });
    DelayedEventBase::post([&] { ran.push_back(3); });
    EXPECT_THROW(DelayedEventBase::processDelayedEvents(), std::runtime_error);
    EXPECT_EQ(ran, std::vector<int>{1});
    EXPECT_EQ(DelayedEventBase::pendingCount(), 1u);
    EXPECT_EQ(DelayedEventBase::processDelayedEvents(), 1u);
    EXPECT_EQ(ran, (std::vector<int>{1, 3}));
}

TEST_F(DelayedEventBaseTest, DiscardDropsOnlyTheOwnersEvents) {
    int a = 0, b = 0;
    std::vector<char> ran;
    DelayedEventBase::post([&] { ran.push_back('a'); }, &a);
    DelayedEventBase::post([&] { ran.push_back('b'); }, &b);
    DelayedEventBase::post([&] { ran.push_back('A'); }, &a);
    DelayedEventBase::discard(&a);
    EXPECT_EQ(DelayedEventBase::processDelayedEvents(), 1u);
    EXPECT_EQ(ran, std::vector<char>{'b'});
}

TEST_F(DelayedEventBaseTest, TheNotifierHearsEveryPostOnThePostingThread) {
    std::atomic<int> notified{0};
    std::thread::id notifiedOn;
    DelayedEventBase::postNotifier([&] {
        ++notified;
        notifiedOn = std::this_thread::get_id();
    });
    std::thread::id worker;
    std::thread([&] {
        worker = std::this_thread::get_id();
        DelayedEventBase::post([] {});
    }).join();
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(notifiedOn, worker);
    DelayedEventBase::postNotifier(nullptr);
    DelayedEventBase::post([] {});
    EXPECT_EQ(notified, 1);
}
