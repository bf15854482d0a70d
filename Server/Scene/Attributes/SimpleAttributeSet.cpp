#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Attributes/SimpleAttributeSet.h>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(SimpleAttributeSet, ARefCounted)

SimpleAttributeSet::SimpleAttributeSet(int capacity) : m_store(capacity) {}

SimpleAttributeSet::SimpleAttributeSet(const SimpleAttributeSet& other)
    : ARefCounted(other), NetObjectCountImpl<SimpleAttributeSet>(other), m_store(other.m_store) {}

SimpleAttributeSet& SimpleAttributeSet::operator=(const SimpleAttributeSet& other) {
    if (this != &other)
        m_store = other.m_store;
    return *this;
}

SimpleAttributeSet* SimpleAttributeSet::Clone() const {
    return new SimpleAttributeSet(*this);
}

void SimpleAttributeSet::Merge(const AttributeList& list) {
    for (Attribute* a : list)
        if (a)
            m_store.MergeByPriority(a);
}

void SimpleAttributeSet::Merge(const AttributeSet& set) {
    Merge(set.Attributes());
}

} // namespace Lumo::Scene
