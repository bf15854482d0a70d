#pragma once
#include <Scene/Attributes/ColorEffectAttribute.h>

namespace Lumo::Scene {

/// A texture image (by interned file path) modulating a colour. Not shared: each attribute
/// keeps its own instance, the texture itself is shared by the device's texture cache.
class TextureEffectAttribute : public ColorEffectAttribute, public NetObjectCountImpl<TextureEffectAttribute> {
    LUMO_SCENE_CLASS(TextureEffectAttribute)
public:
    static TextureEffectAttribute* Make(const Lumo::Objects::UString* path, const Lumo::Objects::vec4<float>& color,
                                        bool winTies = false, unsigned char priority = 0);
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::KString ToString() const override;
    /// Null when there is no texture.
    const Lumo::Objects::UString* Path() const { return m_path; }

protected:
    TextureEffectAttribute(const Lumo::Objects::UString* path, const Lumo::Objects::vec4<float>& color, bool winTies,
                           unsigned char priority)
        : ColorEffectAttribute(color, winTies, priority), m_path(path) {}
    Lumo::Devices::EffectInstance* CreateEffectInstance(Lumo::Devices::ADrawContext& dc, bool shared) override;
    void Path(const Lumo::Objects::UString* path) { m_path = path; }

private:
    const Lumo::Objects::UString* m_path;
};

} // namespace Lumo::Scene
