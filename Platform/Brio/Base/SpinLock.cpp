#include <Brio/Base/SpinLock.h>

#include <thread>

namespace Brio {

static_assert(sizeof(SpinLock) == 1, "SpinLock is meant to fit in one byte");

namespace {

inline void cpuPause() noexcept {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
}

} // namespace

bool SpinLock::tryLock() noexcept {
    uint8_t expected = 0;
    return m_state.compare_exchange_strong(expected, 1, std::memory_order_acquire, std::memory_order_relaxed);
}

void SpinLock::lock() noexcept {
    if (tryLock())
        return;
    // Short contention is the common case: back off 1, 2, 4, 8, 16 pauses before giving the CPU up.
    for (int rounds = 1; rounds <= 16; rounds *= 2) {
        for (int i = 0; i < rounds; ++i)
            cpuPause();
        // Read before the CAS so waiters do not keep stealing the cache line from the owner.
        if (m_state.load(std::memory_order_relaxed) == 0 && tryLock())
            return;
    }
    for (;;) {
        std::this_thread::yield();
        if (m_state.load(std::memory_order_relaxed) == 0 && tryLock())
            return;
    }
}

void SpinLock::unlock() noexcept {
    m_state.store(0, std::memory_order_release);
}

} // namespace Brio
