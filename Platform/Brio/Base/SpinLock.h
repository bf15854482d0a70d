#pragma once

#include <atomic>
#include <cstdint>

namespace Brio {

/// One-byte lock for very short critical sections: spins with growing back-off, then yields
/// the thread between tries. Not recursive.
class SpinLock {
public:
    SpinLock() = default;
    SpinLock(const SpinLock&) = delete;
    SpinLock& operator=(const SpinLock&) = delete;

    void lock() noexcept;
    bool tryLock() noexcept;
    void unlock() noexcept;

    // Standard names, so std::lock_guard and std::scoped_lock work too.
    bool try_lock() noexcept { return tryLock(); }

private:
    std::atomic<uint8_t> m_state{0};
};

/// Holds a SpinLock for the lifetime of the scope.
class SpinLocker {
public:
    explicit SpinLocker(SpinLock& lock) noexcept : m_lock(lock) { m_lock.lock(); }
    ~SpinLocker() { m_lock.unlock(); }
    SpinLocker(const SpinLocker&) = delete;
    SpinLocker& operator=(const SpinLocker&) = delete;

private:
    SpinLock& m_lock;
};

} // namespace Brio
