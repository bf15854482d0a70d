#pragma once
#include <cstdint>

namespace Brio {

class Entity;

/// Told by the data model about entities of the meta types it is registered on
/// (EntityMetaType::addCallback): after a document is loaded, around its save, and when
/// entities are created, deleted or changed.
class DataModelCallback {
public:
    enum EEvent : std::uint32_t {
        eAfterLoad = 0x1,  ///< the document holding the entity was loaded
        eBeforeSave = 0x2, ///< the document holding the entity is about to be saved
        eAfterSave = 0x4,  ///< ... and was saved
        eCreated = 0x8,    ///< postCreation ran
        eDeleted = 0x10,   ///< the entity is leaving its segment
        eChanged = 0x20,   ///< Entity::changed
    };

    virtual ~DataModelCallback();
    /// One event for one entity. An exception thrown before a save or after a load fails that
    /// save or load.
    virtual void notify(EEvent event, Entity* entity) = 0;
};

} // namespace Brio
