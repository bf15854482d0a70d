#pragma once
#include <Brio/Base/RefCounted.h>
#include <Brio/Base/StrongRef.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Brio {

class Asset;
class Entity;
class EntityMetaType;

/// A part of a document holding entities by id, some of them named roots. It remembers, per
/// meta type, the version its entities were persisted at, so that entities loaded from it know
/// whether to migrate. A transient segment is never saved; a standalone one belongs to no
/// document. The segment holds its entities; when it goes, the references between its
/// entities are cleared so that they can go too.
class Segment : public RefCounted {
public:
    /// A segment outside any document.
    static StrongRef<Segment> makeStandalone(const std::wstring& name, bool transient);

    /// Unique within the document (0 for a standalone segment).
    std::uint32_t id() const;
    const std::wstring& name() const;
    bool transient() const;
    bool standalone() const;
    /// The document; null for a standalone segment and after the document let it go.
    Asset* asset() const;

    Entity* entity(std::uint64_t id) const;
    /// Every entity that completed creation or was loaded, ordered by id.
    std::vector<StrongRef<Entity>> entities() const;
    std::size_t entityCount() const;
    /// Runs onPreDeletion, tells the callbacks (eDeleted), and removes the entity and any root
    /// naming it. The entity lives on while others hold it. False when it is not here.
    bool deleteEntity(Entity* entity);

    /// A named entry point into the segment (for example the document's scene serializer).
    Entity* root(const std::wstring& name) const;
    /// False when `entity` is not in this segment; replaces a root of the same name.
    bool addRoot(const std::wstring& name, Entity* entity);
    bool removeRoot(const std::wstring& name);
    /// Ordered by name.
    std::vector<std::wstring> rootNames() const;

    /// The version of `metaType` this segment's data was persisted at; the current version
    /// when the segment recorded none.
    unsigned persistedVersion(const EntityMetaType* metaType) const;
    void persistedVersion(const EntityMetaType* metaType, unsigned version);

private:
    friend class Asset;
    friend class Entity;
    friend class DocumentCodec;

    Segment(Asset* asset, std::uint32_t id, std::wstring name, bool transient, bool standalone);
    ~Segment() override;

    std::uint64_t allocateEntityId();
    /// Ids below the next one are taken; new entities get ids above `id`.
    void reserveEntityId(std::uint64_t id);
    std::uint64_t nextEntityId() const;
    /// False when the id is taken.
    bool insert(Entity* entity);
    void detachFromAsset();

    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Brio
