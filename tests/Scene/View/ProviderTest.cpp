#include <Lumo/Devices/EffectCache.h>
#include <Lumo/Graphics/NodeCallbacks.h>
#include <Lumo/Graphics/TextSystem.h>
#include <Lumo/Objects/ClassFactory.h>
#include <Scene/Attributes/AmbraManager.h>
#include <Scene/Attributes/AnalysisEffects.h>
#include <Scene/Attributes/EffectInstanceCache.h>
#include <Scene/Attributes/TraversalState.h>
#include <Scene/Change/NodeData.h>
#include <Scene/Environment/EnvironmentManager.h>
#include <Scene/View/FragmentLibrary.h>
#include <Scene/View/Provider.h>

#include <gtest/gtest.h>

using Brio::Scene::Provider;
using Lumo::Objects::ClassFactory;
using Lumo::Objects::Intern;

namespace {

const wchar_t* const kPrototypes[] = {
    L"SceneTraversalState", L"VisualStyleAgent",     L"FacetOrderAgent",          L"VisibilityAgent",
    L"TavexLODAgent",       L"MultiPassFilterAgent", L"EdgeProcessAgent",         L"SliceCapAgent",
    L"SliceAgent",          L"SelectionOutputAgent", L"HWSelectionSWFilterAgent", L"TavexSWPickAgent"};

bool AnyCallback() {
    const Lumo::Graphics::NodeCallbacks& cb = Lumo::Graphics::NodeCallbacks::Installed();
    return cb.realizeAttributes || cb.realizeWorldBox || cb.realize || cb.applyAttributes || cb.preRealizePrimitive ||
           cb.beginWalk || cb.endWalk;
}

int RegisteredPrototypes() {
    int n = 0;
    for (const wchar_t* name : kPrototypes)
        n += ClassFactory::Get().IsRegistered(Intern(name)) ? 1 : 0;
    return n;
}

} // namespace

TEST(ProviderTest, StartsAndStopsAgainAndAgain) {
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        Provider::provider()->initialize();
        EXPECT_TRUE(Lumo::Scene::EffectInstanceCache::Exists());
        EXPECT_TRUE(Brio::Scene::FragmentLibrary::isInitialized());
        EXPECT_TRUE(Brio::Scene::NodeData::renderCallbacksInstalled());
        EXPECT_TRUE(Brio::Scene::EnvironmentManager::getEnvManager()->initialized());
        EXPECT_EQ(RegisteredPrototypes(), int(std::size(kPrototypes)));
        // The graphics system makes the scene's traversal state by its name.
        Lumo::Objects::AutoPtr<Lumo::Objects::ARefCounted> state(
            ClassFactory::Get().Create(Intern(L"SceneTraversalState")));
        ASSERT_NE(state, nullptr);
        EXPECT_NE(state->GetInterface(Lumo::Scene::TraversalState::StaticClassName()), nullptr);
        state = nullptr;
        // What drawing an analysis effect would have taught the devices.
        Lumo::Devices::EffectCache::RegisterFactory(Lumo::Scene::AnalysisEffects::ZebraName(),
                                                    &Lumo::Scene::AnalysisEffects::Make);

        Provider::provider()->terminate();
        // Nothing may call into the library once it could be unloaded.
        EXPECT_FALSE(AnyCallback());
        EXPECT_EQ(RegisteredPrototypes(), 0);
        for (const wchar_t* name : {L"Tavex_SortRenderListByZ", L"Tavex_MergeRenderLists", L"Tavex_SetClippingPlane",
                                    L"VE_PipelineRenderer", L"TwoSidedProcessor"})
            EXPECT_FALSE(ClassFactory::Get().IsRegistered(Intern(name))) << name;
        EXPECT_FALSE(Lumo::Devices::EffectCache::HasFactory(Lumo::Scene::AnalysisEffects::ZebraName()));
        EXPECT_FALSE(Lumo::Scene::EffectInstanceCache::Exists());
        EXPECT_FALSE(Brio::Scene::FragmentLibrary::isInitialized());
    }
}

TEST(ProviderTest, TerminateReleasesSharedResources) {
    Provider::provider()->initialize();
    Brio::AmbraManager* materials = Brio::AmbraManager::GetAmbraManager(true);
    ASSERT_TRUE(materials->IsLoaded());
    Lumo::Objects::AutoPtr<Lumo::Text::FontLibrary> fonts = Lumo::Text::TextSystem::Library();
    Brio::Scene::EnvironmentManager* environments = Brio::Scene::EnvironmentManager::getEnvManager();
    environments->activeEnvironment();
    ASSERT_GT(environments->count(), 0);

    Provider::provider()->terminate();
    EXPECT_FALSE(materials->IsLoaded());
    EXPECT_EQ(environments->count(), 0);
    EXPECT_NE(Lumo::Text::TextSystem::Library().get(), fonts.get()) << "the shared font library was dropped";
}
