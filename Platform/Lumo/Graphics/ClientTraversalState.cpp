#include <Lumo/Graphics/ClientTraversalState.h>

namespace Lumo::Graphics {

LUMO_DEFINE_CLASS(ClientTraversalState, ARefCounted)

} // namespace Lumo::Graphics
