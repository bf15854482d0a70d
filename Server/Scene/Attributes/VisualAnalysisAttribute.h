#pragma once
#include <Scene/Attributes/EffectAttribute.h>

namespace Lumo::Scene {

/// Base of the surface-analysis effects (zebra stripes, draft angle, curvature map).
class VisualAnalysisAttribute : public EffectAttribute, public NetObjectCountImpl<VisualAnalysisAttribute> {
    LUMO_SCENE_CLASS(VisualAnalysisAttribute)
public:
    enum EAnalysisType : int { eZebra = 0, eDraft = 1, eCurvatureMap = 2 };

    virtual EAnalysisType AnalysisType() const = 0;
    bool GetHighQuality() const { return m_highQuality; }
    bool Equals(const Attribute* other) const override;

protected:
    VisualAnalysisAttribute(bool highQuality, bool winTies, unsigned char priority)
        : EffectAttribute(winTies, priority), m_highQuality(highQuality) {}
    /// Construction and deserialisation only: attributes do not change once shared.
    void SetHighQuality(bool on) { m_highQuality = on; }

private:
    bool m_highQuality;
};

} // namespace Lumo::Scene
