#include <Scene/Attributes/ColorEffectAttribute.h>

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/SolidEffectInstance.h>

#include <boost/format.hpp>

namespace Lumo::Scene {

using Lumo::Devices::SolidEffectInstance;
using Lumo::Objects::vec4;

LUMO_DEFINE_CLASS(ColorEffectAttribute, EffectAttribute)

ColorEffectAttribute* ColorEffectAttribute::Make(const vec4<float>& color, bool winTies, unsigned char priority) {
    return new ColorEffectAttribute(color, winTies, priority);
}

std::wstring ColorEffectAttribute::CacheKey(const vec4<float>& c) {
    return (boost::wformat(L"ColorEffect(%1%,%2%,%3%,%4%)") % c.x % c.y % c.z % c.w).str();
}

Lumo::Devices::EffectInstance* ColorEffectAttribute::CreateEffectInstance(Lumo::Devices::ADrawContext& dc,
                                                                          bool shared) {
    if (shared)
        if (Lumo::Devices::EffectInstance* found = ShareInstance(CacheKey(m_color), nullptr))
            return found;
    SolidEffectInstance* solid = SolidEffectInstance::Make(Device(dc), false);
    if (!solid)
        return nullptr;
    solid->Color(m_color.xyz());
    solid->Opacity(m_color.w);
    return shared ? ShareInstance(CacheKey(m_color), solid) : solid;
}

bool ColorEffectAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    if (!SameEffectKind(other))
        return false;
    return _Equalf4(static_cast<const ColorEffectAttribute*>(other)->m_color, m_color);
}

Lumo::Objects::KString ColorEffectAttribute::ColorText() const {
    Lumo::Objects::KString s;
    for (int i = 0; i < 4; ++i) {
        if (i)
            s += L" ";
        s.Append(m_color[i]);
    }
    return s;
}

Lumo::Objects::KString ColorEffectAttribute::ToString() const {
    return ColorText();
}

} // namespace Lumo::Scene
