// The environments the library ships: each reads, builds its scenery, light and image-based
// light from the installed resources without a single failure, and the default one is active.
#include "EnvironmentTestSupport.h"

#include <Brio/Base/PathInfo.h>
#include <Lumo/Devices/EnvironmentTexture.h>
#include <Lumo/Devices/IBLInstance.h>
#include <Lumo/Devices/SolidEffectInstance.h>
#include <Lumo/Devices/TextureInstance.h>
#include <Lumo/Devices/TextureLoader.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Scene/Environment/Lighting.h>

using namespace Brio::Scene;
using namespace EnvironmentTest;
using Lumo::Devices::IBLInstance;
using Lumo::Objects::AutoPtr;

namespace {

class ShippedEnvironmentTest : public SceneTest::GraphicsOptionsTest,
                               public ::testing::WithParamInterface<const wchar_t*> {
protected:
    void SetUp() override {
        GraphicsOptionsTest::SetUp();
        Brio::StringTable::locale(L"en-US");
        manager = EnvironmentManager::getEnvManager();
        ASSERT_EQ(manager->resourceDirectory(), Brio::PathInfo::sceneResourceDirectory());
    }
    void TearDown() override {
        Brio::StringTable::locale(L"");
        GraphicsOptionsTest::TearDown();
    }
    EnvironmentManager* manager = nullptr;
};

Lumo::Devices::TextureInstance* TextureOf(Lumo::Graphics::ARenderNode* node) {
    auto* geometry =
        static_cast<Lumo::Graphics::GeometryNode*>(node->GetInterface(Lumo::Graphics::GeometryNode::StaticClassName()));
    if (!geometry || !geometry->EffectInst())
        return nullptr;
    auto* solid = static_cast<Lumo::Devices::SolidEffectInstance*>(
        geometry->EffectInst()->GetInterface(Lumo::Devices::SolidEffectInstance::StaticClassName()));
    return solid ? solid->Texture() : nullptr;
}

float Luminance(const Lumo::Objects::vec3<float>& c) {
    return 0.2126f * c.x + 0.7152f * c.y + 0.0722f * c.z;
}

} // namespace

TEST_P(ShippedEnvironmentTest, ReadsAndBuildsWithoutFailure) {
    const std::wstring id = GetParam();
    Environment* env = manager->item(id, true);
    ASSERT_TRUE(env) << Brio::Utility::toUtf8(manager->lastError());
    EXPECT_EQ(env->id(), id);

    ASSERT_EQ(env->featureCount(), 2);
    int domes = 0, grounds = 0;
    for (int i = 0; i < env->featureCount(); ++i) {
        domes += env->feature(i)->isSurrounding();
        grounds += env->feature(i)->isGroundPlane();
    }
    EXPECT_EQ(domes, 1);
    EXPECT_EQ(grounds, 1);
    EXPECT_GE(env->lightCount(), 3);
    EXPECT_GT(env->cyclingColorCount(), 3);
    ASSERT_TRUE(env->selectParams() && env->highlightParams());
    EXPECT_NE(env->selectParams()->lineColor, env->highlightParams()->lineColor);
    EXPECT_GT(env->iblGains().x, 0.0f);
    EXPECT_GT(env->layoutgridColor().alpha(), 0.0f);
    // Shared style and texts come from SkyRoom whichever environment reads them.
    EXPECT_GT(env->uiColors(L"ViewCubeFace").alpha(), 0.0f);
    EXPECT_FALSE(env->getHelpMessage(L"Extrude").empty());
    EXPECT_FALSE(env->getErrorMessage(L"NoSelection").empty());

    auto dc = DataContext();
    env->loadEnvironment(*dc);
    for (const std::wstring& e : env->loadErrors())
        ADD_FAILURE() << Brio::Utility::toUtf8(e);
    ASSERT_TRUE(env->dome() && env->groundPlane());
    ASSERT_EQ(env->dome()->ChildCount(), 1);
    ASSERT_EQ(env->groundPlane()->ChildCount(), 1);
    Lumo::Devices::TextureInstance* sky = TextureOf(env->dome()->Child(0));
    Lumo::Devices::TextureInstance* ground = TextureOf(env->groundPlane()->Child(0));
    ASSERT_TRUE(sky && ground) << "both scenery textures load";
    EXPECT_FALSE(sky->HasAlpha()) << "the sky is opaque";
    EXPECT_TRUE(ground->HasAlpha()) << "the ground fades into the horizon";
    // The dome surrounds the ground, which lies at the origin's height.
    const Lumo::Objects::SBox3& box = env->modelBox();
    EXPECT_TRUE(box.Contains({0, 0, 0}));
    EXPECT_GT(box.Max().y, 500.0);

    IBLInstance* ibl = env->iblInstance();
    ASSERT_TRUE(ibl && ibl->Ambient() && ibl->Glossy() && ibl->Sharp());
    // More light comes from above than from below, in every kind.
    for (auto slot : {IBLInstance::eAmbient, IBLInstance::eGlossy, IBLInstance::eSharp}) {
        SCOPED_TRACE(slot);
        EXPECT_GT(Luminance(ibl->Evaluate(slot, {0, 1, 0})), 1.5f * Luminance(ibl->Evaluate(slot, {0, -1, 0})));
    }
    ASSERT_TRUE(env->auxLighting());
    EXPECT_EQ(env->auxLighting()->lightCount(), env->lightCount());
}

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedEnvironmentTest, ::testing::Values(L"SkyRoom", L"Studio"),
                         [](const auto& info) { return Brio::Utility::toUtf8(info.param); });

TEST_F(ShippedEnvironmentTest, SkyRoomIsTheDefaultAndTheGridMarkerIsThere) {
    EXPECT_EQ(options->environmentID(), L"SkyRoom");
    Environment* active = manager->activeEnvironment();
    ASSERT_TRUE(active);
    EXPECT_EQ(active->id(), L"SkyRoom");

    // A blue sky: its diffuse light is bluer than it is red.
    auto dc = DataContext();
    active->loadEnvironment(*dc);
    const auto up = active->iblInstance()->Evaluate(IBLInstance::eAmbient, {0, 1, 0});
    EXPECT_GT(up.z, up.x);

    AutoPtr<Lumo::Devices::TextureInstance> origin =
        Lumo::Devices::TextureLoader::Load((manager->resourceDirectory() / "LayoutGrid" / "Origin.png").wstring());
    ASSERT_TRUE(origin);
    EXPECT_TRUE(origin->HasAlpha());
    Lumo::Devices::SLockedLevel level = origin->LockLevel(0);
    ASSERT_TRUE(level);
    const int c = level.width / 2;
    EXPECT_EQ(level.data[std::size_t(c) * level.rowPitch + std::size_t(c) * 4 + 3], 255) << "an opaque centre dot";
    EXPECT_EQ(level.data[3], 0) << "transparent corners";
    origin->UnlockLevel(0);
}
