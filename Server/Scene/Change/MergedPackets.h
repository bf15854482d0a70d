#pragma once
#include <Lumo/Graphics/IChangePacket.h>
#include <Lumo/Objects/AutoPtr.h>

#include <vector>

namespace Brio::Scene {

/// Packets of other classes merged into a packet for the same node (the object manager
/// keeps one packet per node): kept in arrival order, a packet of the same class as the last
/// one folded into it, and applied after the packet that carries them.
class MergedPackets {
public:
    void add(Lumo::Graphics::IChangePacket& packet);
    /// Applies every carried packet in order; false when one could not be applied.
    bool apply();
    /// Hands every carried packet over to other, in order.
    void moveInto(MergedPackets& other);
    int count() const { return static_cast<int>(m_packets.size()); }

private:
    std::vector<Lumo::Objects::AutoPtr<Lumo::Graphics::IChangePacket>> m_packets;
};

} // namespace Brio::Scene
