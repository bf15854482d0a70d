#pragma once
#include <mutex>

namespace Lumo::Objects::Threads {

/// A recursive mutex (one thread may lock it again while holding it).
class Mutex {
public:
    void Lock() { m_mutex.lock(); }
    bool TryLock() { return m_mutex.try_lock(); }
    void Unlock() { m_mutex.unlock(); }
    // Standard names, so std::lock_guard and std::scoped_lock work too.
    void lock() { Lock(); }
    bool try_lock() { return TryLock(); }
    void unlock() { Unlock(); }

private:
    std::recursive_mutex m_mutex;
};

/// Holds a Mutex for a scope.
class MutexLocker {
public:
    explicit MutexLocker(Mutex& m) : m_mutex(m) { m_mutex.Lock(); }
    ~MutexLocker() { m_mutex.Unlock(); }
    MutexLocker(const MutexLocker&) = delete;
    MutexLocker& operator=(const MutexLocker&) = delete;

private:
    Mutex& m_mutex;
};

} // namespace Lumo::Objects::Threads
