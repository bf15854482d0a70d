#pragma once
#include <atomic>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

namespace Brio {

/// Callbacks registered under ids, safe to add, remove and call from several threads. Calls
/// go to a copy of the list, so a callback may add or remove callbacks (itself included).
template <class Signature> class ListenerList {
public:
    using Listener = std::function<Signature>;

    /// Answers the listener's id; a null listener is ignored (answers 0).
    int add(Listener listener) {
        if (!listener)
            return 0;
        std::lock_guard lock(m_mutex);
        const int id = m_nextId++;
        m_listeners.emplace_back(id, std::move(listener));
        m_count.store(int(m_listeners.size()), std::memory_order_relaxed);
        return id;
    }
    /// False when the id is unknown.
    bool remove(int id) {
        std::lock_guard lock(m_mutex);
        const bool removed = std::erase_if(m_listeners, [&](const auto& l) { return l.first == id; }) > 0;
        m_count.store(int(m_listeners.size()), std::memory_order_relaxed);
        return removed;
    }
    /// Read without the lock, so hot paths can skip an empty list cheaply.
    int size() const { return m_count.load(std::memory_order_relaxed); }
    /// Calls every listener registered now, in registration order.
    template <class... Args> void call(Args&&... args) const {
        std::vector<std::pair<int, Listener>> listeners;
        {
            std::lock_guard lock(m_mutex);
            listeners = m_listeners;
        }
        for (auto& entry : listeners)
            entry.second(args...);
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::pair<int, Listener>> m_listeners;
    int m_nextId = 1;
    std::atomic<int> m_count{0};
};

} // namespace Brio
