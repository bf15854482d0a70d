#pragma once
#include <Brio/Base/StrongRef.h>
#include <Brio/DataModel/MemberSet.h>

#include <cstdint>
#include <memory>
#include <string>

namespace Brio {

class DataModelCallback;
class Entity;
class Segment;
class UniqueString;

/// The class of a kind of entity as the data model knows it: identified by a GUID text,
/// owned by an add-in, with the member set its entities persist, its current version, a way
/// to construct an entity when a document is loaded, and the data-model callbacks that
/// watch its entities. Registers itself with the MetaTypeManager for its lifetime; meta types
/// are process-wide objects made when their library loads.
class EntityMetaType {
public:
    /// `number` is kept for the host's use; `entityType` classifies the kind (1 a base that
    /// others extend, 2 a concrete kind, 4 a kind of a core add-in).
    EntityMetaType(const char* addInId, const char* metaTypeId, const char* name, int number,
                   const char* baseMetaTypeId, int entityType);
    virtual ~EntityMetaType();
    EntityMetaType(const EntityMetaType&) = delete;
    EntityMetaType& operator=(const EntityMetaType&) = delete;

    /// Constructs an entity of this kind in `segment` under an id read from a document, without
    /// postCreation. Kinds that cannot be loaded answer null.
    virtual StrongRef<Entity> create(Segment* segment, std::uint64_t persistedId);
    /// Prepares `members` for reading an entity persisted at the older `version`; called for
    /// each such entity while it is constructed. Does nothing unless a kind needs it.
    virtual void migrate(MemberSet& members, unsigned version);

    const std::string& addInId() const;
    const UniqueString* id() const;
    const std::string& name() const;
    int number() const;
    /// Null for the root kind.
    const UniqueString* baseId() const;
    /// The base kind through the MetaTypeManager; null when none is registered.
    EntityMetaType* baseMetaType() const;
    int entityType() const;
    void entityType(int type);
    /// Version written with documents; 1 unless set.
    unsigned currentVersion() const;
    void currentVersion(unsigned version);
    /// Whether this kind is `other` or extends it.
    bool isA(const EntityMetaType* other) const;

    MemberSet& memberSet();
    const MemberSet& memberSet() const;

    /// Tells `callback` about the events (DataModelCallback::EEvent bits) of entities of this
    /// kind and of kinds that extend it. Adding it again replaces its event mask.
    void addCallback(DataModelCallback* callback, std::uint32_t events);
    void removeCallback(DataModelCallback* callback);
    /// Calls every interested callback registered on this kind or a base of it.
    void notify(std::uint32_t event, Entity* entity) const;
    /// False when another meta type with the same id was registered first.
    bool registered() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Brio
