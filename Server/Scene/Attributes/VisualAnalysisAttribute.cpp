#include <Scene/Attributes/VisualAnalysisAttribute.h>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(VisualAnalysisAttribute, EffectAttribute)

bool VisualAnalysisAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    // The quality changes the instance (the curvature ramp's resolution), so it counts.
    return SameEffectKind(other) && static_cast<const VisualAnalysisAttribute*>(other)->m_highQuality == m_highQuality;
}

} // namespace Lumo::Scene
