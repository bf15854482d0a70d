#pragma once

namespace Brio {

class Event;

/// Narrows a subscription: the site hears only the events the filter accepts.
class EventFilter {
public:
    virtual ~EventFilter();
    /// `event` may be null for sources that fire without one.
    virtual bool accept(const Event* event) const = 0;
};

} // namespace Brio
