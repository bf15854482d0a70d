#include <Scene/Environment/CameraEvent.h>

#include <Scene/Environment/Camera.h>

namespace Brio::Scene {

CameraEvent::CameraEvent(Camera* camera, EChange change, int timing)
    : Brio::Event(timing), m_camera(camera), m_change(change) {}

CameraEvent::~CameraEvent() = default;

std::unique_ptr<Brio::Event> CameraEvent::clone() const {
    return std::make_unique<CameraEvent>(*this);
}

} // namespace Brio::Scene
