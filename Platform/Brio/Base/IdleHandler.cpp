#include <Brio/Base/IdleHandler.h>
#include <Brio/Base/DelayedEventBase.h>
#include <Brio/Base/ListenerList.h>
#include <Brio/Base/UIThread.h>

#include <atomic>
#include <utility>

namespace Brio {
namespace {

struct Idle {
    ListenerList<void()> tasks;
    std::atomic<long> ticks{0};
};

Idle& GetIdle() {
    static Idle idle;
    return idle;
}

thread_local bool t_inTick = false;

} // namespace

void IIdleHandler::tick() {
    Idle& idle = GetIdle();
    if (t_inTick || !OS::isUIThread())
        return;
    idle.ticks.fetch_add(1, std::memory_order_relaxed);
    // The walk ticks per node: both checks below are lock-free reads.
    const bool events = DelayedEventBase::pendingCount() != 0;
    const bool tasks = idle.tasks.size() != 0;
    if (!events && !tasks)
        return;
    t_inTick = true;
    // Events raised on other threads (camera changes...) are delivered here.
    if (events)
        DelayedEventBase::processDelayedEvents();
    if (tasks)
        idle.tasks.call();
    t_inTick = false;
}

int IIdleHandler::add(Task task) { return GetIdle().tasks.add(std::move(task)); }

bool IIdleHandler::remove(int id) { return GetIdle().tasks.remove(id); }

long IIdleHandler::tickCount() { return GetIdle().ticks.load(std::memory_order_relaxed); }

} // namespace Brio
