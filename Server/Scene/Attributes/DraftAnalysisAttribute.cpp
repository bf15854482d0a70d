#include <Scene/Attributes/DraftAnalysisAttribute.h>

#include <Lumo/Devices/ADrawContext.h>
#include <Scene/Attributes/AnalysisEffects.h>

namespace Lumo::Scene {

using A = AnalysisEffects;

LUMO_DEFINE_CLASS(DraftAnalysisAttribute, VisualAnalysisAttribute)

DraftAnalysisAttribute* DraftAnalysisAttribute::Make(const DraftAnalysisData& data, bool highQuality, bool winTies,
                                                     unsigned char priority) {
    return new DraftAnalysisAttribute(data, highQuality, winTies, priority);
}

Lumo::Devices::EffectInstance* DraftAnalysisAttribute::CreateEffectInstance(Lumo::Devices::ADrawContext& dc, bool) {
    Lumo::Devices::EffectInstance* e = Lumo::Devices::EffectInstance::Make(A::Acquire(Device(dc), A::DraftName()));
    if (!e)
        return nullptr;
    Lumo::Devices::ParameterValues& v = e->Values();
    v.SetFloat3(A::eDraftPullDirection, m_data.pullDirection.Normalized());
    v.SetFloat(A::eDraftAnglePositive, m_data.draftAnglePositive);
    v.SetFloat(A::eDraftAngleNegative, m_data.draftAngleNegative);
    v.SetFloat(A::eDraftTolerancePositive, m_data.toleranceAnglePositive);
    v.SetFloat(A::eDraftToleranceNegative, m_data.toleranceAngleNegative);
    return e;
}

bool DraftAnalysisAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    return VisualAnalysisAttribute::Equals(other) &&
           static_cast<const DraftAnalysisAttribute*>(other)->m_data == m_data;
}

} // namespace Lumo::Scene
