#include <Scene/Change/StandardObjectManagerEx.h>

namespace Brio::Scene {

StandardObjectManagerEx::~StandardObjectManagerEx() = default;
RevalidateObjectManager::~RevalidateObjectManager() = default;

} // namespace Brio::Scene
