#include <Brio/DataModel/EntityMetaType.h>

#include <Brio/Base/UniqueString.h>
#include <Brio/DataModel/DataModelCallback.h>
#include <Brio/DataModel/Entity.h>
#include <Brio/DataModel/MetaTypeManager.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <utility>

namespace Brio {

struct EntityMetaType::Impl {
    std::string addInId;
    const UniqueString* id = nullptr;
    std::string name;
    int number = 0;
    const UniqueString* baseId = nullptr;
    std::atomic<int> entityType{0};
    std::atomic<unsigned> currentVersion{1};
    MemberSet members;
    mutable std::mutex callbackMutex;
    std::vector<std::pair<DataModelCallback*, std::uint32_t>> callbacks;
    bool registered = false;
};

EntityMetaType::EntityMetaType(const char* addInId, const char* metaTypeId, const char* name, int number,
                               const char* baseMetaTypeId, int entityType)
    : m_impl(std::make_unique<Impl>()) {
    m_impl->addInId = addInId ? addInId : "";
    m_impl->id = UniqueString::find(metaTypeId ? metaTypeId : "", true);
    m_impl->name = name ? name : "";
    m_impl->number = number;
    if (baseMetaTypeId && *baseMetaTypeId)
        m_impl->baseId = UniqueString::find(baseMetaTypeId, true);
    m_impl->entityType.store(entityType, std::memory_order_relaxed);
    m_impl->registered = MetaTypeManager::get().registerMetaType(this);
}

EntityMetaType::~EntityMetaType() {
    MetaTypeManager::get().unregisterMetaType(this);
}

StrongRef<Entity> EntityMetaType::create(Segment*, std::uint64_t) {
    return {};
}

void EntityMetaType::migrate(MemberSet&, unsigned) {}

const std::string& EntityMetaType::addInId() const {
    return m_impl->addInId;
}
const UniqueString* EntityMetaType::id() const {
    return m_impl->id;
}
const std::string& EntityMetaType::name() const {
    return m_impl->name;
}
int EntityMetaType::number() const {
    return m_impl->number;
}
const UniqueString* EntityMetaType::baseId() const {
    return m_impl->baseId;
}

EntityMetaType* EntityMetaType::baseMetaType() const {
    return m_impl->baseId ? MetaTypeManager::get().find(m_impl->baseId) : nullptr;
}

int EntityMetaType::entityType() const {
    return m_impl->entityType.load(std::memory_order_relaxed);
}
void EntityMetaType::entityType(int type) {
    m_impl->entityType.store(type, std::memory_order_relaxed);
}
unsigned EntityMetaType::currentVersion() const {
    return m_impl->currentVersion.load(std::memory_order_relaxed);
}
void EntityMetaType::currentVersion(unsigned version) {
    m_impl->currentVersion.store(version, std::memory_order_relaxed);
}

bool EntityMetaType::isA(const EntityMetaType* other) const {
    if (!other)
        return false;
    // Bounded, so that a cycle of base ids in broken registrations cannot hang.
    const EntityMetaType* type = this;
    for (int depth = 0; type && depth < 64; ++depth, type = type->baseMetaType())
        if (type == other)
            return true;
    return false;
}

MemberSet& EntityMetaType::memberSet() {
    return m_impl->members;
}
const MemberSet& EntityMetaType::memberSet() const {
    return m_impl->members;
}

void EntityMetaType::addCallback(DataModelCallback* callback, std::uint32_t events) {
    if (!callback)
        return;
    std::lock_guard lock(m_impl->callbackMutex);
    for (auto& entry : m_impl->callbacks)
        if (entry.first == callback) {
            entry.second = events;
            return;
        }
    m_impl->callbacks.emplace_back(callback, events);
}

void EntityMetaType::removeCallback(DataModelCallback* callback) {
    std::lock_guard lock(m_impl->callbackMutex);
    std::erase_if(m_impl->callbacks, [callback](const auto& entry) { return entry.first == callback; });
}

void EntityMetaType::notify(std::uint32_t event, Entity* entity) const {
    // Collected first: a callback may add or remove callbacks while it runs.
    std::vector<DataModelCallback*> interested;
    const EntityMetaType* type = this;
    for (int depth = 0; type && depth < 64; ++depth, type = type->baseMetaType()) {
        std::lock_guard lock(type->m_impl->callbackMutex);
        for (const auto& [callback, events] : type->m_impl->callbacks)
            if ((events & event) && std::find(interested.begin(), interested.end(), callback) == interested.end())
                interested.push_back(callback);
    }
    for (DataModelCallback* callback : interested)
        callback->notify(static_cast<DataModelCallback::EEvent>(event), entity);
}

bool EntityMetaType::registered() const {
    return m_impl->registered;
}

} // namespace Brio
