#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Attributes/SimpleAttributeSet.h>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(SimpleAttributeSet, ARefCounted)

SimpleAttributeSet::SimpleAttributeSet(int capacity) : m_attributes(capacity) {}

SimpleAttributeSet::SimpleAttributeSet(const SimpleAttributeSet& other)
    : ARefCounted(other), NetObjectCountImpl<SimpleAttributeSet>(other), m_attributes(other.m_attributes),
      m_has(other.m_has) {}

SimpleAttributeSet& SimpleAttributeSet::operator=(const SimpleAttributeSet& other) {
    if (this != &other) {
        m_attributes = other.m_attributes;
        m_has = other.m_has;
    }
    return *this;
}

SimpleAttributeSet* SimpleAttributeSet::Clone() const { return new SimpleAttributeSet(*this); }

void SimpleAttributeSet::SetAttribute(Attribute* attribute) {
    if (!attribute)
        return;
    std::uint32_t bit = 1u << attribute->Type();
    int index = std::popcount(m_has & (bit - 1));
    if (!(m_has & bit)) {
        if (m_attributes.Insert(index, attribute))
            m_has |= bit;
    } else if (m_attributes[index] != attribute) {
        m_attributes.Set(index, attribute);
    }
}

void SimpleAttributeSet::RemoveAttribute(EAttributeType type) {
    std::uint32_t bit = 1u << type;
    if (m_has & bit) {
        m_has &= ~bit;
        m_attributes.RemoveAt(std::popcount(m_has & (bit - 1)));
    }
}

void SimpleAttributeSet::Clear() {
    m_has = 0;
    m_attributes.Clear();
}

void SimpleAttributeSet::Merge(const AttributeList& list) {
    for (Attribute* a : list) {
        if (!a)
            continue;
        std::uint32_t bit = 1u << a->Type();
        int index = std::popcount(m_has & (bit - 1));
        if (m_has & bit) {
            // No shortcut when held == a: a shared relative attribute met twice composes.
            Attribute* held = m_attributes[index];
            Attribute* winner = held->Merge(a);
            if (winner != held)
                m_attributes.Set(index, winner);
        } else if (m_attributes.Insert(index, a)) {
            m_has |= bit;
        }
    }
}

void SimpleAttributeSet::Merge(const AttributeSet& set) { Merge(set.Attributes()); }

} // namespace Lumo::Scene
