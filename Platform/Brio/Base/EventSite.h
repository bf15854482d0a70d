#pragma once

#include <vector>

namespace Brio {

class EventSource;

/// Base of everything that subscribes to an EventSource. A site that is destroyed leaves
/// every source it was subscribed to, so a source never calls a site that is gone. Sites
/// destroyed on another thread than the one firing should unsubscribe in their own
/// destructor, before their handlers are torn down.
class EventSite {
public:
    EventSite() = default;
    /// A copy starts without subscriptions.
    EventSite(const EventSite&) {}
    EventSite& operator=(const EventSite&) { return *this; }
    virtual ~EventSite();

    /// The sources this site is subscribed to, in order of subscription.
    std::vector<EventSource*> sources() const;

private:
    friend class EventSource;
    std::vector<EventSource*> m_sources; // guarded by the event subscription lock
};

} // namespace Brio
