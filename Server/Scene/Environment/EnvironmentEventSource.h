#pragma once
#include <Brio/Base/EventSource.h>

namespace Brio::Scene {

class EnvironmentEventSite;

/// The process-wide announcer of active-environment changes, named "EnvironmentEventSource".
/// A change made off the user-interface thread reaches the sites later, on that thread.
class EnvironmentEventSource : public Brio::EventSource {
public:
    static EnvironmentEventSource* get();

    void subscribe(EnvironmentEventSite* site, std::shared_ptr<const Brio::EventFilter> filter = nullptr);
    void unsubscribe(EnvironmentEventSite* site);
    /// Answers whether the event went out now (false when it was queued). The event may be null.
    bool fireActiveEnvironmentChanged(Brio::Event* event = nullptr);

protected:
    /// Sites that are not environment sites hear nothing.
    void deliver(Brio::EventSite& site, Brio::Event* event) override;

private:
    EnvironmentEventSource();
};

} // namespace Brio::Scene
