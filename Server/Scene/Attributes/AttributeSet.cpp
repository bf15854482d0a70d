#include <Lumo/Graphics/ARenderNode.h>
#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Nodes/ANodeData.h>

#include <bit>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(AttributeSet, ARefCounted)

AttributeSet::AttributeSet(Lumo::Graphics::ARenderNode* node, std::uint32_t appendTypes, int capacity)
    : m_node(node), m_store(capacity), m_append(appendTypes) {}

AttributeSet::AttributeSet(const AttributeSet& other)
    : ARefCounted(other), NetObjectCountImpl<AttributeSet>(other), m_node(other.m_node), m_store(other.Count()),
      m_remove(other.m_remove), m_append(other.m_append) {
    for (Attribute* a : other.Attributes())
        AttributeSet::SetAttribute(a);
}

AttributeSet* AttributeSet::Make(Lumo::Graphics::ARenderNode* node, int capacity) {
    return new AttributeSet(node, 0, capacity);
}

AttributeSet* AttributeSet::Clone() const {
    return new AttributeSet(*this);
}

AttributeSet& AttributeSet::operator=(const AttributeSet& other) {
    if (this != &other) {
        m_node = other.m_node;
        m_store = other.m_store;
        m_remove = other.m_remove;
        m_append = other.m_append;
    }
    return *this;
}

void AttributeSet::SetAttribute(Attribute* attribute) {
    Lumo::Graphics::ARenderNode::BumpGraphStamp(); // transforms and visibility move boxes
    if (!attribute)
        return;
    m_store.Set(attribute);
    m_remove &= ~(1u << attribute->Type());
}

void AttributeSet::RemoveAttribute(EAttributeType type) {
    Lumo::Graphics::ARenderNode::BumpGraphStamp(); // transforms and visibility move boxes
    m_store.Remove(type);
    m_remove |= 1u << type;
}

void AttributeSet::RemoveAllAttributes() {
    m_store.Clear();
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
    Lumo::Graphics::ARenderNode::BumpGraphStamp(); // transforms and visibility move boxes
    MergeHas(change);
    MergeRemoved(change);
    if (!keepRemoves)
        SetRemoveAttributes(0);
}

bool AttributeSet::AppliesTo(Lumo::Graphics::ARenderNode* node) {
    return node == m_node;
}

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
