#pragma once
#include <Scene/Attributes/PackedAttributes.h>

#include <cstdint>

namespace Lumo::Graphics {
class ARenderNode;
}

namespace Lumo::Scene {

class AttributeSet;

/// A list holding one reference per attribute set.
using AttributeSetList = Lumo::Objects::_ArrayList<AttributeSet*, Lumo::Objects::RefCountedLifetime>;

/// How a pending set relates to a node met below its owner.
enum EMatch : int {
    eCarryOn = 1, ///< stays pending below this node
    eApplies = 2, ///< merged at this node
    eNoMatch = 3, ///< dropped
};

/// At most one attribute per kind, packed by kind (see PackedAttributes). Serves both as a node's stored set and as a
/// change record, whose remove mask lists the kinds to remove.
class AttributeSet : public Lumo::Objects::ARefCounted, public NetObjectCountImpl<AttributeSet> {
    LUMO_SCENE_CLASS(AttributeSet)
public:
    static AttributeSet* Make(Lumo::Graphics::ARenderNode* node, int capacity = 0);
    /// A plain AttributeSet copy (shares the attribute objects).
    AttributeSet* Clone() const;
    AttributeSet& operator=(const AttributeSet& other);

    virtual bool HasAttribute(EAttributeType type) const { return m_store.Has(type); }
    virtual const AttributeList& Attributes() const { return m_store.List(); }
    /// The stored attribute of the kind, or null; no reference is added.
    virtual Attribute* GetAttribute(EAttributeType type) const { return m_store.Find(type); }
    virtual void SetAttribute(Attribute* attribute);
    virtual void RemoveAttribute(EAttributeType type);
    virtual void RemoveAllAttributes();
    virtual bool IsExtended() const { return false; }
    /// Applies a change set: its attributes replace, then its removals remove. Without
    /// keepRemoves the remove mask is cleared afterwards.
    virtual void MergeChange(const AttributeSet& change, bool keepRemoves);
    virtual void MergeHas(const AttributeSet& change);
    virtual void MergeRemoved(const AttributeSet& change);
    /// Child sets; null for sets that cannot have children.
    virtual const AttributeSetList* Children() const { return nullptr; }
    virtual std::uint32_t GetRemoveAttributes() const { return m_remove; }
    virtual std::uint32_t GetHasAttributes() const { return m_store.Mask(); }
    virtual void AppendTypes(std::uint32_t types) { m_append = types; }
    virtual std::uint32_t AppendTypes() const { return m_append; }
    virtual void ApplyTypes(std::uint32_t) {}
    virtual std::uint32_t ApplyTypes() const { return 0; }
    virtual bool AppliesTo(Lumo::Graphics::ARenderNode* node);
    virtual EMatch MatchNode(Lumo::Graphics::ARenderNode* node);

    static bool HasAttribute(std::uint32_t mask, EAttributeType type) { return (mask >> type) & 1u; }
    bool HasRemoveAttribute(EAttributeType type) const { return (m_remove >> type) & 1u; }
    bool AllRemoved() const { return (m_remove & kAllRemovedBit) != 0; }
    void ClearRemoved() { m_remove = 0; }
    Lumo::Graphics::ARenderNode* RenderNode() const { return m_node; }
    void RenderNode(Lumo::Graphics::ARenderNode* node) { m_node = node; }
    int Count() const { return m_store.List().Count(); }

protected:
    AttributeSet(Lumo::Graphics::ARenderNode* node, std::uint32_t appendTypes, int capacity);
    AttributeSet(const AttributeSet& other);

    virtual void SetRemoveAttributes(std::uint32_t mask) { m_remove = mask; }

    /// Client type of the node's node data; 0 for a null node or one without node data.
    static std::uint32_t ClientTypeOf(Lumo::Graphics::ARenderNode* node);

private:
    Lumo::Graphics::ARenderNode* m_node;
    PackedAttributes m_store;
    std::uint32_t m_remove = 0;
    std::uint32_t m_append;
};

} // namespace Lumo::Scene
