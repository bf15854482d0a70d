#include <Brio/Base/DelayedEventBase.h>
#include <Brio/Base/IdleHandler.h>
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
thread_local int t_walkDepth = 0;
thread_local bool t_heldTick = false; // a tick came while walking

/// Delivers the delayed events and runs the tasks, unless a tick is already doing so.
void runIdleWork() {
    Idle& idle = GetIdle();
    if (t_inTick || !OS::isUIThread())
        return;
    // Ticks come as often as every walked node: both checks below are lock-free reads.
    const bool events = DelayedEventBase::pendingCount() != 0;
    const bool tasks = idle.tasks.size() != 0;
    if (!events && !tasks)
        return;
    // Cleared however the work ends: an event that throws must not stop every later tick.
    struct InTick {
        InTick() { t_inTick = true; }
        ~InTick() { t_inTick = false; }
    } inTick;
    // Events raised on other threads (camera changes...) are delivered here.
    if (events)
        DelayedEventBase::processDelayedEvents();
    if (tasks)
        idle.tasks.call();
}

} // namespace

void IIdleHandler::tick() {
    if (t_inTick || !OS::isUIThread())
        return;
    GetIdle().ticks.fetch_add(1, std::memory_order_relaxed);
    if (t_walkDepth > 0)
        t_heldTick = true;
    else
        runIdleWork();
}

int IIdleHandler::add(Task task) {
    return GetIdle().tasks.add(std::move(task));
}

bool IIdleHandler::remove(int id) {
    return GetIdle().tasks.remove(id);
}

long IIdleHandler::tickCount() {
    return GetIdle().ticks.load(std::memory_order_relaxed);
}

void IIdleHandler::enterWalk() {
    ++t_walkDepth;
}

void IIdleHandler::leaveWalk() {
    if (t_walkDepth == 0 || --t_walkDepth > 0 || !t_heldTick)
        return;
    t_heldTick = false;
    runIdleWork();
}

bool IIdleHandler::inWalk() {
    return t_walkDepth > 0;
}

} // namespace Brio
