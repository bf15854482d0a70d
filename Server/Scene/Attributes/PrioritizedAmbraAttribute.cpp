#include <Scene/Attributes/PrioritizedAmbraAttribute.h>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(PrioritizedAmbraAttribute, AmbraEffectAttribute)

PrioritizedAmbraAttribute* PrioritizedAmbraAttribute::Make(Lumo::Objects::UString* identifier, bool useCustomizedColor,
                                                           const Lumo::Objects::vec4<float>& customizedColor,
                                                           float scale, float rotation) {
    return new PrioritizedAmbraAttribute(identifier, useCustomizedColor, customizedColor, scale, rotation);
}

} // namespace Lumo::Scene
