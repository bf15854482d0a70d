#pragma once
#include <Scene/Attributes/Attribute.h>

#include <bit>
#include <cstdint>

namespace Lumo::Scene {

/// At most one attribute per kind, packed by kind: the attribute of kind k sits at index
/// popcount(mask below k), so lookup, insertion and removal never search.
class PackedAttributes {
public:
    explicit PackedAttributes(int capacity = 0) : m_list(capacity) {}

    Attribute* Find(EAttributeType type) const {
        std::uint32_t bit = 1u << type;
        return (m_mask & bit) ? m_list[std::popcount(m_mask & (bit - 1))] : nullptr;
    }
    bool Has(EAttributeType type) const { return (m_mask >> type) & 1u; }
    std::uint32_t Mask() const { return m_mask; }
    const AttributeList& List() const { return m_list; }

    /// Stores a in its kind's slot, replacing another object of that kind.
    void Set(Attribute* a);
    /// Lets the stored attribute of a's kind decide by its merge rule, or stores a.
    void MergeByPriority(Attribute* a);
    /// Drops and releases the kind; false when it was absent.
    bool Remove(EAttributeType type);
    void Clear();

private:
    AttributeList m_list;
    std::uint32_t m_mask = 0;
};

} // namespace Lumo::Scene
