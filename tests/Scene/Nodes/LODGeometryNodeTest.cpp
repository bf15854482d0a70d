#include "../TestSupport.h"

#include <Lumo/Devices/IRenderGeom.h>
#include <Lumo/Objects/ADevMatrix.h>
#include <Scene/Nodes/LODGeometryNode.h>

#include <thread>

using namespace Lumo::Scene;
using namespace SceneTest;
using Lumo::Objects::SBox3;
using Lumo::Objects::vec3;

namespace {
/// Geometry standing for a mesh: just a box.
class BoxGeom : public Lumo::Devices::IRenderGeom {
public:
    static BoxGeom* Make(double size) { return new BoxGeom(size); }
    SBox3 Box() const override { return SBox3({0, 0, 0}, {m_size, m_size, m_size}); }
    void* GetInterface(Lumo::Objects::UString* n) override { return ARefCounted::GetInterface(n); }
    Lumo::Objects::UString* ClassName() const override { return ARefCounted::ClassName(); }

private:
    explicit BoxGeom(double size) : m_size(size) {}
    double m_size;
};
} // namespace

TEST(LODGeometryNodeTest, ClosestLevelPrefersTheHigherAtEqualDistance) {
    LiveObjectGuard guard;
    AutoPtr<LODGeometryNode> node = LODGeometryNode::Make();
    EXPECT_EQ(node->FindClosestLOD(-1), 15);
    EXPECT_EQ(node->FindClosestLOD(4), 4);
    node->RenderGeometry(BoxGeom::Make(3), 3);
    node->RenderGeometry(BoxGeom::Make(7), 7);
    EXPECT_EQ(node->FindClosestLOD(5), 7);
    EXPECT_EQ(node->FindClosestLOD(4), 3);
    EXPECT_EQ(node->FindClosestLOD(6), 7);
    EXPECT_EQ(node->FindClosestLOD(-1), 0);
    EXPECT_EQ(node->FindClosestLOD(15), 7);

    EXPECT_EQ(node->RenderGeometry(5), nullptr) << "no closest level unless asked";
    node->UseClosestLOD(true);
    ASSERT_NE(node->RenderGeometry(5), nullptr);
    EXPECT_EQ(node->RenderGeometry(5)->Box().Max().x, 7.0);
    EXPECT_EQ(node->ClosestRenderGeometry(2)->Box().Max().x, 3.0);
}

TEST(LODGeometryNodeTest, MeshDegenerateAndBogusMarks) {
    LiveObjectGuard guard;
    AutoPtr<LODGeometryNode> node = LODGeometryNode::Make();
    EXPECT_TRUE(node->NeedsMesh(2));
    node->SetHasMesh(2);
    node->SetDegenerate(2);
    EXPECT_FALSE(node->HasMesh(2));
    EXPECT_FALSE(node->NeedsMesh(2));
    node->RenderGeometry(nullptr, 2);
    EXPECT_TRUE(node->IsDegenerate(2)) << "clearing geometry keeps the degenerate mark";

    node->SetBogusMesh(4, true);
    EXPECT_TRUE(node->IsBogusMesh(4));
    node->RenderGeometry(BoxGeom::Make(1), 4);
    EXPECT_FALSE(node->IsBogusMesh(4)) << "new geometry is not bogus";
    EXPECT_TRUE(node->HasMesh(4));
    node->SetDegenerate(4);
    EXPECT_FALSE(node->HasMesh(4));

    EXPECT_FALSE(node->HasMesh(16));
    EXPECT_FALSE(node->NeedsMesh(-1));
    node->RenderGeometry(BoxGeom::Make(1), 99); // out of range: refused, freed
}

TEST(LODGeometryNodeTest, ReplacingALevelReleasesTheOldGeometry) {
    LiveObjectGuard guard;
    AutoPtr<LODGeometryNode> node = LODGeometryNode::Make();
    AutoPtr<BoxGeom> first = BoxGeom::Make(1);
    node->RenderGeometry(first, 9);
    EXPECT_EQ(first->RefCount(), 2);
    node->RenderGeometry(BoxGeom::Make(2), 9);
    EXPECT_EQ(first->RefCount(), 1);
    EXPECT_EQ(node->RenderGeometry(9)->Box().Max().x, 2.0);
}

TEST(LODGeometryNodeTest, WorldBoxComesFromTheFinestLevel) {
    LiveObjectGuard guard;
    AutoPtr<LODGeometryNode> node = LODGeometryNode::Make();
    EXPECT_TRUE(node->WorldBox().IsEmpty());
    node->RenderGeometry(BoxGeom::Make(1), 2);
    node->RenderGeometry(BoxGeom::Make(5), 12);
    EXPECT_EQ(node->WorldBox().Max().x, 5.0);
    node->WorldBox(SBox3({-1, -1, -1}, {1, 1, 1}));
    EXPECT_EQ(node->WorldBox().Min().x, -1.0) << "a set box is kept";
    ASSERT_NE(node->WorldMatrix(), nullptr);
    EXPECT_TRUE(node->WorldMatrix()->IsIdentity());
}

TEST(LODGeometryNodeTest, TessellatingWhileDrawingIsSafe) {
    LiveObjectGuard guard;
    AutoPtr<LODGeometryNode> node = LODGeometryNode::Make();
    node->UseClosestLOD(true);
    std::thread writer([&] {
        for (int i = 0; i < 2000; ++i)
            node->RenderGeometry(BoxGeom::Make(i % 16 + 1), i % 16);
    });
    // Readers see only whole states: a level either has geometry or not, never a torn mask.
    for (int i = 0; i < 2000; ++i) {
        int level = node->FindClosestLOD(i % 16);
        EXPECT_TRUE(level >= 0 && level < 16);
    }
    writer.join();
    for (int l = 0; l < 16; ++l)
        EXPECT_TRUE(node->HasMesh(l));
}
