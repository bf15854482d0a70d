#include <Brio/DataModel/Entity.h>

#include <Brio/Base/UniqueString.h>
#include <Brio/DataModel/DataModelCallback.h>
#include <Brio/DataModel/EntityMetaType.h>
#include <Brio/DataModel/Segment.h>

namespace Brio {

EntityMetaType* Entity::s_metaType() {
    static EntityMetaType* metaType = [] {
        static EntityMetaType type("Brio", s_metaTypeId, "EntityMetaType", 0, nullptr, 1);
        // The root kind persists nothing; its set only ends the chain of base sets.
        type.memberSet().initialize(nullptr, "Entity");
        return &type;
    }();
    return metaType;
}

namespace {
// Registered when the library loads, before any entity kind looks for its base.
[[maybe_unused]] const EntityMetaType* const s_entityMetaType = Entity::s_metaType();
} // namespace

const UniqueString* Entity::interfaceId() {
    static const UniqueString* id = UniqueString::find(L"Brio::Entity");
    return id;
}

void* Entity::queryInterface(const UniqueString* id) const {
    if (id == interfaceId())
        return const_cast<Entity*>(this);
    return Object::queryInterface(id);
}

Entity::Entity(Segment* segment)
    : m_segment(segment), m_id(segment ? segment->allocateEntityId() : 0), m_creating(true) {}

Entity::Entity(Segment* segment, std::uint64_t persistedId) : m_segment(segment), m_id(persistedId), m_creating(false) {
    if (segment)
        segment->reserveEntityId(persistedId);
}

Entity::~Entity() = default;

const EntityMetaType* Entity::metaType() const {
    return s_metaType();
}

Entity* Entity::queryMTInterface(const EntityMetaType* metaType) {
    return metaType == s_metaType() ? this : nullptr;
}

void* Entity::memberRecord(const MemberSet*) {
    return nullptr;
}

Asset* Entity::asset() const {
    return m_segment ? m_segment->asset() : nullptr;
}

void Entity::postCreation(int) {
    bool expected = true;
    if (!m_creating.compare_exchange_strong(expected, false, std::memory_order_acq_rel))
        return;
    onPostCreation();
    if (m_segment)
        m_segment->insert(this);
    metaType()->notify(DataModelCallback::eCreated, this);
}

void Entity::changed() {
    metaType()->notify(DataModelCallback::eChanged, this);
}

unsigned Entity::migratingVersion(const EntityMetaType* metaType) const {
    for (const auto& [type, version] : m_versions)
        if (type == metaType)
            return version;
    return metaType ? metaType->currentVersion() : 0;
}

void Entity::migratingVersion(const EntityMetaType* metaType, unsigned version) {
    for (auto& entry : m_versions)
        if (entry.first == metaType) {
            entry.second = version;
            return;
        }
    m_versions.emplace_back(metaType, version);
}

void Entity::onPostMigrate() {}

int Entity::postMigrate(unsigned) {
    return eMigrationDone;
}

bool Entity::deleteMigrationHelper() {
    return false;
}

void Entity::onPostCreation() {}

void Entity::onPreDeletion() {}

std::wstring Entity::onToString() const {
    return {};
}

void Entity::doInitializeMigrationHelpers() {}

void Entity::doUninitializeMigrationHelpers() {}

} // namespace Brio
