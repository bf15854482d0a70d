#pragma once

#include <memory>

namespace Brio {

/// Something an EventSource announces to its sites. Concrete events add what changed; they
/// are copyable through clone() because an event raised off the user-interface thread is
/// delivered later, from a copy, on that thread.
class Event {
public:
    /// `timing` says when the event is raised relative to the change it reports; 0 (the usual
    /// value) means after it.
    explicit Event(int timing = 0) : m_timing(timing) {}
    virtual ~Event();

    int timing() const { return m_timing; }

    /// A copy of the same dynamic type.
    virtual std::unique_ptr<Event> clone() const = 0;

protected:
    Event(const Event&) = default;
    Event& operator=(const Event&) = default;

private:
    int m_timing;
};

} // namespace Brio
