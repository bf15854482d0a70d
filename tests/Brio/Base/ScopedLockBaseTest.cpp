#include <Brio/Base/ScopedLockBase.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <thread>
#include <vector>

using Brio::ScopedLockBase;
using namespace std::chrono_literals;

namespace {

/// Whether another thread can take `lockType` while the caller holds what it holds.
bool otherThreadCanLock(int lockType) {
    // Detached so that a failing case reports instead of hanging on the blocked thread.
    auto entered = std::make_shared<std::promise<void>>();
    auto future = entered->get_future();
    std::thread([lockType, entered] {
        ScopedLockBase lock(lockType);
        entered->set_value();
    }).detach();
    return future.wait_for(200ms) == std::future_status::ready;
}

} // namespace

TEST(ScopedLockBaseTest, LockingIsInForceForEveryTypeByDefault) {
    for (int type = 0; type < ScopedLockBase::kLockTypeCount; ++type) {
        EXPECT_TRUE(ScopedLockBase::lockingInForce(type)) << type;
        ScopedLockBase lock(type);
        EXPECT_TRUE(lock.locked()) << type;
    }
}

TEST(ScopedLockBaseTest, OutOfRangeTypesLockNothing) {
    for (int type : {-1, ScopedLockBase::kLockTypeCount, 1000}) {
        EXPECT_FALSE(ScopedLockBase::lockingInForce(type));
        ScopedLockBase::lockingInForce(type, true); // ignored
        EXPECT_FALSE(ScopedLockBase::lockingInForce(type));
        ScopedLockBase lock(type);
        EXPECT_FALSE(lock.locked());
    }
}

TEST(ScopedLockBaseTest, HeldTypeBlocksOtherThreadsButNotOtherTypes) {
    std::future<void> waiter;
    {
        ScopedLockBase held(3);
        // Recursive: the owner can nest the same type.
        {
            ScopedLockBase nested(3);
            EXPECT_TRUE(nested.locked());
        }
        EXPECT_TRUE(otherThreadCanLock(4));
        waiter = std::async(std::launch::async, [] { ScopedLockBase lock(3); });
        EXPECT_EQ(waiter.wait_for(100ms), std::future_status::timeout);
    }
    EXPECT_EQ(waiter.wait_for(5s), std::future_status::ready);
}

TEST(ScopedLockBaseTest, ProtectsSharedStateAcrossThreads) {
    long counter = 0; // protected only by lock type 7
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&counter] {
            for (int i = 0; i < 20000; ++i) {
                ScopedLockBase lock(7);
                const long seen = counter;
                if (i % 1000 == 0)
                    std::this_thread::yield();
                counter = seen + 1;
            }
        });
    }
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(counter, 80000);
}

TEST(ScopedLockBaseTest, SwitchedOffTypeTakesNothingAndLocksHeldAcrossTheSwitchAreReleased) {
    ScopedLockBase::lockingInForce(5, false);
    EXPECT_FALSE(ScopedLockBase::lockingInForce(5));
    EXPECT_TRUE(ScopedLockBase::lockingInForce(6));
    {
        ScopedLockBase lock(5);
        EXPECT_FALSE(lock.locked());
        EXPECT_TRUE(otherThreadCanLock(5));
    }
    ScopedLockBase::lockingInForce(5, true);

    {
        ScopedLockBase held(5);
        EXPECT_TRUE(held.locked());
        ScopedLockBase::lockingInForce(5, false);
    }
    ScopedLockBase::lockingInForce(5, true);
    // The lock taken before the switch was still released.
    EXPECT_TRUE(otherThreadCanLock(5));
}
