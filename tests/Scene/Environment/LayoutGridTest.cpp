#include "../TestSupport.h"
#include "../View/OptionsTestSupport.h"

#include <Brio/DataModel/Asset.h>
#include <Brio/DataModel/Segment.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Graphics/StandardObjectManager.h>
#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Attributes/ColorEffectAttribute.h>
#include <Scene/Attributes/EffectInstanceCache.h>
#include <Scene/Change/ObjectManager.h>
#include <Scene/Environment/Camera.h>
#include <Scene/Environment/Environment.h>
#include <Scene/Environment/LayoutGrid.h>
#include <Scene/Nodes/NodeFunctions.h>

using Brio::Scene::Camera;
using Brio::Scene::LayoutGrid;
using Lumo::Objects::SBox3;

namespace {

struct LayoutGridTest : SceneTest::GraphicsOptionsTest {
    Brio::StrongRef<Brio::Asset> doc = Brio::Asset::make(L"Grid");
    Brio::StrongRef<Camera> camera;
    void SetUp() override {
        GraphicsOptionsTest::SetUp();
        options->showLayoutGrid(true);
        options->showGridRefNumbers(false);
        camera = Camera::make(doc->createSegment(L"Views"));
        camera->projection(Camera::eParallel);
        LookFrom({0, 0, 10}, {0, 1, 0}); // top view: the xy plane faces the camera
    }
    void TearDown() override {
        Brio::Scene::ObjectManager::get()->syncChanges();
        GraphicsOptionsTest::TearDown();
    }
    void LookFrom(const ZoGePoint3d& eye, const ZoGeVector3d& up) {
        camera->target(ZoGePoint3d(0, 0, 0));
        camera->position(eye);
        camera->up(up);
    }
    static int Children(const LayoutGrid& g) {
        Brio::Scene::ObjectManager::get()->syncChanges();
        return g.getRootNode() ? g.getRootNode()->ChildCount() : -1;
    }
};

int LineCount(Lumo::Graphics::ARenderNode* node) {
    auto* geometry =
        static_cast<Lumo::Graphics::GeometryNode*>(node->GetInterface(Lumo::Graphics::GeometryNode::StaticClassName()));
    auto* mesh = geometry ? static_cast<Lumo::Devices::SimpleMesh*>(geometry->RenderGeometry()) : nullptr;
    return mesh ? mesh->IndexCount() / 2 : -1;
}

} // namespace

TEST(LayoutGridMath, MajorBlocksCoverTheIntervalFromAMultipleOfTheBlock) {
    double first = 0;
    int count = 0;
    LayoutGrid::calcMajorBlockCount(0.0, 25.0, 5.0, first, count);
    EXPECT_DOUBLE_EQ(first, -25.0);
    EXPECT_EQ(count, 10);
    LayoutGrid::calcMajorBlockCount(3.0, 25.0, 5.0, first, count);
    EXPECT_DOUBLE_EQ(first, -25.0 - 3.0) << "first line at floor(-22 / 5) * 5 = -25, relative to 3";
    EXPECT_EQ(count, 11) << "ceil((28 + 25) / 5)";
    EXPECT_TRUE(LayoutGrid::isOriginVisible(25, 0, 0));
    EXPECT_FALSE(LayoutGrid::isOriginVisible(25, 25, 0)) << "strictly inside";
    EXPECT_FALSE(LayoutGrid::isOriginVisible(25, 0, -30));
}

TEST_F(LayoutGridTest, NothingIsBuiltWithTheOptionOff) {
    options->showLayoutGrid(false);
    LayoutGrid grid(nullptr);
    grid.setup(camera.getTarget(), SBox3(), nullptr);
    EXPECT_EQ(grid.buildCount(), 0);
    EXPECT_EQ(grid.gridNode(), nullptr);
    options->showLayoutGrid(true);
    grid.setVisible(false);
    grid.setup(camera.getTarget(), SBox3(), nullptr);
    EXPECT_EQ(grid.buildCount(), 0) << "a hidden grid builds nothing either";
}

TEST_F(LayoutGridTest, EmptyBoxGivesTheDefaultGridAndIsBuiltOnce) {
    LayoutGrid grid(nullptr);
    grid.setup(camera.getTarget(), SBox3(), nullptr);
    EXPECT_DOUBLE_EQ(grid.halfSize(), 25.0);
    EXPECT_EQ(grid.buildCount(), 1);
    EXPECT_EQ(grid.majorBlockCount(0), 10);
    EXPECT_EQ(Children(grid), 2) << "grid lines and the origin marker";
    // 10 blocks of 5 lines each way: 51 lines per direction.
    EXPECT_EQ(LineCount(grid.gridNode()), 2 * 51);

    grid.setup(camera.getTarget(), SBox3(), nullptr);
    EXPECT_EQ(grid.buildCount(), 1) << "same camera, same box: nothing rebuilt";
    EXPECT_EQ(Children(grid), 2);
}

TEST_F(LayoutGridTest, ABigModelWidensTheGridAndMovingItRebuilds) {
    LayoutGrid grid(nullptr);
    grid.setup(camera.getTarget(), SBox3({0, 0, 0}, {100, 100, 0}), nullptr);
    EXPECT_NEAR(grid.halfSize(), std::sqrt(2.0) * 50.0, 1e-9);
    EXPECT_EQ(grid.buildCount(), 1);
    grid.setup(camera.getTarget(), SBox3({0, 0, 0}, {100, 100, 0}), nullptr);
    EXPECT_EQ(grid.buildCount(), 1);
    grid.setup(camera.getTarget(), SBox3({200, 0, 0}, {300, 100, 0}), nullptr);
    EXPECT_EQ(grid.buildCount(), 2) << "the model moved";
    EXPECT_EQ(Children(grid), 1) << "the origin is off the grid now: no marker";

    options->cameraPerspWithOrthoFaces(true);
    grid.setup(camera.getTarget(), SBox3({200, 0, 0}, {300, 100, 0}), nullptr);
    EXPECT_NEAR(grid.halfSize(), 3 * std::sqrt(2.0) * 50.0, 1e-9) << "three times further";
}

TEST_F(LayoutGridTest, TurningToAnotherFaceOfTheSceneRebuildsOnThatPlane) {
    LayoutGrid grid(nullptr);
    grid.setup(camera.getTarget(), SBox3(), nullptr);
    ASSERT_EQ(grid.buildCount(), 1);
    LookFrom({0, -10, 0}, {0, 0, 1}); // front view: the xz plane
    grid.setup(camera.getTarget(), SBox3(), nullptr);
    EXPECT_EQ(grid.buildCount(), 2);
    Brio::Scene::ObjectManager::get()->syncChanges();
    auto* geometry = static_cast<Lumo::Graphics::GeometryNode*>(grid.gridNode());
    const SBox3 box = geometry->WorldBox();
    EXPECT_NEAR(box.Max().y - box.Min().y, 0.0, 1e-6) << "the grid lies in a plane of constant y";
    EXPECT_GT(box.Max().z - box.Min().z, 40.0);
}

TEST_F(LayoutGridTest, ReferenceNumbersFollowTheOption) {
    options->showGridRefNumbers(true);
    LayoutGrid grid(nullptr);
    grid.setUnitConversionFactor(10.0);
    grid.setup(camera.getTarget(), SBox3(), nullptr);
    EXPECT_EQ(Children(grid), 3);
    ASSERT_NE(grid.textGroup(), nullptr);
    EXPECT_EQ(grid.textGroup()->ChildCount(), 2 * 10) << "one number a major line, both ways, none at 0";
}

TEST_F(LayoutGridTest, TheEnvironmentGivesColourAndScale) {
    Brio::Scene::Environment env(L"GridTest");
    env.layoutgridColor(Brio::Color(0.9f, 0.1f, 0.1f, 1.0f));
    env.layoutGridScaleFactor(2.0f);
    LayoutGrid& grid = *env.layoutGrid();
    grid.setup(camera.getTarget(), SBox3({0, 0, 0}, {100, 100, 0}), nullptr);
    EXPECT_NEAR(grid.halfSize(), 2.0 * std::sqrt(2.0) * 50.0, 1e-9);
    Brio::Scene::ObjectManager::get()->syncChanges();
    auto* colour = static_cast<Lumo::Scene::ColorEffectAttribute*>(
        Lumo::Scene::GetAttributeSet(grid.gridNode())->GetAttribute(Lumo::Scene::eEffect));
    ASSERT_NE(colour, nullptr);
    EXPECT_FLOAT_EQ(colour->Color().x, 0.9f);
    EXPECT_EQ(env.layoutGridNode(), grid.getRootNode());
    grid.clear();
}
