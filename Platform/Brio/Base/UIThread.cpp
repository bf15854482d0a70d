#include <Brio/Base/UIThread.h>

#include <atomic>
#include <thread>

namespace Brio::OS {

namespace {

// Initialized when the library is loaded, on the loading thread.
std::atomic<std::thread::id> g_uiThread{std::this_thread::get_id()};

} // namespace

bool isUIThread() {
    return g_uiThread.load(std::memory_order_acquire) == std::this_thread::get_id();
}

void setUIThread() {
    g_uiThread.store(std::this_thread::get_id(), std::memory_order_release);
}

} // namespace Brio::OS
