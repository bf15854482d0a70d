#include <Scene/Attributes/AttributeSetListEx.h>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(AttributeSetListEx, ARefCounted)

AttributeSetListEx::AttributeSetListEx(const AttributeSetListEx& other)
    : ARefCounted(other), NetObjectCountImpl<AttributeSetListEx>(other), m_list(other.m_list) {}

} // namespace Lumo::Scene
