#include <Lumo/Graphics/ANodeEntity.h>

namespace Lumo::Graphics {

LUMO_DEFINE_CLASS(ANodeEntity, ARefCounted)

void ANodeEntity::OnNodeDestroyed(ARenderNode*) {}

} // namespace Lumo::Graphics
