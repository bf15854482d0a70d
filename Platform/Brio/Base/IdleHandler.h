#pragma once
#include <functional>

namespace Brio {

/// The host's idle work, given a tick from long-running work on the user-interface thread
/// (graph walks, syncs) so that idle tasks such as delayed events are not starved. Ticks from
/// other threads are ignored.
class IIdleHandler {
public:
    using Task = std::function<void()>;
    /// Delivers the delayed events, then runs every registered task once, when called on the
    /// user-interface thread and no tick is already running (a task that walks the graph must
    /// not re-enter itself). Inside a walk it only counts and holds the work back (see
    /// enterWalk). Cheap when there is nothing registered.
    static void tick();
    /// Registers a task run at every tick; answers its id.
    static int add(Task task);
    /// Unregisters; false when the id is unknown.
    static bool remove(int id);
    /// Ticks given on the user-interface thread so far.
    static long tickCount();

    /// This thread starts walking a graph. Until the matching leaveWalk, ticks deliver no event
    /// and run no task: their handlers could edit the graph under the walk. Walks nest.
    static void enterWalk();
    /// The walk is over. Leaving the outermost walk gives the tick that was held back, so what
    /// was posted meanwhile is delivered now (an event that throws leaves this call).
    static void leaveWalk();
    /// True while this thread is inside a walk.
    static bool inWalk();
};

} // namespace Brio
