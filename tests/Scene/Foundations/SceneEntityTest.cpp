#include <Brio/AddInMgr/AddInMgr.h>
#include <Brio/Base/StringConversion.h>
#include <Brio/Base/UniqueString.h>
#include <Brio/DataModel/Asset.h>
#include <Brio/DataModel/BlobSerializerTrigger.h>
#include <Brio/DataModel/MetaTypeManager.h>
#include <Brio/DataModel/Segment.h>
#include <Scene/Foundations/SceneEntity.h>
#include <Scene/Persistence/CircleGeometry.h>
#include <Scene/Persistence/LumoSerializer.h>
#include <Scene/Persistence/MeshGeometry.h>
#include <Scene/Persistence/SphereGeometry.h>
#include <Scene/View/ViewFragment.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <unistd.h>

using namespace Brio;
using namespace Brio::Scene;

namespace {

// Kinds of this test, built on the pattern the library's entities use.

struct GaugeMembers {
    double reading = 1.5;
    std::int32_t unit = 3;
};

class Gauge : public SceneEntity<Gauge, Entity, GaugeMembers> {
public:
    static constexpr const char* s_metaTypeId = "2D7C7E0A-6A3B-4B8E-9F14-0C5E8A1B9D01";
    static SceneEntityMetaType* s_metaType();
    static inline std::atomic<int> registrations{0};

    double reading() const { return members().reading; }
    void reading(double value) { members().reading = value; }

    // What onPostMigrate found when it started.
    bool seenMigrating = false;
    unsigned seenVersion = 0;

protected:
    friend SceneEntity;
    explicit Gauge(Segment* segment) : SceneEntity(segment) {}
    Gauge(Segment* segment, std::uint64_t id) : SceneEntity(segment, id) {}
    ~Gauge() override = default;
    static void registerMembers(MemberSet& set, GaugeMembers& m) {
        ++registrations;
        // Slow, so that other threads arrive while the set is being filled.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        set.addNewMember("reading", &m.reading);
        set.addNewMember("unit", &m.unit);
    }

public:
    void onPostMigrate() override {
        seenMigrating = migrating();
        seenVersion = version();
        SceneEntity::onPostMigrate();
    }
};
BRIO_SCENE_ENTITY_META_TYPE(Gauge, "GaugeMetaType", Entity::s_metaTypeId, 1)

struct DialMembers {
    std::wstring face = L"round";
};

class Dial : public SceneEntity<Dial, Gauge, DialMembers> {
public:
    static constexpr const char* s_metaTypeId = "2D7C7E0A-6A3B-4B8E-9F14-0C5E8A1B9D02";
    static SceneEntityMetaType* s_metaType();

    const std::wstring& face() const { return members().face; }
    void face(const std::wstring& text) { members().face = text; }
    unsigned dialVersionSeen = 0;

protected:
    friend SceneEntity;
    explicit Dial(Segment* segment) : SceneEntity(segment) {}
    Dial(Segment* segment, std::uint64_t id) : SceneEntity(segment, id) {}
    ~Dial() override = default;
    static void registerMembers(MemberSet& set, DialMembers& m) { set.addNewMember("face", &m.face); }

public:
    void onPostMigrate() override {
        dialVersionSeen = version();
        SceneEntity::onPostMigrate();
    }
};
BRIO_SCENE_ENTITY_META_TYPE(Dial, "DialMetaType", Gauge::s_metaTypeId, 2)

// Two kinds first used while "Scene" counts as a core add-in.
class CoreBase : public SceneEntity<CoreBase, Entity> {
public:
    static constexpr const char* s_metaTypeId = "2D7C7E0A-6A3B-4B8E-9F14-0C5E8A1B9D03";
    static SceneEntityMetaType* s_metaType();

protected:
    friend SceneEntity;
    explicit CoreBase(Segment* segment) : SceneEntity(segment) {}
    CoreBase(Segment* segment, std::uint64_t id) : SceneEntity(segment, id) {}
};
BRIO_SCENE_ENTITY_META_TYPE(CoreBase, "CoreBaseMetaType", Entity::s_metaTypeId, 1)

class CoreLeaf : public SceneEntity<CoreLeaf, CoreBase> {
public:
    static constexpr const char* s_metaTypeId = "2D7C7E0A-6A3B-4B8E-9F14-0C5E8A1B9D04";
    static SceneEntityMetaType* s_metaType();

protected:
    friend SceneEntity;
    explicit CoreLeaf(Segment* segment) : SceneEntity(segment) {}
    CoreLeaf(Segment* segment, std::uint64_t id) : SceneEntity(segment, id) {}
};
BRIO_SCENE_ENTITY_META_TYPE(CoreLeaf, "CoreLeafMetaType", CoreBase::s_metaTypeId, 2)

/// Sets a kind's current version for the length of a test.
class VersionOverride {
public:
    VersionOverride(EntityMetaType* type, unsigned version) : m_type(type), m_old(type->currentVersion()) {
        type->currentVersion(version);
    }
    ~VersionOverride() { m_type->currentVersion(m_old); }

private:
    EntityMetaType* m_type;
    unsigned m_old;
};

std::string scratchFile(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("brio-scene-entity-" + std::to_string(::getpid()) + "-" + name))
        .string();
}

std::vector<char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(SceneEntityTest, MetaTypesAreRegisteredAtLoadAsTabled) {
    struct Row {
        EntityMetaType* type;
        const char* id;
        const char* name;
        const char* baseId;
        int entityType;
        const char* className;
    };
    const char* entity = "98542EB9-A4F2-4137-A808-DBB5B3CD6159";
    const char* geometry = "0088A0D1-D93D-4F2A-823C-816822DA8FDA";
    const Row rows[] = {
        {ViewFragment::s_metaType(), "DD089E83-31FB-4CC8-8678-96730188BCF7", "ViewFragmentMetaType", entity, 2,
         "ViewFragment"},
        {Geometry::s_metaType(), geometry, "GeometryMetaType", entity, 1, "Geometry"},
        {MeshGeometry::s_metaType(), "770CFCDB-F7C7-4545-9C5D-8B4E0A70B927", "MeshGeometryMetaType", geometry, 2,
         "MeshGeometry"},
        {CircleGeometry::s_metaType(), "24D344C2-AE21-4514-AB79-D99535408C2D", "CircleGeometryMetaType", geometry, 2,
         "CircleGeometry"},
        {SphereGeometry::s_metaType(), "C6EB6942-A2EB-4288-B4E0-56D14408B5CA", "SphereGeometryMetaType", geometry, 2,
         "SphereGeometry"},
        {LumoSerializerBase::s_metaType(), "CC33853A-069B-4292-BC1B-059FE3A08E09", "LumoSerializerBaseMetaType",
         BlobSerializerTrigger::s_metaTypeId, 1, "LumoSerializerBase"},
        {LumoSerializer::s_metaType(), "AE9F7FB5-2798-4BE4-8905-F8FB42A07193", "LumoSerializerMetaType",
         "CC33853A-069B-4292-BC1B-059FE3A08E09", 2, "LumoSerializer"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(MetaTypeManager::get().find(row.id), row.type) << "registered under its id";
        EXPECT_EQ(row.type->name(), row.name);
        EXPECT_EQ(row.type->addInId(), "Scene");
        EXPECT_EQ(row.type->number(), 0);
        EXPECT_EQ(row.type->baseMetaType(), MetaTypeManager::get().find(row.baseId));
        EXPECT_NE(row.type->baseMetaType(), nullptr);
        EXPECT_STREQ(static_cast<SceneEntityMetaType*>(row.type)->className(), row.className);
        EXPECT_EQ(row.type->entityType(), row.entityType) << "\"Scene\" is not a core add-in here";
    }
}

TEST(SceneEntityTest, MembersAreRegisteredOnceWhateverTheThreads) {
    StrongRef<Segment> segment = Segment::makeStandalone(L"Gauges", false);
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    std::vector<StrongRef<Dial>> dials(8 * 20);
    std::atomic<int> incomplete{0};
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&, t] {
            while (!go)
                std::this_thread::yield();
            for (int i = 0; i < 20; ++i) {
                dials[t * 20 + i] = Dial::make(segment.getTarget());
                if (Gauge::memberSet().memberCount() != 2 || Dial::memberSet().memberCount() != 1)
                    ++incomplete;
            }
        });
    go = true;
    for (auto& thread : threads)
        thread.join();
    StrongRef<Gauge> another = Gauge::make(segment.getTarget());

    EXPECT_EQ(Gauge::registrations, 1);
    EXPECT_EQ(incomplete, 0) << "no entity is made before its member set is complete";
    MemberSet& gauges = Gauge::memberSet();
    MemberSet& dialsSet = Dial::memberSet();
    ASSERT_EQ(gauges.memberCount(), 2u);
    EXPECT_EQ(gauges.members()[0].name, "reading");
    EXPECT_EQ(gauges.members()[1].name, "unit");
    EXPECT_EQ(gauges.className(), "Gauge");
    ASSERT_EQ(dialsSet.memberCount(), 1u);
    EXPECT_EQ(dialsSet.baseMemberSet(), &gauges) << "linked through the meta type manager";
    EXPECT_EQ(gauges.baseMemberSet(), &Entity::s_metaType()->memberSet());
    EXPECT_EQ(segment->entityCount(), 161u);

    // Each level of a dial keeps its own record.
    Dial& dial = *dials[5];
    dial.reading(7.25);
    dial.face(L"square");
    EXPECT_EQ(*static_cast<double*>(dial.memberRecord(&gauges)), 7.25);
    EXPECT_EQ(*static_cast<std::wstring*>(dial.memberRecord(&dialsSet)), L"square");
    EXPECT_EQ(dial.memberRecord(&MeshGeometry::memberSet()), nullptr);
}

TEST(SceneEntityTest, BaseKindsAndMemberSetsOfTheLibrary) {
    StrongRef<Segment> segment = Segment::makeStandalone(L"S", false);
    StrongRef<MeshGeometry> mesh = MeshGeometry::make(segment.getTarget());
    StrongRef<LumoSerializer> serializer = LumoSerializer::make(segment.getTarget());
    StrongRef<ViewFragment> fragment = ViewFragment::make(segment.getTarget());

    EXPECT_EQ(MeshGeometry::memberSet().baseMemberSet(), &Geometry::memberSet());
    EXPECT_EQ(Geometry::memberSet().baseMemberSet(), &Entity::s_metaType()->memberSet());
    EXPECT_EQ(LumoSerializer::memberSet().baseMemberSet(), &LumoSerializerBase::memberSet());
    EXPECT_EQ(LumoSerializerBase::memberSet().baseMemberSet(), &BlobSerializerTrigger::s_metaType()->memberSet());
    EXPECT_EQ(ViewFragment::memberSet().className(), "ViewFragment");
    EXPECT_EQ(ViewFragment::memberSet().memberCount(), 0u);
    std::vector<std::string> keys;
    for (const auto& member : MeshGeometry::memberSet().members())
        keys.push_back(member.name + ":" + member.typeName);
    EXPECT_EQ(keys, (std::vector<std::string>{"format:EMeshFormat", "vertices:Point3f[]", "normals:Vector3f[]",
                                              "texCoords:Float2[]", "indices:int32[]"}));
    EXPECT_STREQ(MeshGeometry::memberSet().members()[0].valueType->name(), "int32");

    // Each class answers for its own kind and leaves the others to its base.
    Entity* asEntity = mesh.getTarget();
    EXPECT_EQ(asEntity->queryMTInterface(MeshGeometry::s_metaType()), asEntity);
    EXPECT_EQ(asEntity->queryMTInterface(Geometry::s_metaType()), asEntity);
    EXPECT_EQ(asEntity->queryMTInterface(Entity::s_metaType()), asEntity);
    EXPECT_EQ(asEntity->queryMTInterface(CircleGeometry::s_metaType()), nullptr);
    EXPECT_EQ(mesh->queryMTInterface(LumoSerializer::s_metaType()),
              mesh->Geometry::queryMTInterface(LumoSerializer::s_metaType()));
    EXPECT_EQ(serializer->queryMTInterface(BlobSerializerTrigger::s_metaType()), serializer.getTarget());
    EXPECT_EQ(serializer->queryMTInterface(Geometry::s_metaType()), nullptr);
    EXPECT_EQ(fragment->queryMTInterface(ViewFragment::s_metaType()), fragment.getTarget());
    EXPECT_EQ(mesh->metaType(), MeshGeometry::s_metaType());
    EXPECT_TRUE(mesh->toString().empty());
    EXPECT_EQ(mesh->migrationHelper(), nullptr);
    EXPECT_EQ(mesh->postMigrate(0), Entity::eMigrationDone);
    EXPECT_FALSE(mesh->deleteMigrationHelper());
}

TEST(SceneEntityTest, CoreAddInRaisesTheKindsFirstUsedUnderIt) {
    ASSERT_FALSE(CoreBase::memberSet().isInitialized()) << "this test must be the first to use these kinds";
    ASSERT_TRUE(AddInMgr::get().registerAddIn("Scene", true));
    StrongRef<Segment> segment = Segment::makeStandalone(L"S", true);
    CoreLeaf::make(segment.getTarget());
    AddInMgr::get().unregisterAddIn("Scene");
    EXPECT_EQ(CoreBase::s_metaType()->entityType(), 4);
    EXPECT_EQ(CoreLeaf::s_metaType()->entityType(), 4);

    // A kind first used while "Scene" is not core keeps its type.
    ASSERT_TRUE(AddInMgr::get().registerAddIn("Scene", false));
    StrongRef<Gauge> gauge = Gauge::make(segment.getTarget());
    AddInMgr::get().unregisterAddIn("Scene");
    EXPECT_EQ(Gauge::s_metaType()->entityType(), 1);
}

TEST(SceneEntityTest, OnlyEntitiesLoadedFromOlderSegmentsOfAMigratingDocumentMigrate) {
    VersionOverride newer(Gauge::s_metaType(), 3);
    StrongRef<Asset> asset = Asset::make();
    Segment* segment = asset->createSegment(L"Old");
    segment->persistedVersion(Gauge::s_metaType(), 1);
    EntityMetaType* gauges = Gauge::s_metaType();

    const auto load = [&](Segment* into, std::uint64_t id) {
        return StrongRef<Gauge>(dynamic_cast<Gauge*>(gauges->create(into, id).getTarget()));
    };
    EXPECT_FALSE(load(segment, 10)->migrating()) << "the document is not being loaded";

    asset->migrating(true);
    StrongRef<Gauge> loaded = load(segment, 11);
    EXPECT_TRUE(loaded->migrating());
    EXPECT_EQ(loaded->version(), 1u);
    EXPECT_FALSE(Gauge::make(segment)->migrating()) << "new entities are current";
    EXPECT_FALSE(load(asset->transientSegment(), 12)->migrating());
    StrongRef<Segment> loose = Segment::makeStandalone(L"Loose", false);
    EXPECT_FALSE(load(loose.getTarget(), 13)->migrating());
    Segment* current = asset->createSegment(L"Current");
    EXPECT_FALSE(load(current, 14)->migrating()) << "nothing recorded: current";
    asset->assetMigrating(true);
    EXPECT_FALSE(load(segment, 15)->migrating()) << "the whole document is converted instead";
    asset->assetMigrating(false);

    loaded->onPostMigrate();
    EXPECT_EQ(loaded->version(), 3u);
    loaded->version(2);
    EXPECT_EQ(loaded->migratingVersion(gauges), 2u);
}

TEST(SceneEntityTest, DocumentsOfOlderVersionsMigrateWhenLoaded) {
    const std::string path = scratchFile("old.brio");
    {
        StrongRef<Asset> asset = Asset::make(L"Gauges");
        Segment* segment = asset->createSegment(L"Main");
        StrongRef<Dial> dial = Dial::make(segment);
        dial->reading(42.5);
        dial->face(L"old face");
        Gauge::make(segment);
        ASSERT_TRUE(asset->save(path).isSuccess());
    }
    VersionOverride gaugeNow(Gauge::s_metaType(), 3);
    VersionOverride dialNow(Dial::s_metaType(), 2);
    StrongRef<Asset> asset = Asset::make();
    Status status = asset->load(path);
    ASSERT_TRUE(status.isSuccess()) << Utility::toUtf8(status.message());
    auto* dial = dynamic_cast<Dial*>(asset->segment(1)->entity(1));
    auto* gauge = dynamic_cast<Gauge*>(asset->segment(1)->entity(2));
    ASSERT_TRUE(dial && gauge);
    EXPECT_TRUE(dial->seenMigrating && gauge->seenMigrating) << "marked while loading";
    EXPECT_EQ(dial->seenVersion, 1u);
    EXPECT_EQ(dial->dialVersionSeen, 1u);
    EXPECT_EQ(gauge->seenVersion, 1u);
    EXPECT_EQ(dial->Gauge::version(), 3u) << "each class brought its own version up";
    EXPECT_EQ(dial->version(), 2u);
    EXPECT_EQ(gauge->version(), 3u);
    EXPECT_FALSE(dial->migrating());
    EXPECT_EQ(dial->reading(), 42.5) << "the older data was read";
    EXPECT_EQ(dial->face(), L"old face");

    // A document of a newer version than this one is refused.
    const std::string newer = scratchFile("newer.brio");
    ASSERT_TRUE(asset->save(newer).isSuccess());
    VersionOverride older(Gauge::s_metaType(), 2);
    EXPECT_EQ(Asset::make()->load(newer).code(), Asset::eNewerDocument);
    std::filesystem::remove(path);
    std::filesystem::remove(newer);
}

TEST(SceneEntityTest, TheLibrarysEntitiesRoundTripThroughADocument) {
    const std::string first = scratchFile("first.brio"), second = scratchFile("second.brio");
    {
        StrongRef<Asset> asset = Asset::make(L"Scene entities");
        Segment* segment = asset->createSegment(L"Main");
        StrongRef<MeshGeometry> mesh = MeshGeometry::make(segment);
        mesh->format(MeshGeometry::eTriangles);
        mesh->setVertices({Point3f(0, 0, 0), Point3f(1, 0, 0), Point3f(0, 1, 0.1f)});
        mesh->setNormals({Vector3f(0, 0, 1), Vector3f(0, 0, 1), Vector3f(0, 0.1f, 0.99f)});
        mesh->setTexCoords({Float2(0, 0), Float2(1, 0), Float2(0, 1)});
        mesh->setIndices({0, 1, 2});
        CircleGeometry::make(segment);
        SphereGeometry::make(segment);
        Geometry::make(segment);
        ViewFragment::make(segment);
        LumoSerializerBase::make(segment);
        StrongRef<LumoSerializer> serializer = LumoSerializer::make(segment);
        segment->addRoot(L"LumoSerializer", serializer.getTarget());
        ASSERT_TRUE(asset->save(first).isSuccess());
    }
    StrongRef<Asset> asset = Asset::make();
    ASSERT_TRUE(asset->load(first).isSuccess());
    ASSERT_TRUE(asset->save(second).isSuccess());
    EXPECT_EQ(readFile(first), readFile(second));

    Segment* segment = asset->segment(1);
    const EntityMetaType* kinds[] = {MeshGeometry::s_metaType(),   CircleGeometry::s_metaType(),
                                     SphereGeometry::s_metaType(), Geometry::s_metaType(),
                                     ViewFragment::s_metaType(),   LumoSerializerBase::s_metaType(),
                                     LumoSerializer::s_metaType()};
    ASSERT_EQ(segment->entityCount(), std::size(kinds));
    for (std::size_t i = 0; i < std::size(kinds); ++i)
        EXPECT_EQ(segment->entity(i + 1)->metaType(), kinds[i]) << i;
    EXPECT_EQ(segment->root(L"LumoSerializer"), segment->entity(7));
    auto* mesh = dynamic_cast<MeshGeometry*>(segment->entity(1));
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->format(), MeshGeometry::eTriangles);
    EXPECT_EQ(mesh->getVertices()[2], Point3f(0, 1, 0.1f));
    EXPECT_EQ(mesh->getNormals()[2], Vector3f(0, 0.1f, 0.99f));
    EXPECT_EQ(mesh->getTexCoords()[1], Float2(1, 0));
    EXPECT_EQ(mesh->getIndices(), (std::vector<int>{0, 1, 2}));
    std::filesystem::remove(first);
    std::filesystem::remove(second);
}
