#include <Scene/Attributes/Attribute.h>

#include <cmath>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(Attribute, ARefCounted)

Attribute::Attribute(bool winTies, unsigned char priority) : m_priority(priority), m_winTies(winTies) {}

Attribute* Attribute::Merge(Attribute* incoming) {
    if (!incoming)
        return this;
    int d = Priority() - incoming->Priority();
    if (d > 0 || (d == 0 && WinTies()))
        return this;
    return incoming;
}

bool Attribute::Equals(const Attribute* other) const {
    return other && other->Type() == Type() && other->Priority() == Priority() && other->WinTies() == WinTies();
}

Lumo::Objects::KString Attribute::ToString() const {
    return {};
}

bool Attribute::_Equalf1(float a, float b) {
    return std::fabs(a - b) < 0.000001f;
}

bool Attribute::_Equalf3(const Lumo::Objects::vec3<float>& a, const Lumo::Objects::vec3<float>& b) {
    return _Equalf1(a.x, b.x) && _Equalf1(a.y, b.y) && _Equalf1(a.z, b.z);
}

bool Attribute::_Equalf4(const Lumo::Objects::vec4<float>& a, const Lumo::Objects::vec4<float>& b) {
    return _Equalf1(a.x, b.x) && _Equalf1(a.y, b.y) && _Equalf1(a.z, b.z) && _Equalf1(a.w, b.w);
}

const wchar_t* AttributeTypeName(int type) {
    static const wchar_t* const names[kAttributeTypeCount] = {L"eVisibility",
                                                              L"eSelectability",
                                                              L"eDepthPriority",
                                                              L"eOpacity",
                                                              L"eTransform",
                                                              L"eEffect",
                                                              L"eLineStyle",
                                                              L"eBillBoard",
                                                              L"ePixelScale",
                                                              L"eCullMode",
                                                              L"eObjectID",
                                                              L"eSliceCap",
                                                              L"eColorHint",
                                                              L"eThread",
                                                              L"eGroup",
                                                              L"eTransparentLayer",
                                                              L"eOrderInTransparentGroup",
                                                              L"eDecalGeometry"};
    return type >= 0 && type < kAttributeTypeCount ? names[type] : nullptr;
}

} // namespace Lumo::Scene
