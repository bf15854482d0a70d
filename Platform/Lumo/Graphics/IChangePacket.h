#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassMacros.h>
#include <Lumo/Objects/Mutex.h>

#include <cstdint>

namespace Lumo::Graphics {

class ARenderNode;

/// A change to one render node, made on any thread and applied later on the thread that
/// owns the graph. Packets for the same node are merged before they are applied.
class IChangePacket : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    /// The node the packet changes; null for packets that change no node.
    virtual ARenderNode* Node() = 0;
    /// Applies the change; false when it could not be applied.
    virtual bool UpdateNode() = 0;
    /// Folds a later packet for the same node into this one; answers the packet to keep.
    virtual IChangePacket* MergeChanges(IChangePacket& later) = 0;
    /// Guards the packet while it is merged and applied.
    Lumo::Objects::Threads::Mutex& Mutex() { return m_mutex; }

    /// What the packet changes, as bits the graph's owners interpret.
    std::uint32_t ChangeType() const { return m_changeType; }
    void ChangeType(std::uint32_t type) { m_changeType = type; }
    void AddChangeType(std::uint32_t bits) { m_changeType |= bits; }

protected:
    IChangePacket() = default;

private:
    Lumo::Objects::Threads::Mutex m_mutex;
    std::uint32_t m_changeType = 0;
};

} // namespace Lumo::Graphics
