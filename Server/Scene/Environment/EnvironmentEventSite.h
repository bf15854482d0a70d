#pragma once
#include <Brio/Base/EventSite.h>

namespace Brio {
class Event;
}

namespace Brio::Scene {

/// Base of what listens for a change of the active environment (subscribe with
/// EnvironmentEventSource::get()).
class EnvironmentEventSite : public Brio::EventSite {
public:
    ~EnvironmentEventSite() override;
    /// Called on the user-interface thread (unless the source fires off it) after the active
    /// environment changed; the event may be null.
    virtual void activeEnvironmentChanged(Brio::Event* event) = 0;
};

} // namespace Brio::Scene
