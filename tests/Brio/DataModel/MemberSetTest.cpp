#include "DataModelTestSupport.h"

#include <Brio/Base/UniqueString.h>
#include <Brio/DataModel/DataModelCallback.h>
#include <Brio/DataModel/MetaTypeManager.h>

#include <cstddef>

using namespace DataModelTest;

namespace {

enum class Shade : std::int32_t { eLight = 1, eDark = 2 };

struct Record {
    double first = 0;
    Shade shade = Shade::eLight;
    std::vector<Point3f> points;
};

/// An entity whose record sits wherever the test puts it.
class Holder : public Entity {
public:
    Holder(Record* record, MemberSet* set) : Entity(nullptr), m_record(record), m_set(set) {}
    void* memberRecord(const MemberSet* set) override { return set == m_set ? m_record : nullptr; }

private:
    Record* m_record;
    MemberSet* m_set;
};

} // namespace

TEST(MemberSetTest, MembersAreRegisteredOnceByOffsetInTheRecord) {
    MemberSet set;
    struct {
        double before = 0;
        Record record;
    } outer;
    Record& record = outer.record;
    StrongRef<Holder> holder(new Holder(&record, &set));
    EXPECT_FALSE(set.addNewMember("first", &record.first)) << "not before initialize";
    EXPECT_TRUE(set.initialize(holder.getTarget(), "Holder"));
    EXPECT_FALSE(set.initialize(holder.getTarget(), "Again"));
    EXPECT_EQ(set.className(), "Holder");
    EXPECT_TRUE(set.addNewMember("first", &record.first));
    EXPECT_TRUE(set.addNewMember("shade", &record.shade, "Shade"));
    EXPECT_TRUE(set.addNewMember("points", &record.points));
    EXPECT_FALSE(set.addNewMember("first", &record.points)) << "names are unique";
    EXPECT_FALSE(set.addNewMember("before", &outer.before)) << "fields lie within the record";
    EXPECT_FALSE(set.addNewMember("untyped", &record.first, "double", nullptr));
    ASSERT_EQ(set.memberCount(), 3u);
    EXPECT_EQ(set.members()[1].offset, offsetof(Record, shade));
    EXPECT_EQ(set.members()[1].typeName, "Shade");
    EXPECT_STREQ(set.members()[1].valueType->name(), "int32") << "enumerations are stored as their 32 bits";
    EXPECT_EQ(set.members()[2].typeName, "Point3f[]");
    EXPECT_EQ(set.findMember("points"), &set.members()[2]);
    EXPECT_EQ(set.findMember("none"), nullptr);

    // The offsets reach the same fields of another entity's record.
    Record other;
    other.shade = Shade::eDark;
    const MemberSet::Member& shade = *set.findMember("shade");
    EXPECT_EQ(shade.valueType->toText(reinterpret_cast<char*>(&other) + shade.offset), "2");
}

TEST(MemberSetTest, MetaTypesAreFoundByIdAndKeepTheirPlace) {
    MetaTypeManager& manager = MetaTypeManager::get();
    EXPECT_EQ(manager.find(UniqueString::find(Sample::s_metaTypeId)), Sample::s_metaType());
    EXPECT_EQ(manager.find(Sample::s_metaTypeId), Sample::s_metaType());
    EXPECT_EQ(Sample::s_metaType()->baseMetaType(), Entity::s_metaType());
    EXPECT_TRUE(Sample::s_metaType()->isA(Entity::s_metaType()));
    EXPECT_FALSE(Entity::s_metaType()->isA(Sample::s_metaType()));
    EXPECT_EQ(Entity::s_metaType()->baseMetaType(), nullptr);

    const char* unusedId = "F00D0000-0000-0000-0000-00000000BEEF";
    EXPECT_EQ(manager.find(unusedId), nullptr);
    EXPECT_EQ(UniqueString::find(unusedId, false), nullptr) << "looking up does not intern";
    {
        EntityMetaType impostor("Test", Sample::s_metaTypeId, "Impostor", 0, nullptr, 2);
        EXPECT_FALSE(impostor.registered());
        EXPECT_EQ(manager.find(Sample::s_metaTypeId), Sample::s_metaType());
        EntityMetaType fresh("Test", "F00D0000-0000-0000-0000-00000000CAFE", "Fresh", 0, Sample::s_metaTypeId, 2);
        EXPECT_TRUE(fresh.registered());
        EXPECT_TRUE(fresh.isA(Entity::s_metaType()));
        const auto all = manager.metaTypes();
        EXPECT_NE(std::find(all.begin(), all.end(), &fresh), all.end());
        EXPECT_TRUE(std::is_sorted(all.begin(), all.end(), [](const EntityMetaType* a, const EntityMetaType* b) {
            return a->id()->text() < b->id()->text();
        }));
    }
    EXPECT_EQ(manager.find(Sample::s_metaTypeId), Sample::s_metaType()) << "the impostor took nothing with it";
    EXPECT_EQ(manager.find("F00D0000-0000-0000-0000-00000000CAFE"), nullptr);
}

TEST(MemberSetTest, CallbacksOnABaseKindHearItsDescendants) {
    struct Log : DataModelCallback {
        std::vector<std::pair<EEvent, Entity*>> events;
        void notify(EEvent event, Entity* entity) override { events.emplace_back(event, entity); }
    } onBase, onSample;
    Entity::s_metaType()->addCallback(&onBase, DataModelCallback::eChanged);
    Sample::s_metaType()->addCallback(&onSample, DataModelCallback::eCreated);
    Sample::s_metaType()->addCallback(&onSample, DataModelCallback::eChanged | DataModelCallback::eDeleted);
    StrongRef<Segment> segment = Segment::makeStandalone(L"S", false);
    StrongRef<Sample> sample = Sample::make(segment.getTarget());
    sample->changed();
    segment->deleteEntity(sample.getTarget());
    Entity::s_metaType()->removeCallback(&onBase);
    Sample::s_metaType()->removeCallback(&onSample);
    sample->changed();

    using E = DataModelCallback;
    EXPECT_EQ(onBase.events, (std::vector<std::pair<E::EEvent, Entity*>>{{E::eChanged, sample.getTarget()}}));
    EXPECT_EQ(onSample.events, (std::vector<std::pair<E::EEvent, Entity*>>{{E::eChanged, sample.getTarget()},
                                                                           {E::eDeleted, sample.getTarget()}}))
        << "adding a callback again replaces its events";
}
