#pragma once
#include <Scene/Attributes/EffectAttribute.h>

namespace Lumo::Scene {

/// A solid colour (red, green, blue, opacity). Equal colours share one instance process-wide.
class ColorEffectAttribute : public EffectAttribute, public NetObjectCountImpl<ColorEffectAttribute> {
    LUMO_SCENE_CLASS(ColorEffectAttribute)
public:
    static ColorEffectAttribute* Make(const Lumo::Objects::vec4<float>& color, bool winTies = false,
                                      unsigned char priority = 0);
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::KString ToString() const override;
    const Lumo::Objects::vec4<float>& Color() const { return m_color; }
    /// The effect instance cache key of a colour.
    static std::wstring CacheKey(const Lumo::Objects::vec4<float>& color);

protected:
    ColorEffectAttribute(const Lumo::Objects::vec4<float>& color, bool winTies, unsigned char priority)
        : EffectAttribute(winTies, priority), m_color(color) {}
    Lumo::Devices::EffectInstance* CreateEffectInstance(Lumo::Devices::ADrawContext& dc, bool shared) override;
    void Color(const Lumo::Objects::vec4<float>& color) { m_color = color; }
    /// The four components separated by blanks.
    Lumo::Objects::KString ColorText() const;

private:
    Lumo::Objects::vec4<float> m_color;
};

} // namespace Lumo::Scene
