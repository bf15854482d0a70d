#pragma once
#include <Scene/Attributes/EffectAttribute.h>

namespace Lumo::Scene {

/// A material of the host's material library by identifier, optionally in a customized
/// colour, with the scale and rotation of its pattern. Instances are shared process-wide.
/// An identifier the library does not hold shows the library's default front face.
class AmbraEffectAttribute : public EffectAttribute, public NetObjectCountImpl<AmbraEffectAttribute> {
    LUMO_SCENE_CLASS(AmbraEffectAttribute)
public:
    static AmbraEffectAttribute* Make(Lumo::Objects::UString* identifier, bool useCustomizedColor,
                                      const Lumo::Objects::vec4<float>& customizedColor, float scale, float rotation,
                                      bool winTies = false, unsigned char priority = 0);
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::KString ToString() const override;

    Lumo::Objects::UString* Identifier() const { return m_identifier; }
    bool GetUseCustomizedColor() const { return m_useCustomizedColor; }
    const Lumo::Objects::vec4<float>& GetCustomizedColor() const { return m_customizedColor; }
    float Scale() const { return m_scale; }
    float Rotation() const { return m_rotation; }

    /// The shared instance of this material in colour (red, green, blue, 1), at scale 1 and
    /// rotation 0; not counted for the caller.
    Lumo::Devices::EffectInstance* ColorCustomizedEI(Lumo::Devices::ADrawContext& dc,
                                                     const Lumo::Objects::vec3<float>& color);

    /// "AmbraEffect(<identifier>,<suffix>)"; the suffix names only what differs from the plain material.
    static std::wstring CacheKey(const Lumo::Objects::UString* identifier, bool useCustomizedColor,
                                 const Lumo::Objects::vec4<float>& color, float scale, float rotation);
    /// The shared instance of a library material (its default front face when unknown);
    /// not counted for the caller.
    static Lumo::Devices::EffectInstance* SharedMaterialEI(Lumo::Devices::AVirtualDevice* device,
                                                           Lumo::Objects::UString* identifier, bool useCustomizedColor,
                                                           const Lumo::Objects::vec4<float>& color, float scale,
                                                           float rotation);

protected:
    AmbraEffectAttribute(Lumo::Objects::UString* identifier, bool useCustomizedColor,
                         const Lumo::Objects::vec4<float>& customizedColor, float scale, float rotation, bool winTies,
                         unsigned char priority)
        : EffectAttribute(winTies, priority), m_identifier(identifier), m_useCustomizedColor(useCustomizedColor),
          m_customizedColor(customizedColor), m_scale(scale), m_rotation(rotation) {}
    Lumo::Devices::EffectInstance* CreateEffectInstance(Lumo::Devices::ADrawContext& dc, bool shared) override;
    void Identifier(Lumo::Objects::UString* identifier) { m_identifier = identifier; }
    void SetUseCustomizedColor(bool on) { m_useCustomizedColor = on; }
    void SetCustomizedColor(const Lumo::Objects::vec4<float>& color) { m_customizedColor = color; }
    void Scale(float scale) { m_scale = scale; }
    void Rotation(float rotation) { m_rotation = rotation; }

private:
    Lumo::Objects::UString* m_identifier;
    bool m_useCustomizedColor;
    Lumo::Objects::vec4<float> m_customizedColor;
    float m_scale;
    float m_rotation;
};

} // namespace Lumo::Scene
