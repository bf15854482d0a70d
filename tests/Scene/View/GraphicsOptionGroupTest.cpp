#include "OptionsTestSupport.h"

#include <Brio/Base/OptionGroup.h>
#include <Brio/Base/StringTable.h>
#include <Brio/Base/XMLDocument.h>
#include <Scene/Attributes/TraversalState.h>

using namespace Brio::Scene;
using Brio::OptionBase;
using SceneTest::GraphicsOptionsTest;

namespace {
struct Expected {
    const char* id;
    const char* defaultText;
    unsigned flags;
};
constexpr unsigned A = OptionBase::eAdvanced, D = OptionBase::eDeveloper;
} // namespace

TEST_F(GraphicsOptionsTest, FreshGroupAnswersItsDefaults) {
    EXPECT_FALSE(options->selectClosestItemOnly());
    EXPECT_EQ(options->environmentID(), L"SkyRoom");
    EXPECT_EQ(options->minFPS(), 14.0);
    EXPECT_EQ(options->pixelScaleFactor(), 1.0f);
    EXPECT_EQ(options->visualStyle(), 2);
    EXPECT_EQ(options->driver(), L"VirtualDeviceDx11");
    EXPECT_EQ(options->selectionEffectOption(), eSelectionEffectNormal);
    EXPECT_EQ(options->deviceType(), 1);
    EXPECT_TRUE(options->MSAA());
    EXPECT_FALSE(options->graphicsSplitTestEnabled());
    EXPECT_FALSE(options->supremeAggressiveConsolidation());
    EXPECT_EQ(GraphicsOptionGroup::get(), options) << "one per process";
}

TEST_F(GraphicsOptionsTest, OptionsArePersistedUnderTheirIdsInCreationOrder) {
    EXPECT_EQ(options->id(), "GraphicsOptionGroup");
    EXPECT_EQ(options->userName(), L"Graphics");
    EXPECT_EQ(options->toolTip(), L"Preferences used to control the graphics display");
    EXPECT_EQ(Brio::OptionGroup::find("GraphicsOptionGroup"), options);

    const Expected expected[] = {
        {"minFPSId", "14", 0},
        {"selectionEffectOptionId", "1", 0},
        {"degradedSelectionEffectOptionId", "1", 0},
        {"MSAAOptionId", "true", A},
        {"OptimizedRenderingOptionId", "true", D},
        {"LevelOfDetailId", "true", 0},
        {"CachingRenderingResultOptionId", "true", D},
        {"FXAAOptionId", "true", D},
        {"GroundShadowEnabledId", "true", A},
        {"GroundReflectionEnabledId", "false", A},
        {"AmbientOccludedEnabledId", "false", A},
        {"EnvironmentIDId", "SkyRoom", A},
        {"NPREffectId", "0", A},
        {"VisualStyleId", "2", A},
        {"CameraProjectionId", "2", A},
        {"CameraProjectionPerspetiveWithOrthoFacesId", "false", A},
        {"LegacyFacetingAPIId", "false", D},
        {"ColorCyclingId", "false", A},
        {"PixelScaleFactorId", "1", A},
        {"SilhouetteId", "true", A},
        {"ObjectShadowTypeId", "0", A},
        {"ObjectShadowFitId", "0", A},
        {"DeviceTypeId", "1", A},
        {"DisDomeId", "true", A},
        {"DisGroundPlaneId", "true", A},
        {"SelectClosestItemOnlyId", "false", D},
        {"ShowLayoutGridId", "false", A},
        {"ShowGridRefNumbersId", "true", A},
        {"GraphicsSplitTestEnabledId", "false", D},
        {"TransparentBackgroundId", "true", D},
        {"NormalDoubleSideDisplayId", "false", D},
    };
    const auto list = options->options();
    ASSERT_EQ(list.size(), std::size(expected));
    for (std::size_t i = 0; i < list.size(); ++i) {
        SCOPED_TRACE(expected[i].id);
        EXPECT_EQ(list[i]->id(), expected[i].id);
        EXPECT_EQ(list[i]->defaultText(), expected[i].defaultText);
        EXPECT_EQ(list[i]->flags(), expected[i].flags);
    }

    // The driver is a start-up preference: it lives in the host's bootstrap group.
    EXPECT_EQ(options->option("driverOptionId"), nullptr);
    OptionBase* driver = Brio::BootstrapOptionGroup::get()->option("driverOptionId");
    ASSERT_NE(driver, nullptr);
    EXPECT_EQ(driver->flags(), unsigned(OptionBase::eRequiresRestart));
    EXPECT_EQ(driver->userName(), L"Graphics driver");
    EXPECT_EQ(driver->toolTip(), L"The driver used to display the graphics");
    ASSERT_EQ(driver->choiceCount(), 3);
    EXPECT_EQ(driver->choiceText(2), "VirtualDeviceGL");
    EXPECT_EQ(driver->choiceLabel(2), L"OpenGL");
    EXPECT_EQ(driver->choiceLabel(0), L"DirectX 11");

    OptionBase* degraded = options->option("degradedSelectionEffectOptionId");
    ASSERT_EQ(degraded->choiceCount(), 2);
    EXPECT_EQ(degraded->choiceText(1), "4");
    EXPECT_EQ(degraded->choiceLabel(1), L"Simple display (without glow or halo)");
    EXPECT_EQ(options->option("PixelScaleFactorId")->toolTip(), L"Scale factor applied to all pixel-scaled objects");
    EXPECT_EQ(options->option("CameraProjectionPerspetiveWithOrthoFacesId")->toolTip(),
              L"Camera Projection Perspetive With Ortho Faces");
}

TEST_F(GraphicsOptionsTest, NamesAreLocalizedUnderTheSceneArea) {
    Brio::StringTable::setString(L"BrioScene", L"MSAAUserName", L"Kantenglättung");
    EXPECT_EQ(options->option("MSAAOptionId")->userName(), L"Kantenglättung");
    Brio::StringTable::reset();
    EXPECT_EQ(options->option("MSAAOptionId")->userName(), L"Use anti aliasing");
}

TEST_F(GraphicsOptionsTest, ValuesSurviveASaveAndLoad) {
    EXPECT_EQ(options->persistFile(), SceneTest::g_scratchOptions.path() / "ServerOptions.xml");
    options->MSAA(false);
    options->environmentID(L"Studio");
    options->pixelScaleFactor(1.75f);
    options->minFPS(9.5);
    options->degradedSelectionEffectOption(eSelectionEffectSimplified);
    options->objectShadowType(2);
    options->graphicsSplitTestEnabled(true);
    options->driver(L"VirtualDeviceGL");
    options->supremeAggressiveConsolidation(true);
    ASSERT_TRUE(options->save().isSuccess());
    ASSERT_TRUE(Brio::BootstrapOptionGroup::get()->save().isSuccess());

    options->resetToDefaults();
    Brio::BootstrapOptionGroup::get()->resetToDefaults();
    ASSERT_TRUE(options->load().isSuccess());
    ASSERT_TRUE(Brio::BootstrapOptionGroup::get()->load().isSuccess());
    EXPECT_FALSE(options->MSAA());
    EXPECT_EQ(options->environmentID(), L"Studio");
    EXPECT_EQ(options->pixelScaleFactor(), 1.75f);
    EXPECT_EQ(options->minFPS(), 9.5);
    EXPECT_EQ(options->degradedSelectionEffectOption(), eSelectionEffectSimplified);
    EXPECT_EQ(options->objectShadowType(), 2);
    EXPECT_TRUE(options->graphicsSplitTestEnabled());
    EXPECT_EQ(options->driver(), L"VirtualDeviceGL");
    EXPECT_TRUE(options->supremeAggressiveConsolidation()) << "not persisted, so not reset by a load either";

    // The driver went to the start-up file, not the server's.
    Brio::XMLDocument server, bootstrap;
    ASSERT_TRUE(server.load(options->persistFile()).isSuccess());
    ASSERT_TRUE(bootstrap.load(SceneTest::g_scratchOptions.path() / "BootstrapOptions.xml").isSuccess());
    EXPECT_EQ(server.formattedXml().find("driverOptionId"), std::string::npos);
    EXPECT_NE(bootstrap.formattedXml().find("VirtualDeviceGL"), std::string::npos);
}

TEST_F(GraphicsOptionsTest, TraversalStateFollowsPixelScaleAndDoubleSidedDisplay) {
    Lumo::Scene::TraversalState::GlobalPixelScaleFactor(5.0f);
    options->pixelScaleFactor(1.0f);
    EXPECT_EQ(Lumo::Scene::TraversalState::GlobalPixelScaleFactor(), 1.0f) << "pushed even when unchanged";
    options->pixelScaleFactor(2.0f);
    EXPECT_EQ(Lumo::Scene::TraversalState::GlobalPixelScaleFactor(), 2.0f);
    options->option("PixelScaleFactorId")->valueText("3");
    EXPECT_EQ(Lumo::Scene::TraversalState::GlobalPixelScaleFactor(), 3.0f) << "whoever changes it";

    options->normalDoubleSideDisplay(true);
    EXPECT_TRUE(Lumo::Scene::TraversalState::NormalDoubleSideDisplay());

    ASSERT_TRUE(options->save().isSuccess());
    Lumo::Scene::TraversalState::GlobalPixelScaleFactor(7.0f);
    Lumo::Scene::TraversalState::NormalDoubleSideDisplay(false);
    ASSERT_TRUE(options->load().isSuccess());
    EXPECT_EQ(Lumo::Scene::TraversalState::GlobalPixelScaleFactor(), 3.0f) << "pushed after loading";
    EXPECT_TRUE(Lumo::Scene::TraversalState::NormalDoubleSideDisplay());
    options->normalDoubleSideDisplay(false);
    EXPECT_FALSE(Lumo::Scene::TraversalState::NormalDoubleSideDisplay());
    options->pixelScaleFactor(1.0f);
}

TEST_F(GraphicsOptionsTest, SettingTheCurrentValueNotifiesNobody) {
    int msaa = 0, group = 0;
    const int id = options->option("MSAAOptionId")->addListener([&](OptionBase&) { ++msaa; });
    const int groupId = options->addListener([&](OptionBase&) { ++group; });
    options->MSAA(true);
    options->environmentID(L"SkyRoom");
    EXPECT_EQ(msaa + group, 0);
    options->MSAA(false);
    EXPECT_EQ(msaa, 1);
    EXPECT_EQ(group, 1);
    options->visualStyle(5);
    EXPECT_EQ(msaa, 1);
    EXPECT_EQ(group, 2);
    options->option("MSAAOptionId")->removeListener(id);
    options->removeListener(groupId);
}
