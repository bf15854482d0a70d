#pragma once
#include <Brio/Base/ScopedLockBase.h>

namespace Brio {

/// Held for the whole of an operation (a frame, a pick) that the host's worker threads must
/// not overlap while its multi-threaded graphics options are on. Kinds 0 .. 3 are separate
/// locks; each is one of the host's process-wide recursive mutexes.
class MultiThreadedOpScopedLock : public ScopedLockBase {
public:
    static constexpr int kFirstLockType = 8;
    static constexpr int kKinds = 4;
    explicit MultiThreadedOpScopedLock(int kind)
        : ScopedLockBase(kind >= 0 && kind < kKinds ? kFirstLockType + kind : -1) {}
};

} // namespace Brio
