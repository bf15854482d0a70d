#include <Brio/DataModel/Segment.h>

#include <Brio/Base/UniqueString.h>
#include <Brio/DataModel/DataModelCallback.h>
#include <Brio/DataModel/Entity.h>
#include <Brio/DataModel/EntityMetaType.h>

#include <atomic>
#include <map>
#include <mutex>

namespace Brio {

struct Segment::Impl {
    Asset* asset;
    std::uint32_t id;
    std::wstring name;
    bool transient;
    bool standalone;
    std::atomic<std::uint64_t> nextId{1};
    mutable std::mutex mutex;
    std::map<std::uint64_t, StrongRef<Entity>> entities;
    std::map<std::wstring, std::uint64_t> roots;
    std::map<const UniqueString*, unsigned> versions;
};

StrongRef<Segment> Segment::makeStandalone(const std::wstring& name, bool transient) {
    return StrongRef<Segment>(new Segment(nullptr, 0, name, transient, true));
}

Segment::Segment(Asset* asset, std::uint32_t id, std::wstring name, bool transient, bool standalone)
    : m_impl(std::make_unique<Impl>()) {
    m_impl->asset = asset;
    m_impl->id = id;
    m_impl->name = std::move(name);
    m_impl->transient = transient;
    m_impl->standalone = standalone;
}

Segment::~Segment() {
    std::map<std::uint64_t, StrongRef<Entity>> entities;
    {
        std::lock_guard lock(m_impl->mutex);
        entities.swap(m_impl->entities);
        m_impl->roots.clear();
    }
    // Entities referring to each other would keep each other alive: clear every reference
    // member first, then let the entities know they have no segment any more.
    for (auto& [id, entity] : entities) {
        int depth = 0;
        for (const EntityMetaType* type = entity->metaType(); type && depth < 64;
             type = type->baseMetaType(), ++depth) {
            const MemberSet& set = type->memberSet();
            void* record = entity->memberRecord(&set);
            if (!record)
                continue;
            for (const MemberSet::Member& member : set.members())
                if (auto* refs = dynamic_cast<const EntityReferenceListMetaType*>(member.valueType))
                    refs->clear(static_cast<char*>(record) + member.offset);
        }
    }
    for (auto& [id, entity] : entities)
        entity->m_segment = nullptr;
}

std::uint32_t Segment::id() const {
    return m_impl->id;
}
const std::wstring& Segment::name() const {
    return m_impl->name;
}
bool Segment::transient() const {
    return m_impl->transient;
}
bool Segment::standalone() const {
    return m_impl->standalone;
}
Asset* Segment::asset() const {
    return m_impl->asset;
}

Entity* Segment::entity(std::uint64_t id) const {
    std::lock_guard lock(m_impl->mutex);
    auto it = m_impl->entities.find(id);
    return it == m_impl->entities.end() ? nullptr : it->second.getTarget();
}

std::vector<StrongRef<Entity>> Segment::entities() const {
    std::lock_guard lock(m_impl->mutex);
    std::vector<StrongRef<Entity>> out;
    out.reserve(m_impl->entities.size());
    for (const auto& entry : m_impl->entities)
        out.push_back(entry.second);
    return out;
}

std::size_t Segment::entityCount() const {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->entities.size();
}

bool Segment::deleteEntity(Entity* entity) {
    if (!entity || entity->segment() != this || this->entity(entity->id()) != entity)
        return false;
    entity->onPreDeletion();
    entity->metaType()->notify(DataModelCallback::eDeleted, entity);
    StrongRef<Entity> keep; // released outside the lock: the entity's destructor may call back
    {
        std::lock_guard lock(m_impl->mutex);
        auto it = m_impl->entities.find(entity->id());
        if (it == m_impl->entities.end() || it->second.getTarget() != entity)
            return false;
        keep = std::move(it->second);
        m_impl->entities.erase(it);
        std::erase_if(m_impl->roots, [&](const auto& root) { return root.second == entity->id(); });
    }
    return true;
}

Entity* Segment::root(const std::wstring& name) const {
    std::lock_guard lock(m_impl->mutex);
    auto it = m_impl->roots.find(name);
    if (it == m_impl->roots.end())
        return nullptr;
    auto entity = m_impl->entities.find(it->second);
    return entity == m_impl->entities.end() ? nullptr : entity->second.getTarget();
}

bool Segment::addRoot(const std::wstring& name, Entity* entity) {
    if (!entity || entity->segment() != this)
        return false;
    std::lock_guard lock(m_impl->mutex);
    auto it = m_impl->entities.find(entity->id());
    if (it == m_impl->entities.end() || it->second.getTarget() != entity)
        return false;
    m_impl->roots[name] = entity->id();
    return true;
}

bool Segment::removeRoot(const std::wstring& name) {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->roots.erase(name) != 0;
}

std::vector<std::wstring> Segment::rootNames() const {
    std::lock_guard lock(m_impl->mutex);
    std::vector<std::wstring> out;
    for (const auto& entry : m_impl->roots)
        out.push_back(entry.first);
    return out;
}

unsigned Segment::persistedVersion(const EntityMetaType* metaType) const {
    if (!metaType)
        return 0;
    std::lock_guard lock(m_impl->mutex);
    auto it = m_impl->versions.find(metaType->id());
    return it == m_impl->versions.end() ? metaType->currentVersion() : it->second;
}

void Segment::persistedVersion(const EntityMetaType* metaType, unsigned version) {
    if (!metaType)
        return;
    std::lock_guard lock(m_impl->mutex);
    m_impl->versions[metaType->id()] = version;
}

std::uint64_t Segment::allocateEntityId() {
    return m_impl->nextId.fetch_add(1, std::memory_order_relaxed);
}

void Segment::reserveEntityId(std::uint64_t id) {
    std::uint64_t next = m_impl->nextId.load(std::memory_order_relaxed);
    while (next <= id && !m_impl->nextId.compare_exchange_weak(next, id + 1, std::memory_order_relaxed)) {
    }
}

std::uint64_t Segment::nextEntityId() const {
    return m_impl->nextId.load(std::memory_order_relaxed);
}

bool Segment::insert(Entity* entity) {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->entities.emplace(entity->id(), StrongRef<Entity>(entity)).second;
}

void Segment::detachFromAsset() {
    m_impl->asset = nullptr;
}

} // namespace Brio
