#include <Brio/Base/DelayedEventBase.h>
#include <Brio/Base/Event.h>
#include <Brio/Base/EventFilter.h>
#include <Brio/Base/EventSite.h>
#include <Brio/Base/EventSource.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace Brio;

namespace {

struct PingEvent : Event {
    explicit PingEvent(int v) : value(v) {}
    std::unique_ptr<Event> clone() const override { return std::make_unique<PingEvent>(*this); }
    int value;
};

class PingSource;

struct PingSite : EventSite {
    /// Values heard, -1 for a fire without an event.
    std::vector<int> heard;
    std::vector<std::thread::id> threads;
    std::function<void()> onPing;
    void ping(PingEvent* e) {
        heard.push_back(e ? e->value : -1);
        threads.push_back(std::this_thread::get_id());
        if (onPing)
            onPing();
    }
};

class PingSource : public EventSource {
public:
    PingSource() : EventSource(L"PingSource") {}
    bool fire(PingEvent* e) { return fireEvent(e); }

protected:
    void deliver(EventSite& site, Event* e) override { static_cast<PingSite&>(site).ping(static_cast<PingEvent*>(e)); }
};

struct EvenOnly : EventFilter {
    bool accept(const Event* e) const override { return e && static_cast<const PingEvent*>(e)->value % 2 == 0; }
};

/// Runs f on a thread that is not the user-interface thread.
template <class F> void OffUIThread(F f) {
    std::thread(f).join();
}

class EventSourceTest : public ::testing::Test {
protected:
    void SetUp() override { DelayedEventBase::processDelayedEvents(); }
    void TearDown() override { DelayedEventBase::processDelayedEvents(); }
};

} // namespace

TEST_F(EventSourceTest, DeliversToEachSubscribedSiteOnceInOrder) {
    PingSource source;
    PingSite a, b;
    std::vector<char> order;
    a.onPing = [&] { order.push_back('a'); };
    b.onPing = [&] { order.push_back('b'); };
    source.subscribe(&b);
    source.subscribe(&a);
    source.subscribe(&b); // again: still once
    source.subscribe(nullptr);
    EXPECT_EQ(source.siteCount(), 2u);
    EXPECT_EQ(source.name(), L"PingSource");

    PingEvent e(4);
    EXPECT_TRUE(source.fire(&e));
    EXPECT_EQ(order, (std::vector<char>{'b', 'a'}));
    EXPECT_EQ(a.heard, std::vector<int>{4});
    EXPECT_EQ(b.heard, std::vector<int>{4});

    source.unsubscribe(&b);
    source.unsubscribe(&b); // not subscribed: nothing
    source.fire(nullptr);
    EXPECT_EQ(a.heard, (std::vector<int>{4, -1}));
    EXPECT_EQ(b.heard, std::vector<int>{4});
    EXPECT_FALSE(source.isSubscribed(&b));
}

TEST_F(EventSourceTest, FiltersChooseTheEventsASiteHears) {
    PingSource source;
    PingSite even, all;
    source.subscribe(&even, std::make_shared<EvenOnly>());
    source.subscribe(&all);
    PingEvent one(1), two(2);
    EXPECT_EQ(source.sitesForEvent(&one), std::vector<EventSite*>{&all});
    source.fire(&one);
    source.fire(&two);
    EXPECT_EQ(even.heard, std::vector<int>{2});
    EXPECT_EQ(all.heard, (std::vector<int>{1, 2}));

    source.subscribe(&even); // replaces the filter
    source.fire(&one);
    EXPECT_EQ(even.heard, (std::vector<int>{2, 1}));
}

TEST_F(EventSourceTest, SitesLeftDuringDeliveryAreSkipped) {
    PingSource source;
    PingSite first, second, late;
    first.onPing = [&] {
        source.unsubscribe(&second);
        source.subscribe(&late);
    };
    source.subscribe(&first);
    source.subscribe(&second);
    PingEvent e(7);
    source.fire(&e);
    EXPECT_EQ(first.heard.size(), 1u);
    EXPECT_TRUE(second.heard.empty()) << "unsubscribed before its turn";
    EXPECT_TRUE(late.heard.empty()) << "subscribed after the sites were listed";
    first.onPing = nullptr;
    source.fire(&e);
    EXPECT_EQ(late.heard, std::vector<int>{7});
}

TEST_F(EventSourceTest, DestroyedSitesAndSourcesLeaveEachOther) {
    PingSource source;
    {
        PingSite gone;
        source.subscribe(&gone);
        EXPECT_EQ(gone.sources(), std::vector<EventSource*>{&source});
    }
    EXPECT_EQ(source.siteCount(), 0u);
    PingEvent e(1);
    source.fire(&e); // would call the destroyed site otherwise

    PingSite site;
    {
        PingSource shortLived;
        shortLived.subscribe(&site);
        source.subscribe(&site);
        EXPECT_EQ(site.sources().size(), 2u);
    }
    EXPECT_EQ(site.sources(), std::vector<EventSource*>{&source});

    PingSite copy(site);
    EXPECT_TRUE(copy.sources().empty()) << "a copy is not subscribed";
}

TEST_F(EventSourceTest, EventsRaisedOffTheUIThreadArriveLaterOnIt) {
    PingSource source;
    PingSite site;
    source.subscribe(&site);
    bool firedAtOnce = true;
    std::size_t drainedByWorker = 99;
    OffUIThread([&] {
        PingEvent e(5); // gone before delivery: the queue holds a copy
        firedAtOnce = source.fire(&e);
        source.fire(nullptr);
        drainedByWorker = DelayedEventBase::processDelayedEvents();
    });
    EXPECT_FALSE(firedAtOnce);
    EXPECT_EQ(drainedByWorker, 0u) << "only the user-interface thread drains";
    EXPECT_TRUE(site.heard.empty());
    EXPECT_EQ(DelayedEventBase::pendingCount(), 2u);

    EXPECT_EQ(DelayedEventBase::processDelayedEvents(), 2u);
    EXPECT_EQ(site.heard, (std::vector<int>{5, -1}));
    EXPECT_EQ(site.threads[0], std::this_thread::get_id());

    // A source may let its events go out on the raising thread.
    source.firesOffUIThread(true);
    std::thread::id worker;
    OffUIThread([&] {
        worker = std::this_thread::get_id();
        PingEvent e(6);
        firedAtOnce = source.fire(&e);
    });
    EXPECT_TRUE(firedAtOnce);
    EXPECT_EQ(site.heard.back(), 6);
    EXPECT_EQ(site.threads.back(), worker);
    EXPECT_EQ(DelayedEventBase::pendingCount(), 0u);
}

TEST_F(EventSourceTest, QueuedEventsDieWithTheirSource) {
    PingSite site;
    auto source = std::make_unique<PingSource>();
    source->subscribe(&site);
    OffUIThread([&] {
        PingEvent e(3);
        source->fire(&e);
    });
    DelayedEventBase::post([] {}, nullptr);
    EXPECT_EQ(DelayedEventBase::pendingCount(), 2u);
    source.reset();
    EXPECT_EQ(DelayedEventBase::pendingCount(), 1u) << "only the source's own events go";
    EXPECT_EQ(DelayedEventBase::processDelayedEvents(), 1u);
    EXPECT_TRUE(site.heard.empty());
}
