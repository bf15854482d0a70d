#include <Scene/Attributes/PixelScaleAttribute.h>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(PixelScaleAttribute, Attribute)

PixelScaleAttribute* PixelScaleAttribute::Make(double screenSpaceSize, double modelSpaceSize,
                                               const Lumo::Objects::vec3<float>& scaleCenter, bool winTies,
                                               unsigned char priority) {
    return new PixelScaleAttribute(screenSpaceSize, modelSpaceSize, scaleCenter, winTies, priority);
}

bool PixelScaleAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    if (!Attribute::Equals(other))
        return false;
    auto* o = static_cast<const PixelScaleAttribute*>(other);
    return o->m_modelSpaceSize == m_modelSpaceSize && o->m_screenSpaceSize == m_screenSpaceSize &&
           _Equalf3(o->m_scaleCenter, m_scaleCenter);
}

Lumo::Objects::KString PixelScaleAttribute::ToString() const {
    Lumo::Objects::KString s;
    s += L"Screen Space Size: ";
    s.Append(m_screenSpaceSize);
    s += L"\nModel Space Size: ";
    s.Append(m_modelSpaceSize);
    s += L"\nScaleCenter: ";
    s.Append(m_scaleCenter.x);
    s += L" ";
    s.Append(m_scaleCenter.y);
    s += L" ";
    s.Append(m_scaleCenter.z);
    return s;
}

} // namespace Lumo::Scene
