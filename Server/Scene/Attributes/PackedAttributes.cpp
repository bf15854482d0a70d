#include <Scene/Attributes/PackedAttributes.h>

namespace Lumo::Scene {

void PackedAttributes::Set(Attribute* a) {
    std::uint32_t bit = 1u << a->Type();
    int index = std::popcount(m_mask & (bit - 1));
    if (!(m_mask & bit)) {
        if (m_list.Insert(index, a))
            m_mask |= bit;
    } else if (m_list[index] != a) {
        m_list.Set(index, a);
    }
}

void PackedAttributes::MergeByPriority(Attribute* a) {
    std::uint32_t bit = 1u << a->Type();
    int index = std::popcount(m_mask & (bit - 1));
    if (!(m_mask & bit)) {
        if (m_list.Insert(index, a))
            m_mask |= bit;
        return;
    }
    // No shortcut when held == a: a shared relative attribute met twice still composes.
    Attribute* held = m_list[index];
    Attribute* winner = held->Merge(a);
    if (winner != held)
        m_list.Set(index, winner);
}

bool PackedAttributes::Remove(EAttributeType type) {
    std::uint32_t bit = 1u << type;
    if (!(m_mask & bit))
        return false;
    m_mask &= ~bit; // before the release, which may run arbitrary destructors
    m_list.RemoveAt(std::popcount(m_mask & (bit - 1)));
    return true;
}

void PackedAttributes::Clear() {
    m_mask = 0;
    m_list.Clear();
}

} // namespace Lumo::Scene
