#include <Brio/AddInMgr/AddInMgr.h>

#include <map>
#include <mutex>
#include <shared_mutex>

namespace Brio {

struct AddInMgr::Impl {
    mutable std::shared_mutex mutex;
    std::map<std::string, bool> addIns; // id -> core
};

AddInMgr::AddInMgr() : m_impl(std::make_unique<Impl>()) {}

AddInMgr::~AddInMgr() = default;

AddInMgr& AddInMgr::get() {
    // Leaked: add-ins unloaded from static destructors may still ask.
    static AddInMgr* instance = new AddInMgr;
    return *instance;
}

bool AddInMgr::registerAddIn(const std::string& id, bool core) {
    if (id.empty())
        return false;
    std::unique_lock lock(m_impl->mutex);
    return m_impl->addIns.emplace(id, core).second;
}

bool AddInMgr::unregisterAddIn(const std::string& id) {
    std::unique_lock lock(m_impl->mutex);
    return m_impl->addIns.erase(id) != 0;
}

bool AddInMgr::isKnown(const std::string& id) const {
    std::shared_lock lock(m_impl->mutex);
    return m_impl->addIns.count(id) != 0;
}

bool AddInMgr::isCoreAddIn(const std::string& id) const {
    std::shared_lock lock(m_impl->mutex);
    auto it = m_impl->addIns.find(id);
    return it != m_impl->addIns.end() && it->second;
}

std::vector<std::string> AddInMgr::addInIds() const {
    std::shared_lock lock(m_impl->mutex);
    std::vector<std::string> out;
    for (const auto& entry : m_impl->addIns)
        out.push_back(entry.first);
    return out;
}

} // namespace Brio
