#include <Scene/Attributes/AmbraEffectAttribute.h>

#include <Lumo/Devices/ADrawContext.h>
#include <Scene/Attributes/AmbraTranslator.h>

#include <boost/format.hpp>

namespace Lumo::Scene {

using Lumo::Devices::AVirtualDevice;
using Lumo::Objects::UString;
using Lumo::Objects::vec3;
using Lumo::Objects::vec4;

LUMO_DEFINE_CLASS(AmbraEffectAttribute, EffectAttribute)

AmbraEffectAttribute* AmbraEffectAttribute::Make(UString* identifier, bool useCustomizedColor,
                                                 const vec4<float>& customizedColor, float scale, float rotation,
                                                 bool winTies, unsigned char priority) {
    return new AmbraEffectAttribute(identifier, useCustomizedColor, customizedColor, scale, rotation, winTies,
                                    priority);
}

std::wstring AmbraEffectAttribute::CacheKey(const UString* identifier, bool useCustomizedColor, const vec4<float>& c,
                                            float scale, float rotation) {
    std::wstring suffix;
    if (useCustomizedColor)
        suffix += (boost::wformat(L"(%1%,%2%,%3%,%4%)") % c.x % c.y % c.z % c.w).str();
    if (scale != 1.0f)
        suffix += (boost::wformat(L"x%1%") % scale).str();
    if (rotation != 0.0f)
        suffix += (boost::wformat(L"@%1%") % rotation).str();
    return (boost::wformat(L"AmbraEffect(%s,%s)") % (identifier ? identifier->Text() : std::wstring()) % suffix).str();
}

Lumo::Devices::EffectInstance* AmbraEffectAttribute::SharedMaterialEI(AVirtualDevice* device, UString* identifier,
                                                                      bool useCustomizedColor, const vec4<float>& color,
                                                                      float scale, float rotation) {
    const std::wstring key = CacheKey(identifier, useCustomizedColor, color, scale, rotation);
    if (Lumo::Devices::EffectInstance* found = ShareInstance(key, nullptr))
        return found;
    if (!device)
        return nullptr;
    AmbraTranslator* translator = AmbraTranslator::GetAmbraTranslator();
    Lumo::Devices::EffectInstance* made =
        identifier ? translator->GetMaterialEI(device, *identifier, useCustomizedColor, color, rotation, scale)
                   : nullptr;
    if (!made)
        made = translator->GetDefaultFrontFaceEI(device, useCustomizedColor, color);
    return ShareInstance(key, made);
}

Lumo::Devices::EffectInstance* AmbraEffectAttribute::CreateEffectInstance(Lumo::Devices::ADrawContext& dc,
                                                                          bool shared) {
    if (shared)
        return SharedMaterialEI(Device(dc), m_identifier, m_useCustomizedColor, m_customizedColor, m_scale, m_rotation);
    AVirtualDevice* device = Device(dc);
    if (!device)
        return nullptr;
    AmbraTranslator* translator = AmbraTranslator::GetAmbraTranslator();
    Lumo::Devices::EffectInstance* made =
        m_identifier
            ? translator->GetMaterialEI(device, *m_identifier, m_useCustomizedColor, m_customizedColor, 0.0f, 1.0f)
            : nullptr;
    return made ? made : translator->GetDefaultFrontFaceEI(device, m_useCustomizedColor, m_customizedColor);
}

Lumo::Devices::EffectInstance* AmbraEffectAttribute::ColorCustomizedEI(Lumo::Devices::ADrawContext& dc,
                                                                       const vec3<float>& color) {
    return SharedMaterialEI(Device(dc), m_identifier, true, vec4<float>(color, 1.0f), 1.0f, 0.0f);
}

bool AmbraEffectAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    if (!SameEffectKind(other))
        return false;
    auto* o = static_cast<const AmbraEffectAttribute*>(other);
    if (o->m_useCustomizedColor != m_useCustomizedColor)
        return false;
    if (m_useCustomizedColor && !_Equalf4(o->m_customizedColor, m_customizedColor))
        return false;
    // Scale and rotation select a different shared instance, so they count too.
    return _EqualUString(o->m_identifier, m_identifier) && _Equalf1(o->m_scale, m_scale) &&
           _Equalf1(o->m_rotation, m_rotation);
}

Lumo::Objects::KString AmbraEffectAttribute::ToString() const {
    Lumo::Objects::KString s;
    if (m_identifier)
        s.Append(m_identifier);
    return s;
}

} // namespace Lumo::Scene
