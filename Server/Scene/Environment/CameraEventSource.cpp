#include <Scene/Environment/CameraEventSource.h>

#include <Scene/Environment/CameraEvent.h>
#include <Scene/Environment/CameraEventSite.h>

namespace Brio::Scene {

CameraEventSource* CameraEventSource::get() {
    static CameraEventSource source;
    return &source;
}

CameraEventSource::CameraEventSource() : Brio::EventSource(L"CameraEventSource") {}

void CameraEventSource::subscribe(CameraEventSite* site, std::shared_ptr<const Brio::EventFilter> filter) {
    Brio::EventSource::subscribe(site, std::move(filter));
}

void CameraEventSource::unsubscribe(CameraEventSite* site) {
    Brio::EventSource::unsubscribe(site);
}

bool CameraEventSource::fireCameraChanged(CameraEvent* event) {
    return fireEvent(event);
}

void CameraEventSource::deliver(Brio::EventSite& site, Brio::Event* event) {
    if (auto* cameraSite = dynamic_cast<CameraEventSite*>(&site))
        cameraSite->cameraChanged(static_cast<CameraEvent*>(event));
}

} // namespace Brio::Scene
