#pragma once
#include <Scene/Attributes/AttributeSet.h>

namespace Lumo::Scene {

/// An attribute set that also owns child sets for nodes below its own: type-specific
/// children (by client type) and node-specific children (naming one render node).
class AttributeSetEx : public AttributeSet, public NetObjectCountImpl<AttributeSetEx> {
    LUMO_SCENE_CLASS(AttributeSetEx)
public:
    static AttributeSetEx* Make(Lumo::Graphics::ARenderNode* node, std::uint32_t appendTypes = 0, int capacity = 0);
    /// A copy sharing the child sets.
    AttributeSetEx* Clone() const;
    AttributeSetEx& operator=(const AttributeSetEx& other);

    void RemoveAllAttributes() override;
    bool IsExtended() const override { return true; }
    void MergeChange(const AttributeSet& change, bool keepRemoves) override;
    const AttributeSetList* Children() const override { return &m_children; }

    /// The type-specific child with exactly these masks; made when absent and create is set,
    /// unless a child with the same append types overlaps the apply types (then null).
    AttributeSet* GetAttributeSet(std::uint32_t applyTypes, std::uint32_t appendTypes, bool create);
    /// The child naming node with these append types; made when absent and create is set.
    AttributeSet* GetAttributeSet(Lumo::Graphics::ARenderNode* node, std::uint32_t appendTypes, bool create);
    /// Drops the child at index when it holds no attributes and no children.
    bool RemoveChildIfEmpty(int index);
    /// Merges a type-specific change whose client types overlap existing children only in
    /// part, splitting those children so each client type gets exactly one merged child.
    void MergeWildClientType(AttributeSet* change, bool keepRemoves);

    /// Moves every set with apply types in front of every set without, in one forward pass.
    static void QSort(AttributeSetList& list);

protected:
    AttributeSetEx(Lumo::Graphics::ARenderNode* node, std::uint32_t appendTypes, int capacity);
    AttributeSetEx(const AttributeSetEx& other);
    /// Appends a child, adding a reference.
    bool AddAttributeSet(AttributeSet* set);

private:
    AttributeSetList m_children;
};

} // namespace Lumo::Scene
