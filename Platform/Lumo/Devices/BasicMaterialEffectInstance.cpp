#include <Lumo/Devices/AVirtualDevice.h>
#include <Lumo/Devices/BasicMaterialEffectInstance.h>
#include <Lumo/Devices/DeviceCaches.h>
#include <Lumo/Devices/IRenderEffect.h>
#include <Lumo/Devices/StockEffects.h>

namespace Lumo::Devices {

using Lumo::Objects::vec3;
using S = StockEffects;

LUMO_DEFINE_CLASS(BasicMaterialEffectInstance, EffectInstance)

BasicMaterialEffectInstance* BasicMaterialEffectInstance::Make(IRenderEffect* effect) {
    if (!StockEffects::Extends(effect, StockEffects::BasicMaterialName()))
        return nullptr;
    return new BasicMaterialEffectInstance(effect);
}

BasicMaterialEffectInstance* BasicMaterialEffectInstance::Make(AVirtualDevice* device) {
    return device ? Make(device->Caches()->Effects()->Acquire(S::BasicMaterialName())) : nullptr;
}

BasicMaterialEffectInstance* BasicMaterialEffectInstance::Clone() const {
    return new BasicMaterialEffectInstance(*this);
}

vec3<float> BasicMaterialEffectInstance::Emissive() const {
    return Values().GetFloat3(S::eMaterialEmissive);
}
void BasicMaterialEffectInstance::Emissive(const vec3<float>& c) {
    Values().SetFloat3(S::eMaterialEmissive, c);
}
vec3<float> BasicMaterialEffectInstance::Ambient() const {
    return Values().GetFloat3(S::eMaterialAmbient);
}
void BasicMaterialEffectInstance::Ambient(const vec3<float>& c) {
    Values().SetFloat3(S::eMaterialAmbient, c);
}
vec3<float> BasicMaterialEffectInstance::Diffuse() const {
    return Values().GetFloat3(S::eMaterialDiffuse);
}
void BasicMaterialEffectInstance::Diffuse(const vec3<float>& c) {
    Values().SetFloat3(S::eMaterialDiffuse, c);
}
vec3<float> BasicMaterialEffectInstance::Specular() const {
    return Values().GetFloat3(S::eMaterialSpecular);
}
void BasicMaterialEffectInstance::Specular(const vec3<float>& c) {
    Values().SetFloat3(S::eMaterialSpecular, c);
}
float BasicMaterialEffectInstance::Shininess() const {
    return Values().GetFloat(S::eMaterialShininess);
}
void BasicMaterialEffectInstance::Shininess(float s) {
    Values().SetFloat(S::eMaterialShininess, s);
}
float BasicMaterialEffectInstance::Opacity() const {
    return Values().GetFloat(S::eMaterialOpacity, 1.0f);
}
void BasicMaterialEffectInstance::Opacity(float opacity) {
    Values().SetFloat(S::eMaterialOpacity, opacity);
}
int BasicMaterialEffectInstance::ColorSource() const {
    return Values().GetInt(S::eMaterialColorSource);
}
void BasicMaterialEffectInstance::ColorSource(int source) {
    Values().SetInt(S::eMaterialColorSource, source);
}
float BasicMaterialEffectInstance::ReflectionBlend() const {
    return Values().GetFloat(S::eMaterialReflectionBlend);
}
void BasicMaterialEffectInstance::ReflectionBlend(float blend) {
    Values().SetFloat(S::eMaterialReflectionBlend, blend);
}

bool BasicMaterialEffectInstance::IsTransparent(ADrawContext* dc) const {
    return EffectInstance::IsTransparent(dc) || Opacity() < 1.0f;
}

} // namespace Lumo::Devices
