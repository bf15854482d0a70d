#pragma once
#include <Scene/Attributes/Attribute.h>

#include <bit>
#include <cstdint>

namespace Lumo::Scene {

class AttributeSet;

/// Bare packed attribute storage with no node and no masks; the accumulator that merges
/// attributes down a path by priority.
class SimpleAttributeSet : public Lumo::Objects::ARefCounted, public NetObjectCountImpl<SimpleAttributeSet> {
    LUMO_SCENE_CLASS(SimpleAttributeSet)
public:
    explicit SimpleAttributeSet(int capacity = 0);
    SimpleAttributeSet(const SimpleAttributeSet& other);
    SimpleAttributeSet& operator=(const SimpleAttributeSet& other);
    SimpleAttributeSet* Clone() const;

    bool HasAttribute(EAttributeType type) const { return (m_has >> type) & 1u; }
    Attribute* GetAttribute(EAttributeType type) const {
        std::uint32_t bit = 1u << type;
        return (m_has & bit) ? m_attributes[std::popcount(m_has & (bit - 1))] : nullptr;
    }
    void SetAttribute(Attribute* attribute);
    void RemoveAttribute(EAttributeType type);
    void Clear();
    const AttributeList& Attributes() const { return m_attributes; }
    std::uint32_t GetHasAttributes() const { return m_has; }
    /// Merges each attribute by the priority rule against the stored one of its kind.
    void Merge(const AttributeList& list);
    void Merge(const AttributeSet& set);

private:
    AttributeList m_attributes;
    std::uint32_t m_has = 0;
};

} // namespace Lumo::Scene
