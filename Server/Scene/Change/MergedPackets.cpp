#include <Scene/Change/MergedPackets.h>

namespace Brio::Scene {

void MergedPackets::add(Lumo::Graphics::IChangePacket& packet) {
    if (!m_packets.empty() && m_packets.back()->ClassName() == packet.ClassName()) {
        Lumo::Graphics::IChangePacket* kept = m_packets.back()->MergeChanges(packet);
        if (kept != m_packets.back().get())
            m_packets.back() = kept;
        return;
    }
    m_packets.emplace_back(&packet);
}

void MergedPackets::moveInto(MergedPackets& other) {
    auto packets = std::move(m_packets);
    m_packets.clear();
    for (auto& packet : packets)
        other.add(*packet);
}

bool MergedPackets::apply() {
    bool all = true;
    for (auto& packet : m_packets)
        all = packet->UpdateNode() && all;
    m_packets.clear();
    return all;
}

} // namespace Brio::Scene
