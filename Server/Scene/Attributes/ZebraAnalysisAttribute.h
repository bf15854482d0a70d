#pragma once
#include <Scene/Attributes/VisualAnalysisAttribute.h>
#include <Scene/Attributes/ZebraAnalysisData.h>

namespace Lumo::Scene {

/// Zebra stripes: the surface reflecting a striped environment, showing curvature breaks.
class ZebraAnalysisAttribute : public VisualAnalysisAttribute, public NetObjectCountImpl<ZebraAnalysisAttribute> {
    LUMO_SCENE_CLASS(ZebraAnalysisAttribute)
public:
    static ZebraAnalysisAttribute* Make(const ZebraAnalysisData& data, bool highQuality, bool winTies = false,
                                        unsigned char priority = 0);
    EAnalysisType AnalysisType() const override { return eZebra; }
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::KString ToString() const override { return m_data.ToString(); }
    const ZebraAnalysisData& GetData() const { return m_data; }

protected:
    ZebraAnalysisAttribute(const ZebraAnalysisData& data, bool highQuality, bool winTies, unsigned char priority)
        : VisualAnalysisAttribute(highQuality, winTies, priority), m_data(data) {}
    Lumo::Devices::EffectInstance* CreateEffectInstance(Lumo::Devices::ADrawContext& dc, bool shared) override;
    void SetData(const ZebraAnalysisData& data) { m_data = data; }

private:
    ZebraAnalysisData m_data;
};

} // namespace Lumo::Scene
