#pragma once
#include <Scene/Attributes/CurvatureMapData.h>
#include <Scene/Attributes/VisualAnalysisAttribute.h>

namespace Lumo::Devices {
class TextureInstance;
}

namespace Lumo::Scene {

/// Curvature map: the surface coloured by its Gaussian, minimum or maximum curvature
/// through a colour ramp over the data's range.
class CurvatureMapAttribute : public VisualAnalysisAttribute, public NetObjectCountImpl<CurvatureMapAttribute> {
    LUMO_SCENE_CLASS(CurvatureMapAttribute)
public:
    /// Colours of a banded ramp.
    static constexpr int kBandCount = 8;

    static CurvatureMapAttribute* Make(const CurvatureMapData& data, bool highQuality, bool winTies = false,
                                       unsigned char priority = 0);
    EAnalysisType AnalysisType() const override { return eCurvatureMap; }
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::KString ToString() const override { return m_data.ToString(); }
    const CurvatureMapData& GetData() const { return m_data; }
    /// The colour ramp (blue for low through green to red for high), smooth or banded, one
    /// row, sampled linearly and clamped; kept in the device's texture cache. Not counted
    /// for the caller; null without a device.
    Lumo::Devices::TextureInstance* GetTexture(Lumo::Devices::ADrawContext& dc) const;

protected:
    CurvatureMapAttribute(const CurvatureMapData& data, bool highQuality, bool winTies, unsigned char priority)
        : VisualAnalysisAttribute(highQuality, winTies, priority), m_data(data) {}
    Lumo::Devices::EffectInstance* CreateEffectInstance(Lumo::Devices::ADrawContext& dc, bool shared) override;
    void SetData(const CurvatureMapData& data) { m_data = data; }

private:
    CurvatureMapData m_data;
};

} // namespace Lumo::Scene
