#include <Lumo/Devices/FormatCache.h>
#include <Lumo/Devices/VertexFormat.h>

namespace Lumo::Devices {

using Lumo::Objects::AutoPtr;
using Lumo::Objects::Threads::MutexLocker;

FormatCache::FormatCache() = default;
FormatCache::~FormatCache() = default;

VertexFormat* FormatCache::Acquire(unsigned components) {
    const unsigned layout = VertexFormat::Normalize(components);
    MutexLocker lock(m_mutex);
    AutoPtr<VertexFormat>& slot = m_formats[layout];
    if (!slot)
        slot = AutoPtr<VertexFormat>(VertexFormat::Make(layout));
    return slot;
}

int FormatCache::Count() const {
    MutexLocker lock(m_mutex);
    return static_cast<int>(m_formats.size());
}

void FormatCache::Clear() {
    decltype(m_formats) old;
    MutexLocker lock(m_mutex);
    old.swap(m_formats);
}

} // namespace Lumo::Devices
