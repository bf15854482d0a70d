#pragma once

namespace Brio {

/// Scoped lock on one of the host's process-wide recursive mutexes, chosen by lock type
/// (0 .. kLockTypeCount-1). Locking can be switched off per type (it is on by default), in
/// which case the lock takes nothing; an out-of-range type also takes nothing.
class ScopedLockBase {
public:
    static constexpr int kLockTypeCount = 16;

    explicit ScopedLockBase(int lockType);
    ~ScopedLockBase();
    ScopedLockBase(const ScopedLockBase&) = delete;
    ScopedLockBase& operator=(const ScopedLockBase&) = delete;

    /// Whether this object holds its type's mutex.
    bool locked() const { return m_heldType >= 0; }

    /// False for out-of-range types.
    static bool lockingInForce(int lockType);
    /// Ignored for out-of-range types; locks already held are still released normally.
    static void lockingInForce(int lockType, bool on);

private:
    int m_heldType = -1; // -1 when nothing was taken
};

} // namespace Brio
