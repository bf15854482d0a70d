#pragma once
#include <Lumo/Devices/EffectInstance.h>
#include <Lumo/Objects/Mat4.h>
#include <Lumo/Objects/Vec.h>

namespace Lumo::Devices {

class AVirtualDevice;
class TextureInstance;

/// An instance of "Stock_Solid" or "Stock_SolidT": a colour (uniform, textured or per
/// vertex) with an opacity. The accessors read and write its values at the stock indices;
/// the texture settings do nothing on a plain "Stock_Solid" instance.
class SolidEffectInstance : public EffectInstance {
    LUMO_DECLARE_CLASS()
public:
    /// Null unless the effect is (or extends) "Stock_Solid".
    static SolidEffectInstance* Make(IRenderEffect* effect);
    /// An instance of the device's "Stock_Solid", or "Stock_SolidT" when textured.
    static SolidEffectInstance* Make(AVirtualDevice* device, bool textured = false);
    SolidEffectInstance* Clone() const override;

    /// Red, green, blue, alpha; the drawn alpha is alpha times opacity.
    Lumo::Objects::vec4<float> Color() const;
    void Color(const Lumo::Objects::vec4<float>& rgba);
    /// Red, green, blue with alpha 1.
    void Color(const Lumo::Objects::vec3<float>& rgb);
    float Opacity() const;
    void Opacity(float opacity);
    /// StockEffects::EColorSource.
    int ColorSource() const;
    void ColorSource(int source);
    bool VertexColorAlphaFlag() const;
    void VertexColorAlphaFlag(bool on);
    bool Lighting() const;
    void Lighting(bool on);

    /// Not counted for the caller.
    TextureInstance* Texture() const;
    void Texture(TextureInstance* texture);
    bool TextureAlpha() const;
    void TextureAlpha(bool on);
    /// StockEffects::ETextureBlend.
    int BlendMode() const;
    void BlendMode(int mode);
    Lumo::Objects::mat4<float> TextureTransform() const;
    void TextureTransform(const Lumo::Objects::mat4<float>& m);

    /// Marked, or drawn alpha below 1, or taking alpha from a texture or from the vertices.
    bool IsTransparent(ADrawContext* dc = nullptr) const override;

protected:
    explicit SolidEffectInstance(IRenderEffect* effect) : EffectInstance(effect) {}
    SolidEffectInstance(const SolidEffectInstance& other) = default;
};

} // namespace Lumo::Devices
