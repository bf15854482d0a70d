#pragma once
#include <Scene/Attributes/AttributeSet.h>

namespace Lumo::Scene {

/// A set that applies to every node below its owner whose client type shares a bit with
/// its apply types, rather than to one node.
class TypeSpecificAttributeSet : public AttributeSet, public NetObjectCountImpl<TypeSpecificAttributeSet> {
    LUMO_SCENE_CLASS(TypeSpecificAttributeSet)
public:
    static TypeSpecificAttributeSet* Make(std::uint32_t applyTypes, std::uint32_t appendTypes, int capacity = 0);
    /// A copy of any set (attributes, remove mask, append types) that applies to applyTypes.
    static TypeSpecificAttributeSet* MakeCopy(const AttributeSet& source, std::uint32_t applyTypes);
    TypeSpecificAttributeSet* Clone() const;

    void ApplyTypes(std::uint32_t types) override { m_apply = types; }
    std::uint32_t ApplyTypes() const override { return m_apply; }
    bool AppliesTo(Lumo::Graphics::ARenderNode* node) override;

protected:
    TypeSpecificAttributeSet(std::uint32_t applyTypes, std::uint32_t appendTypes, int capacity);
    TypeSpecificAttributeSet(const AttributeSet& source, std::uint32_t applyTypes);
    TypeSpecificAttributeSet(const TypeSpecificAttributeSet& other);

private:
    std::uint32_t m_apply;
};

} // namespace Lumo::Scene
