#include <Brio/Base/DelayedEventBase.h>
#include <Brio/Base/IdleHandler.h>
#include <Brio/Base/UIThread.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace Brio;

namespace {
class IdleHandlerTest : public ::testing::Test {
protected:
    void SetUp() override {
        OS::setUIThread(); // this thread delivers
        DelayedEventBase::processDelayedEvents();
    }
    void TearDown() override {
        while (IIdleHandler::inWalk())
            IIdleHandler::leaveWalk();
        DelayedEventBase::processDelayedEvents();
    }
};
} // namespace

TEST_F(IdleHandlerTest, TicksInsideAWalkHoldEventsAndTasksBackUntilTheOutermostWalkEnds) {
    std::vector<std::string> ran;
    const int task = IIdleHandler::add([&] { ran.push_back("task"); });
    DelayedEventBase::post([&] { ran.push_back("event"); });

    IIdleHandler::enterWalk();
    IIdleHandler::enterWalk(); // a walk started from inside a walk
    const long ticks = IIdleHandler::tickCount();
    IIdleHandler::tick();
    IIdleHandler::tick();
    EXPECT_EQ(IIdleHandler::tickCount(), ticks + 2) << "held ticks still count";
    EXPECT_TRUE(ran.empty());
    IIdleHandler::leaveWalk();
    EXPECT_TRUE(IIdleHandler::inWalk());
    EXPECT_TRUE(ran.empty()) << "the outer walk is still running";
    IIdleHandler::leaveWalk();
    EXPECT_FALSE(IIdleHandler::inWalk());
    EXPECT_EQ(ran, (std::vector<std::string>{"event", "task"})) << "delivered once, at the end";

    // Without a tick during the walk nothing is owed at its end.
    ran.clear();
    IIdleHandler::enterWalk();
    IIdleHandler::leaveWalk();
    EXPECT_TRUE(ran.empty());
    IIdleHandler::remove(task);

    IIdleHandler::leaveWalk(); // unmatched: no effect
    EXPECT_FALSE(IIdleHandler::inWalk());
}

TEST_F(IdleHandlerTest, WalksOnAnotherThreadDoNotHoldTheUserInterfaceThreadBack) {
    bool ran = false;
    DelayedEventBase::post([&] { ran = true; });
    std::thread walker([] {
        IIdleHandler::enterWalk();
        EXPECT_TRUE(IIdleHandler::inWalk());
        IIdleHandler::tick(); // not the UI thread: ignored
        IIdleHandler::leaveWalk();
    });
    walker.join();
    EXPECT_FALSE(ran);
    EXPECT_FALSE(IIdleHandler::inWalk());
    IIdleHandler::tick();
    EXPECT_TRUE(ran);
}

TEST_F(IdleHandlerTest, AnEventThatThrowsDoesNotStopLaterTicks) {
    DelayedEventBase::post([] { throw std::runtime_error("handler failed"); });
    EXPECT_THROW(IIdleHandler::tick(), std::runtime_error);
    bool ran = false;
    DelayedEventBase::post([&] { ran = true; });
    IIdleHandler::tick();
    EXPECT_TRUE(ran);

    // Thrown from the tick held back by a walk: out of leaving the walk, which is over.
    DelayedEventBase::post([] { throw std::runtime_error("handler failed"); });
    IIdleHandler::enterWalk();
    IIdleHandler::tick();
    EXPECT_THROW(IIdleHandler::leaveWalk(), std::runtime_error);
    EXPECT_FALSE(IIdleHandler::inWalk());
}
