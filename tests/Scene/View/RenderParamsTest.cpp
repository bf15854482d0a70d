// Render parameters: equality and graph keys, cloning by kind, the selection effect option at
// Accept, effect values read from the active environment, and the standard parameter sets.
#include "../Environment/EnvironmentTestSupport.h"

#include <Lumo/Objects/AutoPtr.h>
#include <Scene/Environment/Environment.h>
#include <Scene/View/SketchSelectionRenderParams.h>
#include <Scene/View/ViewFragmentPassRenderer.h>

#include <functional>
#include <vector>

using namespace Brio::Scene;
using Lumo::Objects::AutoPtr;
using Pass = ViewFragmentPassRenderer;

namespace {

using RenderParamsTest = SceneTest::GraphicsOptionsTest;
using SelectionRenderParamsTest = EnvironmentTest::EnvironmentManagerTest;

/// Each changes one property away from its default; transparent collection is left out.
const std::vector<std::function<void(RenderParams&)>> kChanges = {
    [](RenderParams& p) { p.renderer(eRendererLayer); },
    [](RenderParams& p) { p.nprEffect(eNPRPencil); },
    [](RenderParams& p) { p.objectShadowType(eObjectShadowSharp); },
    [](RenderParams& p) { p.visualStyle(1); },
    [](RenderParams& p) {
        p.groundPlaneOrientation({1.0, 0.0, 0.0});
    },
    [](RenderParams& p) { p.groundPlaneOffset(0.5f); },
    [](RenderParams& p) { p.groundReflectionEnabled(true); },
    [](RenderParams& p) { p.groundShadowEnabled(true); },
    [](RenderParams& p) { p.shadowStraightDown(false); },
    [](RenderParams& p) { p.ambientOcclusionEnabled(true); },
    [](RenderParams& p) { p.environmentEnabled(true); },
    [](RenderParams& p) { p.cacheTarget(true); },
    [](RenderParams& p) { p.cacheDepthStencil(true); },
    [](RenderParams& p) { p.cacheSceneType(1); },
    [](RenderParams& p) { p.interactiveRendering(true); },
    [](RenderParams& p) { p.colorCyclingEnabled(true); },
    [](RenderParams& p) { p.groundPlaneEnabled(true); },
    [](RenderParams& p) { p.displaySilhouettes(!p.displaySilhouettes()); },
};

/// A record whose fields all differ from each other and from the defaults; seed is the halo width.
SelectEffectInfo distinctRecord(int seed) {
    SelectEffectInfo info{{0.1f, 0, 0, 0}, {0.2f, 0, 0, 0},
                          {0.3f, 0, 0, 0}, {0.4f, 0, 0, 0},
                          {0.5f, 0, 0, 0}, {0.6f, 0, 0, 0},
                          {0.7f, 0, 0, 0}, seed,
                          0.25f,           7};
    info.useBase = info.useHalo = info.useLines = false;
    info.useGlow = info.useHiddenLines = info.quickHalo = info.dilateOne = true;
    return info;
}

SelectEffectInfo queried(const SketchSelectionRenderParams& p) {
    return {p.baseColor(), p.backfaceColor(),  p.haloColor(),  p.hiddenLineColor(), p.lineColor(), p.lineColor2(),
            p.glowColor(), p.haloWidth(),      p.blurWeight(), p.linesWidth(),      p.useBase(),   p.useGlow(),
            p.useHalo(),   p.useHiddenLines(), p.useLines(),   p.quickHalo(),       p.dilateOne()};
}

} // namespace

TEST_F(RenderParamsTest, KeyShowsWhatIsDrawnNotJustWhatIsAsked) {
    AutoPtr<RenderParams> p = RenderParams::make();
    EXPECT_EQ(p->rendererKey(), L"{Renderer 1, nprEffect 0, groundReflectionEnabled 0, groundShadowEnabled 0, "
                                L"objectShadow 0, ambientOcclusionEnabled 0, transpCollection 1, "
                                L"environmentEnabled 0, groundPlaneEnabled 0}");
    EXPECT_TRUE(p->shadowStraightDown());
    EXPECT_EQ(p->visualStyle(), 2);

    p->groundShadowEnabled(true);
    p->ambientOcclusionEnabled(true);
    p->objectShadowType(eObjectShadowSoft2);
    for (int style : {0, 1, 2, 6}) {
        p->visualStyle(style);
        EXPECT_TRUE(p->renderGroundShadow() && p->renderAmbientOcclusion()) << style;
    }
    for (int style : {3, 4, 5}) {
        p->visualStyle(style);
        EXPECT_FALSE(p->renderGroundShadow() || p->renderAmbientOcclusion()) << style;
        EXPECT_EQ(p->rendererKey(), L"{Renderer 1, nprEffect 0, groundReflectionEnabled 0, groundShadowEnabled 0, "
                                    L"objectShadow 3, ambientOcclusionEnabled 0, transpCollection 1, "
                                    L"environmentEnabled 0, groundPlaneEnabled 0}");
    }
    EXPECT_TRUE(p->renderObjectShadow());
    p->objectShadowType(eObjectShadowNone);
    EXPECT_FALSE(p->renderObjectShadow());
}

TEST_F(RenderParamsTest, EqualityCoversEveryPropertyButTransparentCollection) {
    AutoPtr<RenderParams> a = RenderParams::make(), b = RenderParams::make();
    b->transparentCollectionEnabled(false);
    EXPECT_TRUE(*a == *b && !(*a != *b));
    EXPECT_NE(a->rendererKey(), b->rendererKey()) << "collection decides the graph, so it is in the key";
    for (size_t i = 0; i < kChanges.size(); ++i) {
        AutoPtr<RenderParams> changed = RenderParams::make();
        kChanges[i](*changed);
        EXPECT_TRUE(*a != *changed) << "property " << i;
    }

    // Silhouettes start from the option in force at construction.
    options->displaySilhouette(!options->displaySilhouette());
    AutoPtr<RenderParams> later = RenderParams::make();
    EXPECT_EQ(later->displaySilhouettes(), options->displaySilhouette());
    EXPECT_TRUE(*later != *a);
}

TEST_F(RenderParamsTest, ClonesAndCopiesKeepKindIdentityAndEveryProperty) {
    const int live = RenderParams::NetObjectCount();
    {
        AutoPtr<RenderParams> kinds[] = {RenderParams::make(), SelectionRenderParams::make(),
                                         SketchSelectionRenderParams::make()};
        EXPECT_EQ(RenderParams::NetObjectCount(), live + 3) << "every kind counts";
        EXPECT_TRUE(kinds[0]->transparentCollectionEnabled());
        EXPECT_FALSE(kinds[1]->transparentCollectionEnabled() || kinds[2]->transparentCollectionEnabled());
        Pass pass;
        for (const auto& original : kinds) {
            for (const auto& change : kChanges)
                change(*original);
            original->transparentCollectionEnabled(!original->transparentCollectionEnabled());
            AutoPtr<RenderParams> copy = original->clone();
            EXPECT_TRUE(*copy == *original);
            EXPECT_EQ(copy->rendererKey(), original->rendererKey());
            original->Accept(&pass);
            const Pass::EPick pick = pass.lastPick();
            copy->Accept(&pass);
            EXPECT_EQ(pass.lastPick(), pick) << "a clone is of the same kind";
            EXPECT_EQ(copy->ClassName(), Lumo::Objects::Intern(L"RenderParams"));
            EXPECT_EQ(copy->GetInterface(RenderParams::InterfaceID()), static_cast<void*>(copy.get()));
        }
        AutoPtr<RenderParams> assigned = RenderParams::make();
        *assigned = *kinds[0];
        EXPECT_EQ(assigned->rendererKey(), kinds[0]->rendererKey());
        EXPECT_EQ(assigned->RefCount(), 1) << "assignment copies properties, not the count";
    }
    EXPECT_EQ(RenderParams::NetObjectCount(), live);
}

TEST_F(RenderParamsTest, TheSelectionOptionChoosesTheVariantOfTheRenderersPair) {
    struct Case {
        bool sketch;
        ERenderer from;
        SelectionEffectOptions option;
        int expected;
    };
    const Case cases[] = {
        {false, eRendererSelection, eSelectionEffectSimplified, 3},
        {false, eRendererSelectionSimplified, eSelectionEffectFast, 2},
        {false, eRendererHighlight, eSelectionEffectSimplified, 5},
        {false, eRendererHighlightSimplified, eSelectionEffectNormal, 4},
        {false, eRendererSketchSelection, eSelectionEffectSimplified, 6}, // not the selection kind's pair
        {true, eRendererSketchSelection, eSelectionEffectSimplified, 7},
        {true, eRendererSketchSelectionSimplified, eSelectionEffectNormal, 6},
        {true, eRendererSelection, eSelectionEffectSimplified, 2}, // not the sketch kind's pair
    };
    Pass pass;
    for (const Case& c : cases) {
        options->selectionEffectOption(c.option);
        AutoPtr<SelectionRenderParams> p =
            c.sketch ? SketchSelectionRenderParams::make() : SelectionRenderParams::make();
        p->renderer(c.from);
        p->Accept(&pass);
        EXPECT_EQ(p->renderer(), c.expected) << "from " << c.from << " with option " << c.option;
        EXPECT_EQ(pass.lastRenderer(), c.expected);
        EXPECT_EQ(pass.lastPick(), c.sketch ? Pass::ePickSketchSelection : Pass::ePickSelection);
    }
}

TEST_F(RenderParamsTest, WithoutSelectionEffectThePassIsDrawnAsAPlainLayer) {
    options->selectionEffectOption(eSelectionEffectNone);
    Pass pass;
    AutoPtr<SelectionRenderParams> selection = SelectionRenderParams::make();
    selection->renderer(eRendererSelectionSimplified);
    selection->Accept(&pass);
    EXPECT_EQ(selection->renderer(), eRendererSelectionSimplified) << "its own renderer is left alone";
    EXPECT_EQ(pass.lastPick(), Pass::ePickPlain);
    EXPECT_EQ(pass.lastRenderer(), 9);
    EXPECT_NE(pass.lastRendererKey().find(L"transpCollection 0"), std::wstring::npos);
    const RenderParams* layer = pass.lastParams();

    AutoPtr<SketchSelectionRenderParams> sketch = SketchSelectionRenderParams::make();
    sketch->renderer(eRendererSketchSelection);
    sketch->Accept(&pass);
    EXPECT_EQ(pass.lastParams(), layer) << "one stand-in for the whole process";
    sketch->Accept(nullptr);

    // While the view moves the degraded option rules, here asking for the simplified effect.
    options->degradedSelectionEffectOption(eSelectionEffectSimplified);
    pass.interactiveRendering(true);
    sketch->Accept(&pass);
    EXPECT_EQ(pass.lastPick(), Pass::ePickSketchSelection);
    EXPECT_EQ(sketch->renderer(), eRendererSketchSelectionSimplified);
}

TEST_F(SelectionRenderParamsTest, WithoutARecordTheEffectTakesFixedDefaults) {
    // The test's resource folder holds no environment, so none is active at first.
    ASSERT_EQ(manager->activeEnvironment(), nullptr);
    auto* env = new Environment(L"Records");
    env->selectParams(distinctRecord(1));
    manager->add(env);

    const SelectEffectInfo defaults{{0, 0, 1, 0.5f},
                                    {1, 0, 1, 1},
                                    {0.5f, 0.5f, 0.5f, 0.7f},
                                    {0.18f, 0.25f, 0.49f, 1},
                                    {0.3f, 0.47f, 0.84f, 1},
                                    {1, 0, 0, 1},
                                    {0.3f, 0.47f, 0.84f, 0.33f},
                                    2,
                                    1.0f,
                                    1,
                                    true,
                                    true,
                                    true,
                                    true,
                                    true,
                                    false,
                                    false};
    AutoPtr<SketchSelectionRenderParams> p = SketchSelectionRenderParams::make();
    // No active environment; then renderer 9, which has no record; then an environment without
    // a sketch record.
    for (ERenderer r : {eRendererSelection, eRendererLayer, eRendererSketchSelection}) {
        if (r != eRendererSelection)
            manager->activeEnvironmentID(L"Records");
        p->renderer(r);
        EXPECT_EQ(queried(*p), defaults) << "renderer " << r;
    }
}

TEST_F(SelectionRenderParamsTest, TheRendererChoosesTheActiveEnvironmentsRecord) {
    auto* env = new Environment(L"Records");
    env->selectParams(distinctRecord(11));
    env->highlightParams(distinctRecord(12));
    env->sketchSelectParams(distinctRecord(13));
    manager->add(env);
    manager->activeEnvironmentID(L"Records");

    AutoPtr<SketchSelectionRenderParams> p = SketchSelectionRenderParams::make();
    const std::pair<ERenderer, int> expected[] = {
        {eRendererSelection, 11},       {eRendererSelectionSimplified, 11},
        {eRendererHighlight, 12},       {eRendererHighlightSimplified, 12},
        {eRendererSketchSelection, 13}, {eRendererSketchSelectionSimplified, 13}};
    for (auto [renderer, seed] : expected) {
        p->renderer(renderer);
        EXPECT_EQ(queried(*p), distinctRecord(seed)) << "renderer " << renderer;
    }

    // Values are read when asked for, so a change of environment restyles existing passes.
    auto* other = new Environment(L"Other");
    other->sketchSelectParams(distinctRecord(21));
    manager->add(other);
    manager->activeEnvironmentID(L"Other");
    EXPECT_EQ(p->haloWidth(), 21);
}

TEST_F(RenderParamsTest, StandardSetsAreRefreshedOnEveryRequest) {
    options->visualStyle(4);
    options->NPREffect(2);
    options->displayGroundPlane(true);
    options->groundShadowEnabled(true);
    options->groundReflectionEnabled(true);
    options->ambientOccludedEnabled(true);
    options->objectShadowType(1);
    RenderParams& scene = RenderParams::sceneEffectParams();
    scene.renderer(eRendererLayer);
    scene.cacheSceneType(0);
    EXPECT_EQ(&RenderParams::sceneEffectParams(), &scene);
    EXPECT_EQ(scene.rendererKey(), L"{Renderer 1, nprEffect 2, groundReflectionEnabled 1, groundShadowEnabled 0, "
                                   L"objectShadow 1, ambientOcclusionEnabled 0, transpCollection 1, "
                                   L"environmentEnabled 1, groundPlaneEnabled 1}");
    EXPECT_TRUE(scene.cacheTarget() && scene.cacheDepthStencil() && scene.ambientOcclusionEnabled());
    EXPECT_EQ(scene.cacheSceneType(), 1);
    EXPECT_EQ(scene.visualStyle(), 4);
    options->groundShadowEnabled(false);
    EXPECT_FALSE(RenderParams::sceneEffectParams().groundShadowEnabled());

    EXPECT_EQ(RenderParams::layerEffectParams().renderer(), eRendererLayer);
    EXPECT_EQ(SelectionRenderParams::highlightEffectParams().renderer(), eRendererHighlight);
    EXPECT_EQ(SketchSelectionRenderParams::sketchSelectionEffectParams().renderer(), eRendererSketchSelection);

    // Accepting the shared selection set moves its renderer; the next request puts it back.
    options->selectionEffectOption(eSelectionEffectSimplified);
    Pass pass;
    SelectionRenderParams::selectionEffectParams().Accept(&pass);
    EXPECT_EQ(pass.lastRenderer(), 3);
    const SelectionRenderParams& selection = SelectionRenderParams::selectionEffectParams();
    EXPECT_EQ(selection.renderer(), eRendererSelection);
    EXPECT_TRUE(selection.cacheTarget());
    EXPECT_EQ(selection.cacheSceneType(), 2);
}
