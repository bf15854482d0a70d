#include <Brio/Base/IdleHandler.h>
#include <Brio/Base/DelayedEventBase.h>
#include <Brio/Base/UIThread.h>

#include <atomic>
#include <mutex>
#include <utility>
#include <vector>

namespace Brio {
namespace {

struct Idle {
    std::mutex mutex;
    std::vector<std::pair<int, IIdleHandler::Task>> tasks;
    int nextId = 1;
    std::atomic<int> taskCount{0};
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
    // Events raised on other threads (camera changes...) are delivered here.
    if (DelayedEventBase::pendingCount() != 0) {
        t_inTick = true;
        DelayedEventBase::processDelayedEvents();
        t_inTick = false;
    }
    if (idle.taskCount.load(std::memory_order_relaxed) == 0)
        return; // the walk ticks per node: stay cheap
    std::vector<std::pair<int, Task>> tasks;
    {
        std::lock_guard<std::mutex> lock(idle.mutex);
        tasks = idle.tasks; // a task may add or remove tasks
    }
    t_inTick = true;
    for (auto& [id, task] : tasks)
        task();
    t_inTick = false;
}

int IIdleHandler::add(Task task) {
    Idle& idle = GetIdle();
    if (!task)
        return 0;
    std::lock_guard<std::mutex> lock(idle.mutex);
    const int id = idle.nextId++;
    idle.tasks.emplace_back(id, std::move(task));
    idle.taskCount.store(int(idle.tasks.size()), std::memory_order_relaxed);
    return id;
}

bool IIdleHandler::remove(int id) {
    Idle& idle = GetIdle();
    std::lock_guard<std::mutex> lock(idle.mutex);
    for (auto it = idle.tasks.begin(); it != idle.tasks.end(); ++it)
        if (it->first == id) {
            idle.tasks.erase(it);
            idle.taskCount.store(int(idle.tasks.size()), std::memory_order_relaxed);
            return true;
        }
    return false;
}

long IIdleHandler::tickCount() { return GetIdle().ticks.load(std::memory_order_relaxed); }

} // namespace Brio
