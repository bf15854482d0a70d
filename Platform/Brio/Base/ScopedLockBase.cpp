#include <Brio/Base/ScopedLockBase.h>

#include <array>
#include <atomic>
#include <mutex>

namespace Brio {

namespace {

struct LockTable {
    std::array<std::recursive_mutex, ScopedLockBase::kLockTypeCount> mutexes;
    std::array<std::atomic<bool>, ScopedLockBase::kLockTypeCount> inForce;

    LockTable() {
        for (auto& flag : inForce)
            flag.store(true, std::memory_order_relaxed);
    }
};

LockTable& table() {
    // Leaked so that locks taken from static destructors still find their mutex.
    static LockTable* instance = new LockTable;
    return *instance;
}

bool validType(int lockType) {
    return lockType >= 0 && lockType < ScopedLockBase::kLockTypeCount;
}

} // namespace

ScopedLockBase::ScopedLockBase(int lockType) {
    if (!lockingInForce(lockType))
        return;
    table().mutexes[static_cast<size_t>(lockType)].lock();
    m_heldType = lockType;
}

ScopedLockBase::~ScopedLockBase() {
    if (m_heldType >= 0)
        table().mutexes[static_cast<size_t>(m_heldType)].unlock();
}

bool ScopedLockBase::lockingInForce(int lockType) {
    return validType(lockType) && table().inForce[static_cast<size_t>(lockType)].load(std::memory_order_acquire);
}

void ScopedLockBase::lockingInForce(int lockType, bool on) {
    if (validType(lockType))
        table().inForce[static_cast<size_t>(lockType)].store(on, std::memory_order_release);
}

} // namespace Brio
