#pragma once
#include <Brio/Base/EventSite.h>

namespace Brio::Scene {

class CameraEvent;

/// Base of what listens to camera changes (subscribe with CameraEventSource::get()).
class CameraEventSite : public Brio::EventSite {
public:
    ~CameraEventSite() override;
    /// Called on the user-interface thread (unless the source fires off it); does nothing
    /// unless overridden.
    virtual void cameraChanged(CameraEvent* event);
};

} // namespace Brio::Scene
