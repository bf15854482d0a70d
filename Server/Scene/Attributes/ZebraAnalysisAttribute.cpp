#include <Scene/Attributes/ZebraAnalysisAttribute.h>

#include <Lumo/Devices/ADrawContext.h>
#include <Scene/Attributes/AnalysisEffects.h>

namespace Lumo::Scene {

using A = AnalysisEffects;

LUMO_DEFINE_CLASS(ZebraAnalysisAttribute, VisualAnalysisAttribute)

ZebraAnalysisAttribute* ZebraAnalysisAttribute::Make(const ZebraAnalysisData& data, bool highQuality, bool winTies,
                                                     unsigned char priority) {
    return new ZebraAnalysisAttribute(data, highQuality, winTies, priority);
}

Lumo::Devices::EffectInstance* ZebraAnalysisAttribute::CreateEffectInstance(Lumo::Devices::ADrawContext& dc, bool) {
    Lumo::Devices::EffectInstance* e = Lumo::Devices::EffectInstance::Make(A::Acquire(Device(dc), A::ZebraName()));
    if (!e)
        return nullptr;
    Lumo::Devices::ParameterValues& v = e->Values();
    const float direction = m_data.stripeDirection == ZebraAnalysisData::eDiagonal   ? 0.5f
                            : m_data.stripeDirection == ZebraAnalysisData::eVertical ? 1.0f
                                                                                     : 0.0f;
    v.SetFloat(A::eZebraStripeDirection, direction);
    v.SetFloat(A::eZebraStripeDensity, m_data.stripeDensity);
    v.SetFloat3(A::eZebraStripeColor0, m_data.color0);
    v.SetFloat3(A::eZebraStripeColor1, m_data.color1);
    v.SetBool(A::eZebraStripeLocked, m_data.locked);
    return e;
}

bool ZebraAnalysisAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    return VisualAnalysisAttribute::Equals(other) &&
           static_cast<const ZebraAnalysisAttribute*>(other)->m_data == m_data;
}

} // namespace Lumo::Scene
