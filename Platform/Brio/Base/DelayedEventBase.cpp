#include <Brio/Base/DelayedEventBase.h>

#include <Brio/Base/UIThread.h>

#include <atomic>
#include <deque>
#include <mutex>

namespace Brio {

namespace {

struct Queue {
    std::mutex mutex;
    struct Entry {
        unsigned long long sequence; // order of posting, so a drain can stop at its start
        std::unique_ptr<DelayedEventBase> event;
    };
    std::deque<Entry> events;
    std::atomic<std::size_t> size{0}; // events.size(), readable without the lock
    unsigned long long posted = 0;
    std::function<void()> notifier;
};

Queue& GetQueue() {
    // Never destroyed: sources in libraries unloaded late still discard their events here.
    static auto* queue = new Queue;
    return *queue;
}

class FunctionEvent : public DelayedEventBase {
public:
    FunctionEvent(std::function<void()> work, const void* owner) : DelayedEventBase(owner), m_work(std::move(work)) {}
    void fire() override { m_work(); }

private:
    std::function<void()> m_work;
};

} // namespace

DelayedEventBase::~DelayedEventBase() = default;

void DelayedEventBase::post(std::unique_ptr<DelayedEventBase> event) {
    if (!event)
        return;
    Queue& q = GetQueue();
    std::function<void()> notifier;
    {
        std::lock_guard lock(q.mutex);
        q.events.push_back({q.posted++, std::move(event)});
        q.size.store(q.events.size(), std::memory_order_relaxed);
        notifier = q.notifier;
    }
    if (notifier)
        notifier();
}

void DelayedEventBase::post(std::function<void()> work, const void* owner) {
    if (work)
        post(std::make_unique<FunctionEvent>(std::move(work), owner));
}

std::size_t DelayedEventBase::processDelayedEvents() {
    if (!OS::isUIThread())
        return 0;
    Queue& q = GetQueue();
    unsigned long long end;
    {
        std::lock_guard lock(q.mutex);
        end = q.posted;
    }
    std::size_t ran = 0;
    // One at a time, without the queue locked, so that events may post or discard others.
    for (;;) {
        std::unique_ptr<DelayedEventBase> event;
        {
            std::lock_guard lock(q.mutex);
            if (q.events.empty() || q.events.front().sequence >= end)
                break;
            event = std::move(q.events.front().event);
            q.events.pop_front();
            q.size.store(q.events.size(), std::memory_order_relaxed);
        }
        ++ran;
        event->fire();
    }
    return ran;
}

std::size_t DelayedEventBase::pendingCount() {
    // Read at every idle tick (per walked node): no lock.
    return GetQueue().size.load(std::memory_order_relaxed);
}

void DelayedEventBase::discard(const void* owner) {
    Queue& q = GetQueue();
    std::deque<std::unique_ptr<DelayedEventBase>> dropped;
    {
        std::lock_guard lock(q.mutex);
        for (auto it = q.events.begin(); it != q.events.end();) {
            if (it->event->owner() == owner) {
                dropped.push_back(std::move(it->event));
                it = q.events.erase(it);
                q.size.store(q.events.size(), std::memory_order_relaxed);
            } else {
                ++it;
            }
        }
    }
    // Destroyed outside the lock: an event's destructor may release objects that post again.
}

void DelayedEventBase::postNotifier(std::function<void()> notifier) {
    Queue& q = GetQueue();
    std::lock_guard lock(q.mutex);
    q.notifier = std::move(notifier);
}

} // namespace Brio
