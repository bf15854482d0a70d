#include <Scene/Attributes/TypeSpecificAttributeSet.h>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(TypeSpecificAttributeSet, AttributeSet)

TypeSpecificAttributeSet::TypeSpecificAttributeSet(std::uint32_t applyTypes, std::uint32_t appendTypes, int capacity)
    : AttributeSet(nullptr, appendTypes, capacity), m_apply(applyTypes) {}

TypeSpecificAttributeSet::TypeSpecificAttributeSet(const AttributeSet& source, std::uint32_t applyTypes)
    : AttributeSet(source), m_apply(applyTypes) {
    RenderNode(nullptr);
}

TypeSpecificAttributeSet::TypeSpecificAttributeSet(const TypeSpecificAttributeSet& other)
    : AttributeSet(other), NetObjectCountImpl<TypeSpecificAttributeSet>(other), m_apply(other.ApplyTypes()) {}

TypeSpecificAttributeSet* TypeSpecificAttributeSet::Make(std::uint32_t applyTypes, std::uint32_t appendTypes,
                                                         int capacity) {
    return new TypeSpecificAttributeSet(applyTypes, appendTypes, capacity);
}

TypeSpecificAttributeSet* TypeSpecificAttributeSet::MakeCopy(const AttributeSet& source, std::uint32_t applyTypes) {
    return new TypeSpecificAttributeSet(source, applyTypes);
}

TypeSpecificAttributeSet* TypeSpecificAttributeSet::Clone() const {
    return new TypeSpecificAttributeSet(*this);
}

bool TypeSpecificAttributeSet::AppliesTo(Lumo::Graphics::ARenderNode* node) {
    return (ClientTypeOf(node) & m_apply) != 0;
}

} // namespace Lumo::Scene
