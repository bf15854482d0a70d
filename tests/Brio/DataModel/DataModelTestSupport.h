#pragma once
// A sample entity kind persisting a member of every stored type, and a scratch folder.
#include <Brio/DataModel/Entity.h>
#include <Brio/DataModel/EntityMetaType.h>
#include <Brio/DataModel/MemberSet.h>
#include <Brio/DataModel/Segment.h>
#include <Brio/Types/Color.h>
#include <Brio/Types/Float2.h>
#include <Brio/Types/Point3f.h>
#include <Brio/Types/Vector3f.h>
#include <ZoGe/ZoGePoint3d.h>
#include <ZoGe/ZoGeVector3d.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace DataModelTest {

using namespace Brio;

struct SampleMembers {
    bool flag = false;
    std::int32_t count = -1;
    std::uint32_t mask = 0;
    std::int64_t big = 0;
    std::uint64_t handle = 0;
    float weight = 0.5f;
    double length = 2.0;
    std::wstring label;
    Color tint;
    Float2 uv;
    Point3f corner;
    Vector3f normal;
    ZoGePoint3d origin;
    ZoGeVector3d axis;
    std::vector<Point3f> points;
    std::vector<std::int32_t> indices;
    std::vector<double> samples;
    std::vector<StrongRef<Entity>> links; // declared as the base: any entity may be linked
};

/// An entity kind with a member of every stored type.
class Sample : public Entity {
public:
    static constexpr const char* s_metaTypeId = "5A3E61C0-0B7D-4C55-9E42-6D1F0A8B2C77";

    class MetaType : public EntityMetaType {
    public:
        MetaType() : EntityMetaType("Test", s_metaTypeId, "SampleMetaType", 0, Entity::s_metaTypeId, 2) {}
        StrongRef<Entity> create(Segment* segment, std::uint64_t id) override {
            return StrongRef<Entity>(new Sample(segment, id));
        }
    };
    static EntityMetaType* s_metaType() {
        static MetaType type;
        return &type;
    }
    static StrongRef<Sample> make(Segment* segment) {
        StrongRef<Sample> sample(new Sample(segment));
        sample->postCreation(1);
        return sample;
    }

    const EntityMetaType* metaType() const override { return s_metaType(); }
    Entity* queryMTInterface(const EntityMetaType* type) override {
        return type == s_metaType() ? this : Entity::queryMTInterface(type);
    }
    void* memberRecord(const MemberSet* set) override {
        return set == &s_metaType()->memberSet() ? &m : Entity::memberRecord(set);
    }

    SampleMembers m;
    static inline std::atomic<int> alive{0};
    static inline std::atomic<int> preDeletions{0};

protected:
    explicit Sample(Segment* segment) : Entity(segment) { initialize(); }
    Sample(Segment* segment, std::uint64_t id) : Entity(segment, id) { initialize(); }
    ~Sample() override { --alive; }
    void onPreDeletion() override { ++preDeletions; }

private:
    void initialize() {
        ++alive;
        MemberSet& set = s_metaType()->memberSet();
        ReaderWriterMutex::ScopedLock lock(set.mutex(), true);
        if (set.isInitialized())
            return;
        set.initialize(this, "Sample");
        set.addNewMember("flag", &m.flag);
        set.addNewMember("count", &m.count);
        set.addNewMember("mask", &m.mask);
        set.addNewMember("big", &m.big);
        set.addNewMember("handle", &m.handle);
        set.addNewMember("weight", &m.weight);
        set.addNewMember("length", &m.length);
        set.addNewMember("label", &m.label);
        set.addNewMember("tint", &m.tint);
        set.addNewMember("uv", &m.uv);
        set.addNewMember("corner", &m.corner);
        set.addNewMember("normal", &m.normal);
        set.addNewMember("origin", &m.origin);
        set.addNewMember("axis", &m.axis);
        set.addNewMember("points", &m.points);
        set.addNewMember("indices", &m.indices);
        set.addNewMember("samples", &m.samples);
        set.addNewMember("links", &m.links);
        set.baseMemberSet(&Entity::s_metaType()->memberSet());
    }
};

// Known to the meta type manager before any document is loaded.
inline const EntityMetaType* const kSampleRegistered = Sample::s_metaType();

/// Fills every member with values that are easy to get wrong in a text form.
inline void fill(Sample& s, int seed) {
    SampleMembers& m = s.m;
    m.flag = true;
    m.count = -2147483647 - 1 + seed;
    m.mask = 0xFFFFFFFFu - seed;
    m.big = -9007199254740993LL * (seed + 1);
    m.handle = 0xFFFFFFFFFFFFFFFFull - seed;
    m.weight = 0.1f * seed + 1e-38f; // denormal-adjacent and not a short decimal
    m.length = 1.0 / 3.0 + seed;
    m.label = L"  line one\nline \"two\"\t\\ <&> \u00e9\u4e2d " + std::to_wstring(seed);
    m.tint = Color(0.25f, 1.0f / 3.0f, -0.0f, 0.75f);
    m.uv = Float2(1e-7f, 3.5e7f);
    m.corner = Point3f(1.5f, -2.25f, 1e30f);
    m.normal = Vector3f(0.0f, 0.70710677f, 0.70710677f);
    m.origin = ZoGePoint3d(0.1, 0.2, 0.30000000000000004);
    m.axis = ZoGeVector3d(-1e-300, 5e-324, 1.7976931348623157e308);
    m.points = {Point3f(0, 0, 0), Point3f(1, 2, 3), Point3f(-4.5f, 1e-3f, 7)};
    m.indices = {0, 2, 1, -7, seed};
    m.samples = {};
}

inline void expectSameMembers(const SampleMembers& a, const SampleMembers& b) {
    EXPECT_EQ(a.flag, b.flag);
    EXPECT_EQ(a.count, b.count);
    EXPECT_EQ(a.mask, b.mask);
    EXPECT_EQ(a.big, b.big);
    EXPECT_EQ(a.handle, b.handle);
    EXPECT_EQ(a.weight, b.weight);
    EXPECT_EQ(a.length, b.length);
    EXPECT_EQ(a.label, b.label);
    EXPECT_EQ(a.tint, b.tint);
    EXPECT_EQ(std::signbit(a.tint.blue()), std::signbit(b.tint.blue())) << "negative zero keeps its sign";
    EXPECT_EQ(a.uv, b.uv);
    EXPECT_EQ(a.corner, b.corner);
    EXPECT_EQ(a.normal, b.normal);
    EXPECT_TRUE(a.origin.x == b.origin.x && a.origin.y == b.origin.y && a.origin.z == b.origin.z);
    EXPECT_TRUE(a.axis.x == b.axis.x && a.axis.y == b.axis.y && a.axis.z == b.axis.z);
    EXPECT_EQ(a.points, b.points);
    EXPECT_EQ(a.indices, b.indices);
    EXPECT_EQ(a.samples, b.samples);
}

/// A fresh folder for the files of one test, removed afterwards.
class ScratchDir {
public:
    ScratchDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path = std::filesystem::temp_directory_path() / ("brio-dm-" + std::string(info->test_suite_name()) + "-" +
                                                           info->name() + "-" + std::to_string(::getpid()));
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~ScratchDir() { std::filesystem::remove_all(m_path); }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

inline std::vector<char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

inline void writeFile(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace DataModelTest
