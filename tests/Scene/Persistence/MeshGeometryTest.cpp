#include <Brio/DataModel/Segment.h>
#include <Scene/Persistence/GeometryAttachment.h>
#include <Scene/Persistence/MeshAction.h>
#include <Scene/Persistence/MeshGeometry.h>

#include <gtest/gtest.h>

#include <string>

using namespace Brio;
using namespace Brio::Scene;

namespace {

class CountedAttachment : public GeometryAttachment {
public:
    explicit CountedAttachment(int& deleted) : m_deleted(deleted) {}
    ~CountedAttachment() override { ++m_deleted; }

private:
    int& m_deleted;
};

/// Writes each primitive as "t<index>:<x of each corner>" or "l<index>:...".
class Recorder : public MeshAction {
public:
    void triangle(int index, const Point3f& a, const Point3f& b, const Point3f& c) override {
        calls.push_back("t" + std::to_string(index) + ":" + name(a) + name(b) + name(c));
    }
    void line(int index, const Point3f& a, const Point3f& b) override {
        calls.push_back("l" + std::to_string(index) + ":" + name(a) + name(b));
    }
    std::vector<std::string> calls;

private:
    static std::string name(const Point3f& p) { return std::to_string(static_cast<int>(p.x)); }
};

std::vector<Point3f> row(int n) {
    std::vector<Point3f> points;
    for (int i = 0; i < n; ++i)
        points.emplace_back(static_cast<float>(i), 0.0f, 0.0f);
    return points;
}

class MeshGeometryTest : public ::testing::Test {
protected:
    StrongRef<Segment> segment = Segment::makeStandalone(L"Meshes", true);
    StrongRef<MeshGeometry> mesh = MeshGeometry::make(segment.getTarget());

    std::vector<std::string> apply() {
        Recorder recorder;
        mesh->apply(&recorder);
        return recorder.calls;
    }
};

} // namespace

TEST_F(MeshGeometryTest, CountsMatchWhenOptionalListsAreAbsentOrFull) {
    EXPECT_EQ(mesh->format(), MeshGeometry::eUnknownFormat);
    EXPECT_FALSE(mesh->hasVertices());
    mesh->setVertices(row(3));
    EXPECT_TRUE(mesh->checkCounts()) << "vertices only";
    mesh->setNormals(std::vector<Vector3f>(2, Vector3f(0, 0, 1)));
    EXPECT_FALSE(mesh->checkCounts()) << "three vertices, two normals";
    mesh->setNormals(std::vector<Vector3f>(3, Vector3f(0, 0, 1)));
    mesh->setTexCoords(std::vector<Float2>(4));
    EXPECT_FALSE(mesh->checkCounts());
    const Float2 uvs[] = {Float2(0, 0), Float2(1, 0), Float2(0, 1)};
    mesh->setTexCoords(uvs, 3);
    EXPECT_TRUE(mesh->checkCounts());
    EXPECT_EQ(mesh->count(), 3u);
    EXPECT_TRUE(mesh->hasNormals() && mesh->hasTexCoords());
    EXPECT_FALSE(mesh->hasIndices());
    std::vector<Float2> copy = {Float2(9, 9)};
    mesh->getTexCoords(copy);
    EXPECT_EQ(copy, std::vector<Float2>(std::begin(uvs), std::end(uvs)));
}

TEST_F(MeshGeometryTest, ChangingDataDeletesTheAttachment) {
    int deleted = 0;
    mesh->setVertices(row(3));
    mesh->attachment(new CountedAttachment(deleted));
    mesh->setVertices(row(3));
    EXPECT_EQ(deleted, 1) << "even when the new list equals the old";
    EXPECT_EQ(mesh->attachment(), nullptr);

    mesh->attachment(new CountedAttachment(deleted));
    mesh->format(MeshGeometry::eLines);
    EXPECT_EQ(deleted, 2);
    mesh->attachment(new CountedAttachment(deleted));
    const int indices[] = {0, 1};
    mesh->setIndices(indices, 2);
    EXPECT_EQ(deleted, 3);

    auto* kept = new CountedAttachment(deleted);
    mesh->attachment(kept);
    mesh->attachment(nullptr);
    EXPECT_EQ(deleted, 3) << "replacing hands the old attachment back";
    mesh->attachment(kept);
    mesh.reset();
    EXPECT_EQ(deleted, 3) << "the segment still holds the mesh";
    segment.reset();
    EXPECT_EQ(deleted, 4) << "the mesh deletes its attachment";
}

TEST_F(MeshGeometryTest, ApplyWalksThePrimitivesOfItsFormat) {
    mesh->setVertices(row(7));
    mesh->format(MeshGeometry::eTriangles);
    EXPECT_EQ(apply(), (std::vector<std::string>{"t0:012", "t1:345"})) << "seven vertices, no indices";

    mesh->format(MeshGeometry::eLineStrip);
    mesh->setIndices({4});
    EXPECT_TRUE(apply().empty()) << "one index makes no line";
    mesh->setIndices({6, 5, 4, 3, 2});
    EXPECT_EQ(apply(), (std::vector<std::string>{"l0:65", "l1:54", "l2:43", "l3:32"}));

    mesh->format(MeshGeometry::eLines);
    mesh->setIndices({0, 1, 2, 3, 4});
    EXPECT_EQ(apply(), (std::vector<std::string>{"l0:01", "l1:23"}));
    mesh->setIndices(std::vector<int>());
    EXPECT_EQ(apply(), (std::vector<std::string>{"l0:01", "l1:23", "l2:45"}));

    mesh->format(static_cast<MeshGeometry::EMeshFormat>(5));
    EXPECT_TRUE(apply().empty()) << "other formats report nothing";
    mesh->apply(nullptr);
}

TEST_F(MeshGeometryTest, IndicesPastTheVerticesAreSkipped) {
    mesh->setVertices(row(3));
    mesh->format(MeshGeometry::eTriangles);
    mesh->setIndices({0, 1, 2, 0, 7, 1, 2, -1, 0, 2, 1, 0});
    EXPECT_EQ(apply(), (std::vector<std::string>{"t0:012", "t3:210"}));
}
