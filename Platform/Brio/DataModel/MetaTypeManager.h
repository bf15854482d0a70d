#pragma once
#include <memory>
#include <string_view>
#include <vector>

namespace Brio {

class EntityMetaType;
class UniqueString;

/// The process-wide registry of entity meta types by id. Meta types register themselves when
/// constructed and leave when destroyed.
class MetaTypeManager {
public:
    static MetaTypeManager& get();

    /// False, registering nothing, when the id is taken or the meta type is null.
    bool registerMetaType(EntityMetaType* metaType);
    /// Only removes `metaType` itself, never another one registered under its id.
    void unregisterMetaType(EntityMetaType* metaType);

    EntityMetaType* find(const UniqueString* id) const;
    /// By id text; does not intern a text that names no meta type.
    EntityMetaType* find(std::string_view idText) const;
    /// Every registered meta type, ordered by id text.
    std::vector<EntityMetaType*> metaTypes() const;

    MetaTypeManager(const MetaTypeManager&) = delete;
    MetaTypeManager& operator=(const MetaTypeManager&) = delete;

private:
    MetaTypeManager();
    ~MetaTypeManager();
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Brio
