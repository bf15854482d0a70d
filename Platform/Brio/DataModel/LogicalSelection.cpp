#include <Brio/Base/UniqueString.h>
#include <Brio/DataModel/LogicalSelection.h>

#include <ZoGe/ZoGeMatrix3d.h>
#include <ZoGe/ZoGePoint3d.h>

namespace Brio {

struct LogicalSelection::Hit {
    ZoGePoint3d point;
    ZoGeMatrix3d toWorld;
};

LogicalSelection::LogicalSelection(const ObjectPath& path) : m_path(path) {}

LogicalSelection::~LogicalSelection() {
    delete m_hit;
}

StrongRef<LogicalSelection> LogicalSelection::make(const ObjectPath& path) {
    return StrongRef<LogicalSelection>(new LogicalSelection(path));
}

StrongRef<LogicalSelection> LogicalSelection::make(const ObjectPath& path, const Creator& creator,
                                                   const StrongRef<Selection>& from) {
    if (creator)
        if (StrongRef<LogicalSelection> made = creator(path.leaf(), path, from))
            return made;
    return make(path);
}

const UniqueString* LogicalSelection::interfaceId() {
    static const UniqueString* id = UniqueString::find(L"Brio::LogicalSelection");
    return id;
}

void* LogicalSelection::queryInterface(const UniqueString* id) const {
    return id == interfaceId() ? const_cast<LogicalSelection*>(this) : Selection::queryInterface(id);
}

const ZoGePoint3d& LogicalSelection::hitPoint() const {
    static const ZoGePoint3d origin;
    return m_hit ? m_hit->point : origin;
}

const ZoGeMatrix3d& LogicalSelection::hitTransform() const {
    static const ZoGeMatrix3d identity;
    return m_hit ? m_hit->toWorld : identity;
}

void LogicalSelection::hitInfo(const ZoGePoint3d& point, const ZoGeMatrix3d& localToWorld, bool replace) {
    if (m_hit && !replace)
        return;
    if (!m_hit)
        m_hit = new Hit;
    m_hit->point = point;
    m_hit->toWorld = localToWorld;
    m_hasHit = true;
}

int LogicalSelection::onCompare(const Selection& other) const {
    auto* o = static_cast<const LogicalSelection*>(other.queryInterface(interfaceId()));
    if (!o)
        return 0;
    const std::size_t n = std::min(m_path.size(), o->m_path.size());
    for (std::size_t i = 0; i < n; ++i)
        if (m_path[i] != o->m_path[i])
            return std::less<const Object*>()(m_path[i], o->m_path[i]) ? -1 : 1;
    return m_path.size() < o->m_path.size() ? -1 : m_path.size() > o->m_path.size() ? 1 : 0;
}

StrongRef<Selection> LogicalSelection::onPop() const {
    if (m_path.size() <= 1)
        return {};
    ObjectPath shorter = m_path;
    shorter.pop();
    return StrongRef<Selection>(make(shorter));
}

bool LogicalSelection::onIsValid() const {
    return !m_path.empty();
}

SelectionFilter::~SelectionFilter() = default;

StrongRef<Selection> SelectionFilter::filter(SelectionFilter& filter, const StrongRef<Selection>& selection,
                                             const SelectionFilterContext& context) {
    if (!selection || !filter.onIsEnabled(context))
        return {};
    return filter.onFilter(selection, context);
}

ILogicalSelectionSource::~ILogicalSelectionSource() = default;

const UniqueString* ILogicalSelectionSource::interfaceId() {
    static const UniqueString* id = UniqueString::find(L"Brio::ILogicalSelectionSource");
    return id;
}

} // namespace Brio
