#pragma once
#include <Brio/DataModel/Entity.h>

namespace Brio {

/// Base of the entities through which an add-in learns that a document is about to be saved
/// or was loaded, so that its blob serializer writes or reads the add-in's blobs. Persists
/// nothing of its own.
class BlobSerializerTrigger : public Entity {
public:
    static constexpr const char* s_metaTypeId = "4F0C2B7E-8D1A-4E59-A3C6-71B9E05D2F48";
    static EntityMetaType* s_metaType();

    const EntityMetaType* metaType() const override;
    Entity* queryMTInterface(const EntityMetaType* metaType) override;

protected:
    explicit BlobSerializerTrigger(Segment* segment);
    BlobSerializerTrigger(Segment* segment, std::uint64_t persistedId);
    ~BlobSerializerTrigger() override;

private:
    friend class BlobSerializerTriggerMetaType;
    void initializeMemberSetIfNeeded();
};

} // namespace Brio
