#include <Lumo/Graphics/Worlds.h>

namespace Lumo::Graphics {

LUMO_DEFINE_CLASS(AWorld, ARefCounted)
LUMO_DEFINE_CLASS(SingleNodeWorld, AWorld)
LUMO_DEFINE_CLASS(ARenderList, AWorld)
LUMO_DEFINE_CLASS(BSPWorld, AWorld)
LUMO_DEFINE_CLASS(LODConsolidatedWorld, AWorld)

AWorld* AWorld::Make(EWorldType type) {
    switch (type) {
    case eRenderListWorld: return new ARenderList;
    case eBSPWorld: return new BSPWorld;
    case eLODConsolidatedWorld: return new LODConsolidatedWorld;
    default: return new SingleNodeWorld;
    }
}

} // namespace Lumo::Graphics
