#include <Scene/Attributes/DecalGeometryAttribute.h>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(DecalGeometryAttribute, Attribute)

DecalGeometryAttribute* DecalGeometryAttribute::Make(bool winTies, unsigned char priority) {
    return new DecalGeometryAttribute(winTies, priority);
}

} // namespace Lumo::Scene
