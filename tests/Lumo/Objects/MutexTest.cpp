#include <Lumo/Objects/Mutex.h>

#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

using Lumo::Objects::Threads::Mutex;
using Lumo::Objects::Threads::MutexLocker;

TEST(MutexTest, RecursiveForTheOwnerExclusiveForOthers) {
    Mutex m;
    MutexLocker outer(m);
    {
        MutexLocker inner(m); // the same thread may lock again
        EXPECT_TRUE(m.TryLock());
        m.Unlock();
    }
    bool otherGotIt = true;
    std::thread([&] { otherGotIt = m.TryLock(); }).join();
    EXPECT_FALSE(otherGotIt); // still held once by this thread
}

TEST(MutexTest, SerializesConcurrentUpdates) {
    Mutex m;
    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                std::scoped_lock lock(m);
                MutexLocker again(m);
                ++counter;
            }
        });
    }
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(counter, 80000);
    std::thread([&] {
        EXPECT_TRUE(m.TryLock()); // every lock was undone
        m.Unlock();
    }).join();
}
