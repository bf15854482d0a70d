#include <Scene/Attributes/CompositeAttribute.h>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(CompositeAttribute, Attribute)

} // namespace Lumo::Scene
