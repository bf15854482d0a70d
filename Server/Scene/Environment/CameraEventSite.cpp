#include <Scene/Environment/CameraEventSite.h>

namespace Brio::Scene {

CameraEventSite::~CameraEventSite() = default;

void CameraEventSite::cameraChanged(CameraEvent*) {}

} // namespace Brio::Scene
