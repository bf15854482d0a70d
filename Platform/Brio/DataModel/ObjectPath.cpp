#include <Brio/DataModel/ObjectPath.h>

#include <atomic>

namespace Brio {

namespace {
std::atomic<std::uint32_t> g_poppableTypes{0};
}

void ObjectPath::push(Object* object) {
    if (object)
        m_objects.emplace_back(object);
}

void ObjectPath::pushFront(Object* object) {
    if (object)
        m_objects.insert(m_objects.begin(), StrongRef<Object>(object));
}

void ObjectPath::pushFront(const ObjectPath& path) {
    std::vector<StrongRef<Object>> front = path.m_objects; // path may be this one
    m_objects.insert(m_objects.begin(), front.begin(), front.end());
}

void ObjectPath::pop() {
    if (!m_objects.empty())
        m_objects.pop_back();
}

bool ObjectPath::isQualifiedAndPoppable() const {
    return !empty() && m_leafClientType != 0 &&
           (m_leafClientType & g_poppableTypes.load(std::memory_order_relaxed)) == m_leafClientType;
}

void ObjectPath::addQualifiedAndPoppableClientType(std::uint32_t type) {
    g_poppableTypes.fetch_or(type, std::memory_order_relaxed);
}

bool ObjectPath::operator==(const ObjectPath& other) const {
    if (m_objects.size() != other.m_objects.size() || m_leafClientType != other.m_leafClientType ||
        m_leafQualifier != other.m_leafQualifier)
        return false;
    for (std::size_t i = 0; i < m_objects.size(); ++i)
        if (m_objects[i].getTarget() != other.m_objects[i].getTarget())
            return false;
    return true;
}

} // namespace Brio
