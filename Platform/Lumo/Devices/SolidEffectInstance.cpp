#include <Lumo/Devices/AVirtualDevice.h>
#include <Lumo/Devices/DeviceCaches.h>
#include <Lumo/Devices/IRenderEffect.h>
#include <Lumo/Devices/SolidEffectInstance.h>
#include <Lumo/Devices/StockEffects.h>
#include <Lumo/Devices/TextureInstance.h>

namespace Lumo::Devices {

using Lumo::Objects::mat4;
using Lumo::Objects::vec3;
using Lumo::Objects::vec4;
using S = StockEffects;

LUMO_DEFINE_CLASS(SolidEffectInstance, EffectInstance)

SolidEffectInstance* SolidEffectInstance::Make(IRenderEffect* effect) {
    if (!StockEffects::Extends(effect, StockEffects::SolidName()))
        return nullptr;
    return new SolidEffectInstance(effect);
}

SolidEffectInstance* SolidEffectInstance::Make(AVirtualDevice* device, bool textured) {
    if (!device)
        return nullptr;
    return Make(device->Caches()->Effects()->Acquire(textured ? S::SolidTName() : S::SolidName()));
}

SolidEffectInstance* SolidEffectInstance::Clone() const {
    return new SolidEffectInstance(*this);
}

vec4<float> SolidEffectInstance::Color() const {
    return Values().GetFloat4(S::eSolidColor, vec4<float>(1, 1, 1, 1));
}
void SolidEffectInstance::Color(const vec4<float>& rgba) {
    Values().SetFloat4(S::eSolidColor, rgba);
}
void SolidEffectInstance::Color(const vec3<float>& rgb) {
    Color(vec4<float>(rgb, 1.0f));
}
float SolidEffectInstance::Opacity() const {
    return Values().GetFloat(S::eSolidOpacity, 1.0f);
}
void SolidEffectInstance::Opacity(float opacity) {
    Values().SetFloat(S::eSolidOpacity, opacity);
}
int SolidEffectInstance::ColorSource() const {
    return Values().GetInt(S::eSolidColorSource);
}
void SolidEffectInstance::ColorSource(int source) {
    Values().SetInt(S::eSolidColorSource, source);
}
bool SolidEffectInstance::VertexColorAlphaFlag() const {
    return Values().GetBool(S::eSolidVertexColorAlpha);
}
void SolidEffectInstance::VertexColorAlphaFlag(bool on) {
    Values().SetBool(S::eSolidVertexColorAlpha, on);
}
bool SolidEffectInstance::Lighting() const {
    return Values().GetBool(S::eSolidLighting, true);
}
void SolidEffectInstance::Lighting(bool on) {
    Values().SetBool(S::eSolidLighting, on);
}

TextureInstance* SolidEffectInstance::Texture() const {
    return Values().GetTexture(S::eSolidTexture);
}
void SolidEffectInstance::Texture(TextureInstance* texture) {
    Values().SetTexture(S::eSolidTexture, texture);
}
bool SolidEffectInstance::TextureAlpha() const {
    return Values().GetBool(S::eSolidTextureAlpha);
}
void SolidEffectInstance::TextureAlpha(bool on) {
    Values().SetBool(S::eSolidTextureAlpha, on);
}
int SolidEffectInstance::BlendMode() const {
    return Values().GetInt(S::eSolidBlendMode);
}
void SolidEffectInstance::BlendMode(int mode) {
    Values().SetInt(S::eSolidBlendMode, mode);
}
mat4<float> SolidEffectInstance::TextureTransform() const {
    return Values().GetMatrix(S::eSolidTextureTransform);
}
void SolidEffectInstance::TextureTransform(const mat4<float>& m) {
    Values().SetMatrix(S::eSolidTextureTransform, m);
}

bool SolidEffectInstance::IsTransparent(ADrawContext* dc) const {
    if (EffectInstance::IsTransparent(dc) || Color().w * Opacity() < 1.0f)
        return true;
    if (TextureAlpha() && Texture())
        return true;
    return ColorSource() == S::eColorVertex && VertexColorAlphaFlag();
}

} // namespace Lumo::Devices
