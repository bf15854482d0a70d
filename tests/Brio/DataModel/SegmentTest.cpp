#include "DataModelTestSupport.h"

#include <Brio/Base/UniqueString.h>
#include <Brio/DataModel/Asset.h>

#include <thread>

using namespace DataModelTest;

TEST(SegmentTest, EntitiesJoinTheirSegmentWhenCreated) {
    StrongRef<Segment> segment = Segment::makeStandalone(L"Loose", true);
    EXPECT_TRUE(segment->standalone());
    EXPECT_TRUE(segment->transient());
    EXPECT_EQ(segment->asset(), nullptr);
    StrongRef<Sample> a = Sample::make(segment.getTarget());
    StrongRef<Sample> b = Sample::make(segment.getTarget());
    EXPECT_EQ(a->id(), 1u);
    EXPECT_EQ(b->id(), 2u);
    EXPECT_FALSE(a->creating());
    EXPECT_EQ(segment->entity(2), b.getTarget());
    a->postCreation(1);
    EXPECT_EQ(segment->entityCount(), 2u) << "creation completes once";

    StrongRef<Segment> elsewhere = Segment::makeStandalone(L"Elsewhere", false);
    EXPECT_FALSE(segment->addRoot(L"R", nullptr));
    EXPECT_FALSE(elsewhere->addRoot(L"R", a.getTarget())) << "roots are the segment's own entities";
    EXPECT_TRUE(segment->addRoot(L"R", a.getTarget()));
    EXPECT_TRUE(segment->addRoot(L"R", b.getTarget()));
    EXPECT_EQ(segment->root(L"R"), b.getTarget());
    EXPECT_EQ(segment->rootNames(), std::vector<std::wstring>{L"R"});
}

TEST(SegmentTest, DeletingRunsPreDeletionAndDropsTheRoot) {
    StrongRef<Segment> segment = Segment::makeStandalone(L"S", false);
    StrongRef<Sample> sample = Sample::make(segment.getTarget());
    segment->addRoot(L"Top", sample.getTarget());
    const int before = Sample::preDeletions;
    EXPECT_TRUE(segment->deleteEntity(sample.getTarget()));
    EXPECT_EQ(Sample::preDeletions, before + 1);
    EXPECT_EQ(segment->entity(sample->id()), nullptr);
    EXPECT_EQ(segment->root(L"Top"), nullptr);
    EXPECT_TRUE(segment->rootNames().empty());
    EXPECT_FALSE(segment->deleteEntity(sample.getTarget()));
    EXPECT_EQ(Sample::preDeletions, before + 1);
    EXPECT_EQ(sample->refCount(), 1) << "the entity lives on with whoever holds it";
}

TEST(SegmentTest, ClosingASegmentFreesEntitiesThatReferToEachOther) {
    const int before = Sample::alive;
    {
        StrongRef<Segment> segment = Segment::makeStandalone(L"S", false);
        StrongRef<Sample> a = Sample::make(segment.getTarget());
        StrongRef<Sample> b = Sample::make(segment.getTarget());
        a->m.links = {StrongRef<Entity>(b), StrongRef<Entity>(a)};
        b->m.links = {StrongRef<Entity>(a)};
    }
    EXPECT_EQ(Sample::alive, before);

    StrongRef<Sample> survivor;
    {
        StrongRef<Segment> segment = Segment::makeStandalone(L"S", false);
        survivor = Sample::make(segment.getTarget());
    }
    EXPECT_EQ(survivor->segment(), nullptr) << "an entity outliving its segment is told";
}

TEST(SegmentTest, VersionsAndInterfacesOfEntities) {
    StrongRef<Asset> asset = Asset::make();
    Segment* segment = asset->createSegment(L"S");
    EXPECT_EQ(segment->id(), 1u);
    EXPECT_EQ(segment->asset(), asset.getTarget());
    EXPECT_FALSE(segment->standalone());
    EXPECT_EQ(asset->transientSegment()->id(), Asset::kTransientSegmentId);
    EXPECT_EQ(asset->segment(Asset::kTransientSegmentId), asset->transientSegment());

    EntityMetaType* type = Sample::s_metaType();
    EXPECT_EQ(segment->persistedVersion(type), type->currentVersion()) << "nothing recorded: current";
    segment->persistedVersion(type, 0);
    EXPECT_EQ(segment->persistedVersion(type), 0u);

    StrongRef<Sample> sample = Sample::make(segment);
    EXPECT_EQ(sample->asset(), asset.getTarget());
    EXPECT_EQ(sample->migratingVersion(type), type->currentVersion());
    sample->migratingVersion(type, 7);
    sample->migratingVersion(Entity::s_metaType(), 3);
    EXPECT_EQ(sample->migratingVersion(type), 7u);
    EXPECT_EQ(sample->migratingVersion(Entity::s_metaType()), 3u);

    EXPECT_EQ(sample->queryMTInterface(type), sample.getTarget());
    EXPECT_EQ(sample->queryMTInterface(Entity::s_metaType()), sample.getTarget()) << "answered by the base";
    EntityMetaType unrelated("Test", "F00D0000-0000-0000-0000-0000000000AA", "Unrelated", 0, nullptr, 2);
    EXPECT_EQ(sample->queryMTInterface(&unrelated), nullptr);
    EXPECT_EQ(sample->queryInterface(Entity::interfaceId()), static_cast<Entity*>(sample.getTarget()));
    EXPECT_EQ(sample->queryInterface(UniqueString::find(L"Brio::Nothing")), nullptr);
    EXPECT_TRUE(sample->toString().empty());
}

TEST(SegmentTest, EntitiesMadeOnManyThreadsGetDistinctIds) {
    StrongRef<Segment> segment = Segment::makeStandalone(L"S", false);
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 200; ++i)
                Sample::make(segment.getTarget());
        });
    for (auto& thread : threads)
        thread.join();
    const auto entities = segment->entities();
    ASSERT_EQ(entities.size(), 1600u);
    EXPECT_EQ(entities.front()->id(), 1u);
    EXPECT_EQ(entities.back()->id(), 1600u);
}
