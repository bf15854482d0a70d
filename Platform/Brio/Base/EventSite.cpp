#include <Brio/Base/EventSite.h>

#include <Brio/Base/EventSource.h>

#include <mutex>

namespace Brio {

EventSite::~EventSite() {
    std::lock_guard lock(EventSource::subscriptionLock());
    const std::vector<EventSource*> sources = m_sources;
    for (EventSource* source : sources)
        source->unsubscribe(this);
    m_sources.clear();
}

std::vector<EventSource*> EventSite::sources() const {
    std::lock_guard lock(EventSource::subscriptionLock());
    return m_sources;
}

} // namespace Brio
