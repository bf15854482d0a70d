#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Brio {

class Event;
class EventFilter;
class EventSite;

/// A named announcer of events to subscribed sites. Events are delivered on the
/// user-interface thread: one raised on another thread is copied and queued as a delayed
/// event (DelayedEventBase), unless the source allows firing there at once. Subclasses add
/// a typed fire operation and hand the event to their kind of site in deliver().
class EventSource {
public:
    explicit EventSource(std::wstring name);
    /// Drops every subscription and the events still queued for delivery by this source.
    virtual ~EventSource();
    EventSource(const EventSource&) = delete;
    EventSource& operator=(const EventSource&) = delete;

    const std::wstring& name() const { return m_name; }

    /// Subscribes `site`, which then hears the events `filter` accepts (all of them without a
    /// filter). Subscribing again replaces the filter; a site is never listed twice. Null is ignored.
    void subscribe(EventSite* site, std::shared_ptr<const EventFilter> filter = nullptr);
    /// Nothing when the site is not subscribed.
    void unsubscribe(EventSite* site);
    bool isSubscribed(const EventSite* site) const;
    std::size_t siteCount() const;

    /// The subscribed sites whose filter accepts `event`, in order of subscription.
    std::vector<EventSite*> sitesForEvent(const Event* event) const;

    /// Whether events raised off the user-interface thread go out at once on the raising
    /// thread instead of waiting for the user-interface thread. Off by default.
    bool firesOffUIThread() const { return m_firesOffUIThread.load(std::memory_order_relaxed); }
    void firesOffUIThread(bool on) { m_firesOffUIThread.store(on, std::memory_order_relaxed); }

    /// The lock guarding every subscription of every source and site; held while an event is
    /// delivered, so that a site cannot leave (or be destroyed) half-way through.
    static std::recursive_mutex& subscriptionLock();

protected:
    /// Delivers `event` (which may be null) to every site sitesForEvent lists that is still
    /// subscribed when its turn comes. Off the user-interface thread, unless firesOffUIThread,
    /// a copy is queued for the user-interface thread instead. Answers whether it went out now.
    bool fireEvent(Event* event);
    /// Hands the event to one site (called with subscriptionLock held).
    virtual void deliver(EventSite& site, Event* event) = 0;

private:
    struct Subscription {
        EventSite* site;
        std::shared_ptr<const EventFilter> filter;
    };
    class DelayedFire;

    void deliverNow(Event* event);

    const std::wstring m_name;
    std::vector<Subscription> m_subscriptions; // guarded by subscriptionLock
    std::atomic<bool> m_firesOffUIThread{false};
};

} // namespace Brio
