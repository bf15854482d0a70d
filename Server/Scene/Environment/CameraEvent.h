#pragma once
#include <Brio/Base/Event.h>
#include <Brio/Base/StrongRef.h>

namespace Brio::Scene {

class Camera;

/// A change of a camera. The event holds the camera, so that one delivered later (from
/// another thread) still finds it alive.
class CameraEvent : public Brio::Event {
public:
    enum EChange {
        eProjectionChanged = 0,
        eZoomed = 1,
        eMoved = 2, ///< position, target or up changed, or an orbit ended
    };

    CameraEvent(Camera* camera, EChange change, int timing = 0);
    ~CameraEvent() override;

    Brio::StrongRef<Camera> camera() const { return m_camera; }
    EChange change() const { return m_change; }

    std::unique_ptr<Brio::Event> clone() const override;

private:
    Brio::StrongRef<Camera> m_camera;
    EChange m_change;
};

} // namespace Brio::Scene
