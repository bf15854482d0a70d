#include <Scene/Foundations/SceneEntity.h>

#include <Brio/AddInMgr/AddInMgr.h>
#include <Brio/Base/ScopedLockBase.h>
#include <Brio/DataModel/Asset.h>
#include <Brio/DataModel/MetaTypeManager.h>
#include <Brio/DataModel/Segment.h>
#include <Scene/Foundations/SceneAddInIdentifier.h>

namespace Brio::Scene {

void initializeMemberSetIfNeeded(Entity* entity, SceneEntityMetaType* metaType,
                                 void (*registerMembers)(MemberSet& set, void* record), void* record) {
    MemberSet& set = metaType->memberSet();
    {
        const bool locking = ScopedLockBase::lockingInForce(0);
        ReaderWriterMutex::ScopedLock lock;
        if (locking)
            lock.acquire(set.mutex(), false);
        if (!set.isInitialized()) {
            // Another thread may fill the set while the upgrade lets go: test again.
            if (locking)
                lock.upgradeToWriter();
            if (!set.isInitialized()) {
                const AddInMgr& addIns = AddInMgr::get();
                if (addIns.isKnown(SceneAddInIdentifier()) && addIns.isCoreAddIn(SceneAddInIdentifier()))
                    metaType->entityType(4);
                set.initialize(entity, metaType->className());
                registerMembers(set, record);
                if (EntityMetaType* base = MetaTypeManager::get().find(metaType->baseId()))
                    set.baseMemberSet(&base->memberSet());
            }
        }
    }

    if (entity->creating())
        return;
    Segment* segment = entity->segment();
    if (!segment || segment->transient() || segment->standalone())
        return;
    Asset* asset = segment->asset();
    if (!asset || !asset->migrating() || asset->assetMigrating())
        return;
    const unsigned persisted = segment->persistedVersion(metaType);
    if (persisted < metaType->currentVersion()) {
        entity->migratingVersion(metaType, persisted);
        metaType->migrate(set, persisted);
        entity->migrating(true);
    }
}

} // namespace Brio::Scene
