#pragma once
#include <Brio/Base/EventSource.h>

namespace Brio::Scene {

class CameraEvent;
class CameraEventSite;

/// The process-wide announcer of camera changes, named "CameraEventSource". A change made
/// off the user-interface thread reaches the sites later, on that thread.
class CameraEventSource : public Brio::EventSource {
public:
    static CameraEventSource* get();

    void subscribe(CameraEventSite* site, std::shared_ptr<const Brio::EventFilter> filter = nullptr);
    void unsubscribe(CameraEventSite* site);
    /// Answers whether the event went out now (false when it was queued).
    bool fireCameraChanged(CameraEvent* event);

protected:
    /// Sites that are not camera sites hear nothing.
    void deliver(Brio::EventSite& site, Brio::Event* event) override;

private:
    CameraEventSource();
};

} // namespace Brio::Scene
