#include <Brio/Base/SpinLock.h>

#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

using Brio::SpinLock;
using Brio::SpinLocker;

TEST(SpinLockTest, IsOneByteAndTryLockFailsWhileHeld) {
    EXPECT_EQ(sizeof(SpinLock), 1u);
    SpinLock lock;
    EXPECT_TRUE(lock.tryLock());
    EXPECT_FALSE(lock.tryLock()); // not recursive

    bool otherThreadGotIt = true;
    std::thread([&] { otherThreadGotIt = lock.tryLock(); }).join();
    EXPECT_FALSE(otherThreadGotIt);

    lock.unlock();
    EXPECT_TRUE(lock.tryLock());
    lock.unlock();
}

TEST(SpinLockTest, LockerExcludesOtherThreads) {
    SpinLock lock;
    long counter = 0; // deliberately not atomic: only the lock protects it
    constexpr int kThreads = 4;
    constexpr int kIterations = 50000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < kIterations; ++i) {
                SpinLocker guard(lock);
                const long seen = counter;
                if (i % 1000 == 0)
                    std::this_thread::yield(); // widen the window a broken lock would expose
                counter = seen + 1;
            }
        });
    }
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(counter, static_cast<long>(kThreads) * kIterations);
    EXPECT_TRUE(lock.tryLock()); // released by every guard
    lock.unlock();
}

TEST(SpinLockTest, WorksWithStandardGuards) {
    SpinLock lock;
    {
        std::lock_guard guard(lock);
        EXPECT_FALSE(lock.tryLock());
    }
    {
        std::unique_lock guard(lock, std::try_to_lock);
        EXPECT_TRUE(guard.owns_lock());
    }
    EXPECT_TRUE(lock.tryLock());
    lock.unlock();
}
