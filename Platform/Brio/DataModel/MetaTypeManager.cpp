#include <Brio/DataModel/MetaTypeManager.h>

#include <Brio/Base/UniqueString.h>
#include <Brio/DataModel/EntityMetaType.h>

#include <map>
#include <mutex>
#include <shared_mutex>

namespace Brio {

struct MetaTypeManager::Impl {
    mutable std::shared_mutex mutex;
    std::map<const UniqueString*, EntityMetaType*> byId;
};

MetaTypeManager::MetaTypeManager() : m_impl(std::make_unique<Impl>()) {}

MetaTypeManager::~MetaTypeManager() = default;

MetaTypeManager& MetaTypeManager::get() {
    // Leaked: meta types of libraries unloaded after this one still unregister.
    static MetaTypeManager* instance = new MetaTypeManager;
    return *instance;
}

bool MetaTypeManager::registerMetaType(EntityMetaType* metaType) {
    if (!metaType || !metaType->id())
        return false;
    std::unique_lock lock(m_impl->mutex);
    return m_impl->byId.emplace(metaType->id(), metaType).second;
}

void MetaTypeManager::unregisterMetaType(EntityMetaType* metaType) {
    if (!metaType)
        return;
    std::unique_lock lock(m_impl->mutex);
    auto it = m_impl->byId.find(metaType->id());
    if (it != m_impl->byId.end() && it->second == metaType)
        m_impl->byId.erase(it);
}

EntityMetaType* MetaTypeManager::find(const UniqueString* id) const {
    std::shared_lock lock(m_impl->mutex);
    auto it = m_impl->byId.find(id);
    return it == m_impl->byId.end() ? nullptr : it->second;
}

EntityMetaType* MetaTypeManager::find(std::string_view idText) const {
    const UniqueString* id = UniqueString::find(idText, false);
    return id ? find(id) : nullptr;
}

std::vector<EntityMetaType*> MetaTypeManager::metaTypes() const {
    std::map<std::wstring, EntityMetaType*> ordered;
    {
        std::shared_lock lock(m_impl->mutex);
        for (const auto& [id, metaType] : m_impl->byId)
            ordered.emplace(id->text(), metaType);
    }
    std::vector<EntityMetaType*> out;
    for (const auto& entry : ordered)
        out.push_back(entry.second);
    return out;
}

} // namespace Brio
