#pragma once
#include <Scene/Attributes/DraftAnalysisData.h>
#include <Scene/Attributes/VisualAnalysisAttribute.h>

namespace Lumo::Scene {

/// Draft-angle analysis: faces coloured by their angle to the pull direction.
class DraftAnalysisAttribute : public VisualAnalysisAttribute, public NetObjectCountImpl<DraftAnalysisAttribute> {
    LUMO_SCENE_CLASS(DraftAnalysisAttribute)
public:
    static DraftAnalysisAttribute* Make(const DraftAnalysisData& data, bool highQuality, bool winTies = false,
                                        unsigned char priority = 0);
    EAnalysisType AnalysisType() const override { return eDraft; }
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::KString ToString() const override { return m_data.ToString(); }
    const DraftAnalysisData& GetData() const { return m_data; }

protected:
    DraftAnalysisAttribute(const DraftAnalysisData& data, bool highQuality, bool winTies, unsigned char priority)
        : VisualAnalysisAttribute(highQuality, winTies, priority), m_data(data) {}
    Lumo::Devices::EffectInstance* CreateEffectInstance(Lumo::Devices::ADrawContext& dc, bool shared) override;
    void SetData(const DraftAnalysisData& data) { m_data = data; }

private:
    DraftAnalysisData m_data;
};

} // namespace Lumo::Scene
