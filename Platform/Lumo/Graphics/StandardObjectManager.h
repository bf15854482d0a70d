#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassMacros.h>

#include <functional>
#include <memory>

namespace Lumo::Graphics {

class ARenderNode;
class IChangePacket;

/// Queues change packets from any thread and applies them on the graph's thread. A packet for
/// a node that already has one queued is merged into it, so each node is updated once per
/// apply, in the order its first packet arrived.
class StandardObjectManager : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    static StandardObjectManager* Make();
    ~StandardObjectManager() override;

    /// Takes the packet (one reference) into the queue, merging it with the node's queued one.
    void PostPacket(IChangePacket* packet);
    /// Applies every queued packet in order and empties the queue; answers how many were
    /// applied. Packets posted while applying wait for the next call.
    int ApplyChanges();
    /// Queued packets, in application order.
    int PendingCount() const;
    void ForEachPending(const std::function<void(IChangePacket&)>& visit) const;
    /// Drops every queued packet unapplied.
    void Clear();

    /// Hears each packet applied: once before (after false) and once after (after true).
    using WorldListener = std::function<void(IChangePacket& packet, bool after)>;
    int AddWorldListener(WorldListener listener);
    bool RemoveWorldListener(int id);

protected:
    /// Announce a packet about to change the world and one that has; by default to the
    /// world listeners. A manager whose packets never change the world overrides them.
    virtual void WorldAboutToChange(IChangePacket& packet);
    virtual void WorldChanged(IChangePacket& packet);

protected:
    StandardObjectManager();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Lumo::Graphics
