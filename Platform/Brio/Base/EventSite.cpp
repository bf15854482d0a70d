#include <Brio/Base/EventSite.h>

#include <Brio/Base/EventSource.h>

#include <mutex>

namespace Brio {

EventSite::~EventSite()
{
    std::lock_guard lock(EventSource::subscriptionLock());
    while (!m_sources.empty())
        m_sources.back()->unsubscribe(this);
}

std::vector<EventSource*> EventSite::sources() const
{
    std::lock_guard lock(EventSource::subscriptionLock());
    return m_sources;
}

} // namespace Brio
