#pragma once
#include <Brio/DataModel/Object.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace Brio {

class Asset;
class EntityMetaType;
class MemberSet;
class Segment;
class UniqueString;

/// A persistent host object: lives in a segment of a document under an id unique in that
/// segment, is held by StrongRef, and persists the members its classes register in their
/// member sets. Made new by a class's make(segment), which runs postCreation; or constructed
/// by its meta type when a document is loaded, then possibly migrated from an older version.
class Entity : public Object {
public:
    enum EMigrationStatus : int { eMigrationFailed = 0, eMigrationDone = 1 };

    /// The root of all entity meta types.
    static constexpr const char* s_metaTypeId = "98542EB9-A4F2-4137-A808-DBB5B3CD6159";
    static EntityMetaType* s_metaType();
    /// "Brio::Entity".
    static const UniqueString* interfaceId();
    void* queryInterface(const UniqueString* id) const override;

    /// The meta type of the entity's own (most derived) class.
    virtual const EntityMetaType* metaType() const;
    /// The entity seen as the class of `metaType` when it is one; each class answers for its
    /// own meta type and defers to its base.
    virtual Entity* queryMTInterface(const EntityMetaType* metaType);
    /// The start of this entity's member record for `set`, one of the member sets of its
    /// classes; null for a set it has no record for.
    virtual void* memberRecord(const MemberSet* set);

    /// Unique within the segment; 0 without a segment.
    std::uint64_t id() const { return m_id; }
    Segment* segment() const { return m_segment; }
    Asset* asset() const;
    /// True from construction by make until postCreation has run.
    bool creating() const { return m_creating.load(std::memory_order_acquire); }
    /// Completes creation: onPostCreation, then the entity joins its segment and the data-model
    /// callbacks hear eCreated. `transaction` is a DataChange::ETransact value. Runs once.
    void postCreation(int transaction);
    /// Tells the data-model callbacks that the entity's persisted state changed.
    void changed();

    /// The version of `metaType`'s class that the entity's data is at while it migrates; the
    /// meta type's current version when none was set.
    unsigned migratingVersion(const EntityMetaType* metaType) const;
    void migratingVersion(const EntityMetaType* metaType, unsigned version);
    /// Set while the entity, loaded from an older document, waits for onPostMigrate.
    bool migrating() const { return m_migrating; }
    void migrating(bool on) { m_migrating = on; }

    /// After a migrating entity's members were read: each class brings its data up to date and
    /// then its version to the current one.
    virtual void onPostMigrate();
    /// Migration of the data from `version` by the entity's migration helpers.
    virtual int postMigrate(unsigned version);
    /// True when a helper was deleted.
    virtual bool deleteMigrationHelper();
    void initializeMigrationHelpers() { doInitializeMigrationHelpers(); }
    void uninitializeMigrationHelpers() { doUninitializeMigrationHelpers(); }

    std::wstring toString() const { return onToString(); }

protected:
    /// A new entity, given the segment's next id; creating() until postCreation.
    explicit Entity(Segment* segment);
    /// An entity read from a document under `persistedId`.
    Entity(Segment* segment, std::uint64_t persistedId);
    ~Entity() override;

    virtual void onPostCreation();
    /// Before the entity leaves its segment (Segment::deleteEntity).
    virtual void onPreDeletion();
    virtual std::wstring onToString() const;
    virtual void doInitializeMigrationHelpers();
    virtual void doUninitializeMigrationHelpers();

private:
    friend class Segment;

    Segment* m_segment;
    std::uint64_t m_id;
    std::atomic<bool> m_creating;
    bool m_migrating = false;
    std::vector<std::pair<const EntityMetaType*, unsigned>> m_versions;
};

} // namespace Brio
