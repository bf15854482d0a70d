#include <Brio/Base/UIThread.h>

#include <gtest/gtest.h>

#include <thread>

namespace OS = Brio::OS;

TEST(UIThreadTest, LoadingThreadUntilAnotherThreadClaimsIt) {
    // The library was loaded on the main thread, which runs the tests.
    EXPECT_TRUE(OS::isUIThread());

    bool seenFromWorker = true;
    std::thread([&] { seenFromWorker = OS::isUIThread(); }).join();
    EXPECT_FALSE(seenFromWorker);

    bool workerAfterClaim = false;
    std::thread([&] {
        OS::setUIThread();
        workerAfterClaim = OS::isUIThread();
    }).join();
    EXPECT_TRUE(workerAfterClaim);
    EXPECT_FALSE(OS::isUIThread());

    OS::setUIThread();
    EXPECT_TRUE(OS::isUIThread());
}
