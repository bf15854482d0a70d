#pragma once
#include <Lumo/Devices/EffectInstance.h>
#include <Lumo/Objects/Vec.h>

namespace Lumo::Devices {

class AVirtualDevice;

/// An instance of "Stock_BasicMaterial": a lit material of emissive, ambient, diffuse and
/// specular colours with shininess and opacity.
class BasicMaterialEffectInstance : public EffectInstance {
    LUMO_DECLARE_CLASS()
public:
    /// Null unless the effect is (or extends) "Stock_BasicMaterial".
    static BasicMaterialEffectInstance* Make(IRenderEffect* effect);
    static BasicMaterialEffectInstance* Make(AVirtualDevice* device);
    BasicMaterialEffectInstance* Clone() const override;

    Lumo::Objects::vec3<float> Emissive() const;
    void Emissive(const Lumo::Objects::vec3<float>& c);
    Lumo::Objects::vec3<float> Ambient() const;
    void Ambient(const Lumo::Objects::vec3<float>& c);
    Lumo::Objects::vec3<float> Diffuse() const;
    void Diffuse(const Lumo::Objects::vec3<float>& c);
    Lumo::Objects::vec3<float> Specular() const;
    void Specular(const Lumo::Objects::vec3<float>& c);
    float Shininess() const;
    void Shininess(float s);
    float Opacity() const;
    void Opacity(float opacity);
    /// StockEffects::EColorSource of the diffuse colour.
    int ColorSource() const;
    void ColorSource(int source);
    float ReflectionBlend() const;
    void ReflectionBlend(float blend);

    /// Marked, or opacity below 1.
    bool IsTransparent(ADrawContext* dc = nullptr) const override;

protected:
    explicit BasicMaterialEffectInstance(IRenderEffect* effect) : EffectInstance(effect) {}
    BasicMaterialEffectInstance(const BasicMaterialEffectInstance& other) = default;
};

} // namespace Lumo::Devices
