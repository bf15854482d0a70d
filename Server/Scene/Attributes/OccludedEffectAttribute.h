#pragma once
#include <Scene/Attributes/TextureEffectAttribute.h>

namespace Lumo::Scene {

/// A colour or texture drawn normally where visible and faintly where hidden behind other
/// geometry: hidden parts at the occluded opacity, visible ones at the visible opacity.
class OccludedEffectAttribute : public TextureEffectAttribute, public NetObjectCountImpl<OccludedEffectAttribute> {
    LUMO_SCENE_CLASS(OccludedEffectAttribute)
public:
    static OccludedEffectAttribute* Make(const Lumo::Objects::UString* path, const Lumo::Objects::vec4<float>& color,
                                         float visibleOpacity, float occludedOpacity, bool winTies = false,
                                         unsigned char priority = 0);
    static float VISIBLE_OPACITY() { return 1.0f; }
    static float OCCLUDED_OPACITY() { return 0.4f; }

    /// The priority rule; when both are occluded and only one has a texture path, the result
    /// is the winner's values with that path (a new attribute when the winner lacks it).
    Attribute* Merge(Attribute* incoming) override;
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::KString ToString() const override;
    float VisibleOpacity() const { return m_visibleOpacity; }
    float OccludedOpacity() const { return m_occludedOpacity; }

protected:
    OccludedEffectAttribute(const Lumo::Objects::UString* path, const Lumo::Objects::vec4<float>& color,
                            float visibleOpacity, float occludedOpacity, bool winTies, unsigned char priority)
        : TextureEffectAttribute(path, color, winTies, priority), m_visibleOpacity(visibleOpacity),
          m_occludedOpacity(occludedOpacity) {}
    Lumo::Devices::EffectInstance* CreateEffectInstance(Lumo::Devices::ADrawContext& dc, bool shared) override;
    void VisibleOpacity(float opacity) { m_visibleOpacity = opacity; }
    void OccludedOpacity(float opacity) { m_occludedOpacity = opacity; }

private:
    float m_visibleOpacity;
    float m_occludedOpacity;
};

} // namespace Lumo::Scene
