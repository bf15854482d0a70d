#include <Scene/Foundations/AddInStaticInternal.h>

#include <atomic>

namespace Brio::Scene {

namespace {
std::atomic<bool> g_stopped{false};
}

bool AddInStaticBase::addInStopped() {
    return g_stopped.load(std::memory_order_acquire);
}

void AddInStaticBase::addInStopped(bool stopped) {
    g_stopped.store(stopped, std::memory_order_release);
}

} // namespace Brio::Scene
