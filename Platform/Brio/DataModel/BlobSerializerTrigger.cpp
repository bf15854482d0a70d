#include <Brio/DataModel/BlobSerializerTrigger.h>

#include <Brio/Base/ScopedLockBase.h>
#include <Brio/DataModel/EntityMetaType.h>

namespace Brio {

class BlobSerializerTriggerMetaType final : public EntityMetaType {
public:
    BlobSerializerTriggerMetaType()
        : EntityMetaType("Brio", BlobSerializerTrigger::s_metaTypeId, "BlobSerializerTriggerMetaType", 0,
                         Entity::s_metaTypeId, 1) {}
    StrongRef<Entity> create(Segment* segment, std::uint64_t persistedId) override {
        return StrongRef<Entity>(new BlobSerializerTrigger(segment, persistedId));
    }
};

EntityMetaType* BlobSerializerTrigger::s_metaType() {
    static BlobSerializerTriggerMetaType metaType;
    return &metaType;
}

namespace {
[[maybe_unused]] const EntityMetaType* const s_registered = BlobSerializerTrigger::s_metaType();
} // namespace

BlobSerializerTrigger::BlobSerializerTrigger(Segment* segment) : Entity(segment) {
    initializeMemberSetIfNeeded();
}

BlobSerializerTrigger::BlobSerializerTrigger(Segment* segment, std::uint64_t persistedId)
    : Entity(segment, persistedId) {
    initializeMemberSetIfNeeded();
}

BlobSerializerTrigger::~BlobSerializerTrigger() = default;

void BlobSerializerTrigger::initializeMemberSetIfNeeded() {
    MemberSet& set = s_metaType()->memberSet();
    const bool locking = ScopedLockBase::lockingInForce(0);
    ReaderWriterMutex::ScopedLock lock;
    if (locking)
        lock.acquire(set.mutex(), false);
    if (set.isInitialized())
        return;
    if (locking)
        lock.upgradeToWriter();
    if (!set.isInitialized()) {
        set.initialize(this, "BlobSerializerTrigger");
        set.baseMemberSet(&Entity::s_metaType()->memberSet());
    }
}

const EntityMetaType* BlobSerializerTrigger::metaType() const {
    return s_metaType();
}

Entity* BlobSerializerTrigger::queryMTInterface(const EntityMetaType* metaType) {
    return metaType == s_metaType() ? this : Entity::queryMTInterface(metaType);
}

} // namespace Brio
