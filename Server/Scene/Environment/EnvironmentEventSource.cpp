#include <Scene/Environment/EnvironmentEventSource.h>

#include <Scene/Environment/EnvironmentEventSite.h>

namespace Brio::Scene {

EnvironmentEventSource* EnvironmentEventSource::get() {
    static EnvironmentEventSource source;
    return &source;
}

EnvironmentEventSource::EnvironmentEventSource() : Brio::EventSource(L"EnvironmentEventSource") {}

void EnvironmentEventSource::subscribe(EnvironmentEventSite* site, std::shared_ptr<const Brio::EventFilter> filter) {
    Brio::EventSource::subscribe(site, std::move(filter));
}

void EnvironmentEventSource::unsubscribe(EnvironmentEventSite* site) {
    Brio::EventSource::unsubscribe(site);
}

bool EnvironmentEventSource::fireActiveEnvironmentChanged(Brio::Event* event) {
    return fireEvent(event);
}

void EnvironmentEventSource::deliver(Brio::EventSite& site, Brio::Event* event) {
    if (auto* environmentSite = dynamic_cast<EnvironmentEventSite*>(&site))
        environmentSite->activeEnvironmentChanged(event);
}

} // namespace Brio::Scene
