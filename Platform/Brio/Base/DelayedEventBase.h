#pragma once

#include <cstddef>
#include <functional>
#include <memory>

namespace Brio {

/// Work queued for the user-interface thread: what other threads raise (events for
/// subscribers that expect the user-interface thread) waits here until that thread drains the
/// queue, normally from its idle tick, with processDelayedEvents().
class DelayedEventBase {
public:
    /// `owner` tags the event so that it can be discarded when its owner goes away.
    explicit DelayedEventBase(const void* owner = nullptr) : m_owner(owner) {}
    virtual ~DelayedEventBase();
    DelayedEventBase(const DelayedEventBase&) = delete;
    DelayedEventBase& operator=(const DelayedEventBase&) = delete;

    const void* owner() const { return m_owner; }

    /// Runs on the user-interface thread.
    virtual void fire() = 0;

    /// Queues the event from any thread; the queue owns it. Null is ignored.
    static void post(std::unique_ptr<DelayedEventBase> event);
    /// Queues a function as an event. An empty function is ignored.
    static void post(std::function<void()> work, const void* owner = nullptr);

    /// On the user-interface thread: runs, in the order they were posted, the events queued
    /// before the call (events they post wait for the next call) and answers how many ran.
    /// Elsewhere it runs nothing and answers 0. When an event throws, the exception leaves
    /// this call and the events behind it stay queued.
    static std::size_t processDelayedEvents();
    static std::size_t pendingCount();
    /// Drops, without running them, the queued events of `owner`.
    static void discard(const void* owner);

    /// Called on the posting thread after each post, so that a host whose user-interface
    /// thread sleeps in its event loop can wake it. Empty to stop.
    static void postNotifier(std::function<void()> notifier);

private:
    const void* m_owner;
};

} // namespace Brio
