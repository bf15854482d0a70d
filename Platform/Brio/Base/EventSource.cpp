#include <Brio/Base/EventSource.h>

#include <Brio/Base/DelayedEventBase.h>
#include <Brio/Base/Event.h>
#include <Brio/Base/EventFilter.h>
#include <Brio/Base/EventSite.h>
#include <Brio/Base/UIThread.h>

#include <algorithm>

namespace Brio {

/// The queued form of an event raised off the user-interface thread.
class EventSource::DelayedFire : public DelayedEventBase {
public:
    DelayedFire(EventSource* source, std::unique_ptr<Event> event)
        : DelayedEventBase(source), m_source(source), m_event(std::move(event)) {}
    void fire() override { m_source->deliverNow(m_event.get()); }

private:
    EventSource* m_source; // the source discards its queued events before it goes
    std::unique_ptr<Event> m_event;
};

std::recursive_mutex& EventSource::subscriptionLock() {
    // Never destroyed: sites and sources in libraries unloaded late still need it.
    static auto* lock = new std::recursive_mutex;
    return *lock;
}

EventSource::EventSource(std::wstring name) : m_name(std::move(name)) {}

EventSource::~EventSource() {
    {
        std::lock_guard lock(subscriptionLock());
        for (Subscription& s : m_subscriptions)
            std::erase(s.site->m_sources, this);
        m_subscriptions.clear();
    }
    DelayedEventBase::discard(this);
}

void EventSource::subscribe(EventSite* site, std::shared_ptr<const EventFilter> filter) {
    if (!site)
        return;
    std::lock_guard lock(subscriptionLock());
    auto it = std::find_if(m_subscriptions.begin(), m_subscriptions.end(),
                           [site](const Subscription& s) { return s.site == site; });
    if (it != m_subscriptions.end()) {
        it->filter = std::move(filter);
        return;
    }
    m_subscriptions.push_back({site, std::move(filter)});
    site->m_sources.push_back(this);
}

void EventSource::unsubscribe(EventSite* site) {
    std::lock_guard lock(subscriptionLock());
    auto it = std::find_if(m_subscriptions.begin(), m_subscriptions.end(),
                           [site](const Subscription& s) { return s.site == site; });
    if (it == m_subscriptions.end())
        return;
    m_subscriptions.erase(it);
    std::erase(site->m_sources, this);
}

bool EventSource::isSubscribed(const EventSite* site) const {
    std::lock_guard lock(subscriptionLock());
    return std::any_of(m_subscriptions.begin(), m_subscriptions.end(),
                       [site](const Subscription& s) { return s.site == site; });
}

std::size_t EventSource::siteCount() const {
    std::lock_guard lock(subscriptionLock());
    return m_subscriptions.size();
}

std::vector<EventSite*> EventSource::sitesForEvent(const Event* event) const {
    std::lock_guard lock(subscriptionLock());
    std::vector<EventSite*> sites;
    for (const Subscription& s : m_subscriptions)
        if (!s.filter || s.filter->accept(event))
            sites.push_back(s.site);
    return sites;
}

bool EventSource::fireEvent(Event* event) {
    if (!OS::isUIThread() && !firesOffUIThread()) {
        DelayedEventBase::post(std::make_unique<DelayedFire>(this, event ? event->clone() : nullptr));
        return false;
    }
    deliverNow(event);
    return true;
}

void EventSource::deliverNow(Event* event) {
    std::lock_guard lock(subscriptionLock());
    // A handler may unsubscribe sites further down the list; they no longer hear this event.
    for (EventSite* site : sitesForEvent(event))
        if (isSubscribed(site))
            deliver(*site, event);
}

} // namespace Brio
