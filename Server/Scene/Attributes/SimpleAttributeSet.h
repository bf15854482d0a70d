#pragma once
#include <Scene/Attributes/PackedAttributes.h>

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

    bool HasAttribute(EAttributeType type) const { return m_store.Has(type); }
    Attribute* GetAttribute(EAttributeType type) const { return m_store.Find(type); }
    void SetAttribute(Attribute* attribute) {
        if (attribute)
            m_store.Set(attribute);
    }
    void RemoveAttribute(EAttributeType type) { m_store.Remove(type); }
    void Clear() { m_store.Clear(); }
    const AttributeList& Attributes() const { return m_store.List(); }
    std::uint32_t GetHasAttributes() const { return m_store.Mask(); }
    /// Merges each attribute by the priority rule against the stored one of its kind.
    void Merge(const AttributeList& list);
    void Merge(const AttributeSet& set);

private:
    PackedAttributes m_store;
};

} // namespace Lumo::Scene
