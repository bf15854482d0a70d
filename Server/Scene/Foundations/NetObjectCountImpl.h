#pragma once
#include <atomic>

namespace Lumo::Scene {

/// Counts the live objects of class T: a data-free base whose constructor and destructor
/// move a process-wide counter of T. Atomic, so concurrent construction is no data race.
template <class T> class NetObjectCountImpl {
public:
    static int Count() { return s_count.load(std::memory_order_relaxed); }

protected:
    NetObjectCountImpl() { s_count.fetch_add(1, std::memory_order_relaxed); }
    NetObjectCountImpl(const NetObjectCountImpl&) { s_count.fetch_add(1, std::memory_order_relaxed); }
    NetObjectCountImpl& operator=(const NetObjectCountImpl&) { return *this; }
    ~NetObjectCountImpl() { s_count.fetch_sub(1, std::memory_order_relaxed); }

private:
    static inline std::atomic<int> s_count{0};
};

} // namespace Lumo::Scene
