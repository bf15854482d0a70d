#pragma once
#include <Scene/Attributes/EffectAttribute.h>

namespace Lumo::Scene {

/// The geometry's own per-vertex colours at an opacity; equal values share one instance.
class VertexColorEffectAttribute : public EffectAttribute, public NetObjectCountImpl<VertexColorEffectAttribute> {
    LUMO_SCENE_CLASS(VertexColorEffectAttribute)
public:
    /// alphaFlag: the vertex colours carry alpha.
    static VertexColorEffectAttribute* Make(bool alphaFlag, float opacity, bool winTies = false,
                                            unsigned char priority = 0);
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::KString ToString() const override;
    bool VertexColorAlphaFlag() const { return m_alphaFlag; }
    float Opacity() const { return m_opacity; }
    static std::wstring CacheKey(bool alphaFlag, float opacity);

protected:
    VertexColorEffectAttribute(bool alphaFlag, float opacity, bool winTies, unsigned char priority)
        : EffectAttribute(winTies, priority), m_alphaFlag(alphaFlag), m_opacity(opacity) {}
    Lumo::Devices::EffectInstance* CreateEffectInstance(Lumo::Devices::ADrawContext& dc, bool shared) override;
    void VertexColorAlphaFlag(bool on) { m_alphaFlag = on; }
    void Opacity(float opacity) { m_opacity = opacity; }

private:
    bool m_alphaFlag;
    float m_opacity;
};

} // namespace Lumo::Scene
