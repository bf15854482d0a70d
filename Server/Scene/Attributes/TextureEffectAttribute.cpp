#include <Scene/Attributes/TextureEffectAttribute.h>

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/AVirtualDevice.h>
#include <Lumo/Devices/DeviceCaches.h>
#include <Lumo/Devices/SolidEffectInstance.h>
#include <Lumo/Devices/StockEffects.h>

namespace Lumo::Scene {

using Lumo::Devices::SolidEffectInstance;
using Lumo::Objects::UString;
using Lumo::Objects::vec4;

LUMO_DEFINE_CLASS(TextureEffectAttribute, ColorEffectAttribute)

TextureEffectAttribute* TextureEffectAttribute::Make(const UString* path, const vec4<float>& color, bool winTies,
                                                     unsigned char priority) {
    return new TextureEffectAttribute(path, color, winTies, priority);
}

Lumo::Devices::EffectInstance* TextureEffectAttribute::CreateEffectInstance(Lumo::Devices::ADrawContext& dc, bool) {
    Lumo::Devices::AVirtualDevice* device = Device(dc);
    SolidEffectInstance* solid = SolidEffectInstance::Make(device, true);
    if (!solid)
        return nullptr;
    if (m_path)
        solid->Texture(device->Caches()->Textures()->Acquire(const_cast<UString*>(m_path)));
    solid->TextureAlpha(true);
    solid->BlendMode(Lumo::Devices::StockEffects::eTextureModulate);
    solid->Color(Color().xyz());
    solid->Opacity(Color().w);
    return solid;
}

bool TextureEffectAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    return ColorEffectAttribute::Equals(other) &&
           _EqualUString(static_cast<const TextureEffectAttribute*>(other)->m_path, m_path);
}

Lumo::Objects::KString TextureEffectAttribute::ToString() const {
    Lumo::Objects::KString s(L"Path: ");
    if (m_path)
        s.Append(m_path);
    else
        s += L"(null)";
    s += L"\nColor: ";
    s += ColorText();
    return s;
}

} // namespace Lumo::Scene
