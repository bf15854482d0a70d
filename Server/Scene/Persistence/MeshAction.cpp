#include <Scene/Persistence/MeshAction.h>

namespace Brio::Scene {

MeshAction::~MeshAction() = default;

} // namespace Brio::Scene
