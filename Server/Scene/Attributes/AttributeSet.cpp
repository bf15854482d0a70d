#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Nodes/ANodeData.h>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(AttributeSet, ARefCounted)

AttributeSet::AttributeSet(Lumo::Graphics::ARenderNode* node, std::uint32_t appendTypes, int capacity)
    : m_node(node), m_attributes(capacity), m_append(appendTypes) {}

AttributeSet::AttributeSet(const AttributeSet& other)
    : ARefCounted(other), NetObjectCountImpl<AttributeSet>(other), m_node(other.m_node),
      m_attributes(other.m_attributes.Count()), m_remove(other.m_remove), m_append(other.m_append) {
    for (Attribute* a : other.m_attributes)
        AttributeSet::SetAttribute(a);
}

AttributeSet* AttributeSet::Make(Lumo::Graphics::ARenderNode* node, int capacity) {
    return new AttributeSet(node, 0, capacity);
}

AttributeSet* AttributeSet::Clone() const { return new AttributeSet(*this); }

AttributeSet& AttributeSet::operator=(const AttributeSet& other) {
    if (this != &other) {
        m_node = other.m_node;
        m_attributes = other.m_attributes;
        m_has = other.m_has;
        m_remove = other.m_remove;
        m_append = other.m_append;
    }
    return *this;
}

void AttributeSet::SetAttribute(Attribute* attribute) {
    if (!attribute)
        return;
    EAttributeType type = attribute->Type();
    std::uint32_t bit = 1u << type;
    int index = std::popcount(m_has & (bit - 1));
    if (!(m_has & bit)) {
        if (m_attributes.Insert(index, attribute))
            m_has |= bit;
    } else if (m_attributes[index] != attribute) {
        m_attributes.Set(index, attribute);
    }
    m_remove &= ~bit;
}

void AttributeSet::RemoveAttribute(EAttributeType type) {
    std::uint32_t bit = 1u << type;
    if (m_has & bit) {
        m_has &= ~bit; // before the release, which may run arbitrary destructors
        m_attributes.RemoveAt(std::popcount(m_has & (bit - 1)));
    }
    m_remove |= bit;
}

void AttributeSet::RemoveAllAttributes() {
    m_has = 0;
    m_attributes.Clear();
    m_remove = kRemoveAllMask;
}

void AttributeSet::MergeHas(const AttributeSet& change) {
    for (Attribute* a : change.Attributes())
        SetAttribute(a);
}

void AttributeSet::MergeRemoved(const AttributeSet& change) {
    std::uint32_t r = change.GetRemoveAttributes();
    if (!r)
        return;
    if (r & kAllRemovedBit) {
        RemoveAllAttributes();
        return;
    }
    while (r) {
        int k = std::countr_zero(r);
        r &= r - 1;
        RemoveAttribute(static_cast<EAttributeType>(k));
    }
}

void AttributeSet::MergeChange(const AttributeSet& change, bool keepRemoves) {
    MergeHas(change);
    MergeRemoved(change);
    if (!keepRemoves)
        SetRemoveAttributes(0);
}

bool AttributeSet::AppliesTo(Lumo::Graphics::ARenderNode* node) { return node == m_node; }

EMatch AttributeSet::MatchNode(Lumo::Graphics::ARenderNode* node) {
    if (AppliesTo(node))
        return eApplies;
    std::uint32_t append = AppendTypes();
    if (append == 0)
        return eNoMatch;
    return (ClientTypeOf(node) & append) ? eCarryOn : eNoMatch;
}

std::uint32_t AttributeSet::ClientTypeOf(Lumo::Graphics::ARenderNode* node) {
    ANodeData* data = ANodeData::GetNodeData(node);
    return data ? data->clientType() : 0;
}

} // namespace Lumo::Scene
