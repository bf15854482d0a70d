#include <Lumo/Graphics/IChangePacket.h>
#include <Lumo/Graphics/StandardObjectManager.h>

#include <Lumo/Objects/AutoPtr.h>

#include <atomic>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace Lumo::Graphics {

using Lumo::Objects::AutoPtr;

LUMO_DEFINE_CLASS(StandardObjectManager, ARefCounted)

struct StandardObjectManager::Impl {
    mutable std::mutex mutex;
    std::vector<AutoPtr<IChangePacket>> queue;
    std::unordered_map<ARenderNode*, std::size_t> byNode; // queue index of each node's packet
    std::mutex listenerMutex;
    std::vector<std::pair<int, WorldListener>> listeners;
    int nextListener = 1;
    std::atomic<int> listenerCount{0};
};

StandardObjectManager::StandardObjectManager() : m_impl(std::make_unique<Impl>()) {}
StandardObjectManager::~StandardObjectManager() = default;

StandardObjectManager* StandardObjectManager::Make() {
    return new StandardObjectManager;
}

void StandardObjectManager::PostPacket(IChangePacket* packet) {
    if (!packet)
        return;
    AutoPtr<IChangePacket> incoming = packet;
    ARenderNode* node = packet->Node();
    std::lock_guard lock(m_impl->mutex);
    if (node) {
        auto it = m_impl->byNode.find(node);
        if (it != m_impl->byNode.end()) {
            AutoPtr<IChangePacket>& queued = m_impl->queue[it->second];
            IChangePacket* kept;
            {
                Lumo::Objects::Threads::MutexLocker packetLock(queued->Mutex());
                kept = queued->MergeChanges(*incoming);
            }
            if (kept != queued.get())
                queued = kept;
            return;
        }
        m_impl->byNode.emplace(node, m_impl->queue.size());
    }
    m_impl->queue.push_back(std::move(incoming));
}

int StandardObjectManager::ApplyChanges() {
    std::vector<AutoPtr<IChangePacket>> batch;
    {
        std::lock_guard lock(m_impl->mutex);
        batch.swap(m_impl->queue);
        m_impl->byNode.clear();
    }
    for (auto& packet : batch) {
        {
            Lumo::Objects::Threads::MutexLocker packetLock(packet->Mutex());
            WorldAboutToChange(*packet);
            packet->UpdateNode();
            WorldChanged(*packet);
        }
        packet = nullptr; // released while its data is still in the cache
    }
    return static_cast<int>(batch.size());
}

int StandardObjectManager::PendingCount() const {
    std::lock_guard lock(m_impl->mutex);
    return static_cast<int>(m_impl->queue.size());
}

void StandardObjectManager::ForEachPending(const std::function<void(IChangePacket&)>& visit) const {
    std::vector<AutoPtr<IChangePacket>> snapshot;
    {
        std::lock_guard lock(m_impl->mutex);
        snapshot = m_impl->queue;
    }
    for (auto& packet : snapshot)
        visit(*packet);
}

void StandardObjectManager::Clear() {
    std::vector<AutoPtr<IChangePacket>> dropped;
    std::lock_guard lock(m_impl->mutex);
    dropped.swap(m_impl->queue); // released after the lock: a packet's release may post
    m_impl->byNode.clear();
}

int StandardObjectManager::AddWorldListener(WorldListener listener) {
    if (!listener)
        return 0;
    std::lock_guard lock(m_impl->listenerMutex);
    const int id = m_impl->nextListener++;
    m_impl->listeners.emplace_back(id, std::move(listener));
    m_impl->listenerCount.store(int(m_impl->listeners.size()), std::memory_order_relaxed);
    return id;
}

bool StandardObjectManager::RemoveWorldListener(int id) {
    std::lock_guard lock(m_impl->listenerMutex);
    for (auto it = m_impl->listeners.begin(); it != m_impl->listeners.end(); ++it)
        if (it->first == id) {
            m_impl->listeners.erase(it);
            m_impl->listenerCount.store(int(m_impl->listeners.size()), std::memory_order_relaxed);
            return true;
        }
    return false;
}

namespace {
void Announce(std::mutex& mutex, const std::vector<std::pair<int, StandardObjectManager::WorldListener>>& listeners,
              IChangePacket& packet, bool after) {
    std::vector<StandardObjectManager::WorldListener> copy; // a listener may remove itself
    {
        std::lock_guard lock(mutex);
        for (const auto& [id, l] : listeners)
            copy.push_back(l);
    }
    for (auto& l : copy)
        l(packet, after);
}
} // namespace

void StandardObjectManager::WorldAboutToChange(IChangePacket& packet) {
    if (m_impl->listenerCount.load(std::memory_order_relaxed))
        Announce(m_impl->listenerMutex, m_impl->listeners, packet, false);
}

void StandardObjectManager::WorldChanged(IChangePacket& packet) {
    if (m_impl->listenerCount.load(std::memory_order_relaxed))
        Announce(m_impl->listenerMutex, m_impl->listeners, packet, true);
}

} // namespace Lumo::Graphics
