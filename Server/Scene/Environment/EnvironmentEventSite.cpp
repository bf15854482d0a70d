#include <Scene/Environment/EnvironmentEventSite.h>

namespace Brio::Scene {

EnvironmentEventSite::~EnvironmentEventSite() = default;

} // namespace Brio::Scene
