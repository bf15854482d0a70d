// Render parameters: equality and graph keys, cloning by kind, the selection effect option at
// Accept, effect values read from the active environment, and the standard parameter sets.
#include "../Environment/EnvironmentTestSupport.h"

#include <Lumo/Objects/AutoPtr.h>
#include <Scene/Environment/Environment.h>
#include <Scene/View/RenderParams.h>
#include <Scene/View/SelectionRenderParams.h>
#include <Scene/View/SketchSelectionRenderParams.h>
#include <Scene/View/ViewFragmentPassRenderer.h>

#include <functional>
#include <vector>

using namespace Brio::Scene;
using EnvironmentTest::ExpectColor;
using Lumo::Objects::AutoPtr;

namespace {

using RenderParamsTest = SceneTest::GraphicsOptionsTest;
using SelectionRenderParamsTest = EnvironmentTest::EnvironmentManagerTest;

/// Every property away from its default.
void changeAll(RenderParams& p) {
    p.renderer(eRendererTransparencyOnly);
    p.nprEffect(eNPRGraphite);
    p.objectShadowType(eObjectShadowSoft);
    p.visualStyle(6);
    p.groundPlaneOrientation({0.0, 0.0, 1.0});
    p.groundPlaneOffset(-2.5f);
    p.groundReflectionEnabled(true);
    p.groundShadowEnabled(true);
    p.shadowStraightDown(false);
    p.ambientOcclusionEnabled(true);
    p.transparentCollectionEnabled(!p.transparentCollectionEnabled());
    p.environmentEnabled(true);
    p.cacheTarget(true);
    p.cacheDepthStencil(true);
    p.cacheSceneType(2);
    p.interactiveRendering(true);
    p.colorCyclingEnabled(true);
    p.groundPlaneEnabled(true);
    p.displaySilhouettes(!p.displaySilhouettes());
}

SelectEffectInfo distinctRecord(int seed) {
    const float f = seed / 100.0f;
    SelectEffectInfo info;
    info.baseColor = {f, 0.01f, 0.02f, 0.03f};
    info.backFaceColor = {f, 0.11f, 0.12f, 0.13f};
    info.haloColor = {f, 0.21f, 0.22f, 0.23f};
    info.hiddenLineColor = {f, 0.31f, 0.32f, 0.33f};
    info.lineColor = {f, 0.41f, 0.42f, 0.43f};
    info.lineColor2 = {f, 0.51f, 0.52f, 0.53f};
    info.glowColor = {f, 0.61f, 0.62f, 0.63f};
    info.haloWidth = seed;
    info.blurWeight = 0.25f;
    info.linesWidth = 7;
    info.useBase = false;
    info.useGlow = true;
    info.useHalo = false;
    info.useHiddenLines = true;
    info.useLines = false;
    info.quickHalo = true;
    info.dilateOne = true;
    return info;
}

} // namespace

TEST_F(RenderParamsTest, DefaultsShowInTheKey) {
    AutoPtr<RenderParams> p = RenderParams::make();
    EXPECT_EQ(p->rendererKey(), L"{Renderer 1, nprEffect 0, groundReflectionEnabled 0, groundShadowEnabled 0, "
                                L"objectShadow 0, ambientOcclusionEnabled 0, transpCollection 1, "
                                L"environmentEnabled 0, groundPlaneEnabled 0}");
    EXPECT_EQ(p->visualStyle(), 2);
    EXPECT_TRUE(p->shadowStraightDown());
    EXPECT_EQ(p->groundPlaneOrientation().y, 1.0);
    EXPECT_EQ(p->displaySilhouettes(), options->displaySilhouette());

    options->displaySilhouette(!options->displaySilhouette());
    AutoPtr<RenderParams> later = RenderParams::make();
    EXPECT_EQ(later->displaySilhouettes(), options->displaySilhouette()) << "taken from the option at construction";
    EXPECT_NE(p->displaySilhouettes(), later->displaySilhouettes());
    EXPECT_TRUE(*p != *later);

    EXPECT_FALSE(AutoPtr<RenderParams>(SelectionRenderParams::make())->transparentCollectionEnabled());
    EXPECT_FALSE(AutoPtr<RenderParams>(SketchSelectionRenderParams::make())->transparentCollectionEnabled());
}

TEST_F(RenderParamsTest, EqualityCoversEveryPropertyButTransparentCollection) {
    AutoPtr<RenderParams> a = RenderParams::make(), b = RenderParams::make();
    b->transparentCollectionEnabled(false);
    EXPECT_TRUE(*a == *b);
    EXPECT_FALSE(*a != *b);
    EXPECT_NE(a->rendererKey(), b->rendererKey()) << "collection decides the graph, so it is in the key";

    const std::vector<std::function<void(RenderParams&)>> changes = {
        [](RenderParams& p) { p.renderer(eRendererLayer); },
        [](RenderParams& p) { p.nprEffect(eNPRPencil); },
        [](RenderParams& p) { p.objectShadowType(eObjectShadowSharp); },
        [](RenderParams& p) { p.visualStyle(1); },
        [](RenderParams& p) { p.groundPlaneOrientation({1.0, 0.0, 0.0}); },
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
    for (size_t i = 0; i < changes.size(); ++i) {
        AutoPtr<RenderParams> changed = RenderParams::make();
        changes[i](*changed);
        EXPECT_TRUE(*a != *changed) << "property " << i;
    }
}

TEST_F(RenderParamsTest, ShadowAndOcclusionNeedAShadedStyle) {
    AutoPtr<RenderParams> p = RenderParams::make();
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

TEST_F(RenderParamsTest, ClonesAndCopiesKeepKindAndEveryProperty) {
    const int live = RenderParams::NetObjectCount();
    {
        AutoPtr<RenderParams> kinds[] = {RenderParams::make(), SelectionRenderParams::make(),
                                         SketchSelectionRenderParams::make()};
        EXPECT_EQ(RenderParams::NetObjectCount(), live + 3) << "every kind counts";
        ViewFragmentPassRenderer pass;
        for (const auto& original : kinds) {
            changeAll(*original);
            AutoPtr<RenderParams> copy = original->clone();
            EXPECT_TRUE(*copy == *original);
            EXPECT_EQ(copy->transparentCollectionEnabled(), original->transparentCollectionEnabled());
            EXPECT_EQ(copy->rendererKey(), original->rendererKey());
            original->Accept(&pass);
            const auto pick = pass.lastPick();
            copy->Accept(&pass);
            EXPECT_EQ(pass.lastPick(), pick) << "a clone is of the same kind";
        }
        AutoPtr<RenderParams> assigned = RenderParams::make();
        *assigned = *kinds[0];
        EXPECT_TRUE(*assigned == *kinds[0]);
        EXPECT_EQ(assigned->transparentCollectionEnabled(), kinds[0]->transparentCollectionEnabled());
        EXPECT_EQ(assigned->RefCount(), 1) << "assignment copies properties, not the count";
    }
    EXPECT_EQ(RenderParams::NetObjectCount(), live);
}

TEST_F(RenderParamsTest, EveryKindAnswersToTheOneInterface) {
    AutoPtr<RenderParams> sketch = SketchSelectionRenderParams::make();
    EXPECT_EQ(RenderParams::InterfaceID(), Lumo::Objects::Intern(L"RenderParams"));
    EXPECT_EQ(sketch->ClassName(), RenderParams::InterfaceID());
    EXPECT_EQ(sketch->GetInterface(RenderParams::InterfaceID()), static_cast<void*>(sketch.get()));
    EXPECT_EQ(sketch->GetInterface(Lumo::Objects::ARefCounted::StaticClassName()), static_cast<void*>(sketch.get()));
}

TEST_F(RenderParamsTest, PlainParamsPickTheGraphOfTheirRenderer) {
    ViewFragmentPassRenderer pass;
    AutoPtr<RenderParams> p = RenderParams::make();
    p->renderer(eRendererTransparencyOnly);
    p->Accept(&pass);
    EXPECT_EQ(pass.lastPick(), ViewFragmentPassRenderer::ePickPlain);
    EXPECT_EQ(pass.lastRenderer(), 10);
    EXPECT_EQ(pass.lastRendererKey(), p->rendererKey());
    EXPECT_EQ(pass.lastParams(), p.get());
    p->Accept(nullptr); // nothing to pick for
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
        {false, eRendererSelectionSimplified, eSelectionEffectNormal, 2},
        {false, eRendererSelectionSimplified, eSelectionEffectFast, 2},
        {false, eRendererHighlight, eSelectionEffectSimplified, 5},
        {false, eRendererHighlightSimplified, eSelectionEffectFast, 4},
        {false, eRendererSketchSelection, eSelectionEffectSimplified, 6}, // not the selection kind's pair
        {true, eRendererSketchSelection, eSelectionEffectSimplified, 7},
        {true, eRendererSketchSelectionSimplified, eSelectionEffectNormal, 6},
        {true, eRendererSelection, eSelectionEffectSimplified, 2}, // not the sketch kind's pair
    };
    ViewFragmentPassRenderer pass;
    for (const Case& c : cases) {
        options->selectionEffectOption(c.option);
        AutoPtr<SelectionRenderParams> p =
            c.sketch ? SketchSelectionRenderParams::make() : SelectionRenderParams::make();
        p->renderer(c.from);
        p->Accept(&pass);
        EXPECT_EQ(p->renderer(), c.expected) << "from " << c.from << " with option " << c.option;
        EXPECT_EQ(pass.lastRenderer(), c.expected);
        EXPECT_EQ(pass.lastPick(),
                  c.sketch ? ViewFragmentPassRenderer::ePickSketchSelection : ViewFragmentPassRenderer::ePickSelection);
    }

    // While the view moves, the degraded option rules.
    options->selectionEffectOption(eSelectionEffectNormal);
    options->degradedSelectionEffectOption(eSelectionEffectSimplified);
    AutoPtr<SelectionRenderParams> p = SelectionRenderParams::make();
    p->renderer(eRendererHighlight);
    p->Accept(&pass);
    EXPECT_EQ(p->renderer(), eRendererHighlight);
    pass.interactiveRendering(true);
    p->Accept(&pass);
    EXPECT_EQ(p->renderer(), eRendererHighlightSimplified);
}

TEST_F(RenderParamsTest, WithoutSelectionEffectThePassIsDrawnAsAPlainLayer) {
    options->selectionEffectOption(eSelectionEffectNone);
    ViewFragmentPassRenderer pass;
    AutoPtr<SelectionRenderParams> selection = SelectionRenderParams::make();
    selection->renderer(eRendererSelectionSimplified);
    selection->Accept(&pass);
    EXPECT_EQ(selection->renderer(), eRendererSelectionSimplified) << "its own renderer is left alone";
    EXPECT_EQ(pass.lastPick(), ViewFragmentPassRenderer::ePickPlain);
    EXPECT_EQ(pass.lastRenderer(), 9);
    EXPECT_NE(pass.lastRendererKey().find(L"transpCollection 0"), std::wstring::npos);
    const RenderParams* layer = pass.lastParams();

    AutoPtr<SketchSelectionRenderParams> sketch = SketchSelectionRenderParams::make();
    sketch->renderer(eRendererSketchSelection);
    sketch->Accept(&pass);
    EXPECT_EQ(pass.lastPick(), ViewFragmentPassRenderer::ePickPlain);
    EXPECT_EQ(pass.lastParams(), layer) << "one stand-in for the whole process";

    // Only the option in force counts: here the degraded one asks for the full effect.
    options->degradedSelectionEffectOption(eSelectionEffectNormal);
    pass.interactiveRendering(true);
    sketch->Accept(&pass);
    EXPECT_EQ(pass.lastPick(), ViewFragmentPassRenderer::ePickSketchSelection);
}

TEST_F(SelectionRenderParamsTest, WithoutARecordTheEffectTakesFixedDefaults) {
    // The test's resource folder holds no environment, so none is active.
    ASSERT_EQ(manager->activeEnvironment(), nullptr);
    auto* env = new Environment(L"Records");
    env->selectParams(distinctRecord(1));
    manager->add(env);

    AutoPtr<SketchSelectionRenderParams> p = SketchSelectionRenderParams::make();
    for (bool active : {false, true}) {
        if (active)
            manager->activeEnvironmentID(L"Records");
        // Without an active environment even a selection renderer has no record; with one,
        // renderer 9 has none and the environment lacks a sketch record.
        const std::vector<ERenderer> renderers =
            active ? std::vector{eRendererLayer, eRendererSketchSelection} : std::vector{eRendererSelection};
        for (ERenderer r : renderers) {
            SCOPED_TRACE(testing::Message() << "renderer " << r << (active ? " active" : ""));
            p->renderer(r);
            ExpectColor(p->baseColor(), 0.0f, 0.0f, 1.0f, 0.5f);
            ExpectColor(p->backfaceColor(), 1.0f, 0.0f, 1.0f, 1.0f);
            ExpectColor(p->haloColor(), 0.5f, 0.5f, 0.5f, 0.7f);
            ExpectColor(p->hiddenLineColor(), 0.18f, 0.25f, 0.49f, 1.0f);
            ExpectColor(p->lineColor(), 0.3f, 0.47f, 0.84f, 1.0f);
            ExpectColor(p->lineColor2(), 1.0f, 0.0f, 0.0f, 1.0f);
            ExpectColor(p->glowColor(), 0.3f, 0.47f, 0.84f, 0.33f);
            EXPECT_EQ(p->haloWidth(), 2);
            EXPECT_EQ(p->blurWeight(), 1.0f);
            EXPECT_EQ(p->linesWidth(), 1);
            EXPECT_TRUE(p->useBase() && p->useGlow() && p->useHalo() && p->useHiddenLines() && p->useLines());
            EXPECT_FALSE(p->quickHalo() || p->dilateOne());
        }
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
    const std::pair<ERenderer, int> expected[] = {{eRendererSelection, 11}, {eRendererSelectionSimplified, 11},
                                                  {eRendererHighlight, 12}, {eRendererHighlightSimplified, 12},
                                                  {eRendererSketchSelection, 13},
                                                  {eRendererSketchSelectionSimplified, 13}};
    for (auto [renderer, seed] : expected) {
        p->renderer(renderer);
        EXPECT_EQ(p->haloWidth(), seed) << "renderer " << renderer;
    }

    // Each query reads its own field.
    const SelectEffectInfo r = distinctRecord(13);
    EXPECT_EQ(p->baseColor(), r.baseColor);
    EXPECT_EQ(p->backfaceColor(), r.backFaceColor);
    EXPECT_EQ(p->haloColor(), r.haloColor);
    EXPECT_EQ(p->hiddenLineColor(), r.hiddenLineColor);
    EXPECT_EQ(p->lineColor(), r.lineColor);
    EXPECT_EQ(p->lineColor2(), r.lineColor2);
    EXPECT_EQ(p->glowColor(), r.glowColor);
    EXPECT_EQ(p->blurWeight(), r.blurWeight);
    EXPECT_EQ(p->linesWidth(), r.linesWidth);
    EXPECT_EQ(std::vector<bool>({p->useBase(), p->useGlow(), p->useHalo(), p->useHiddenLines(), p->useLines(),
                                 p->quickHalo(), p->dilateOne()}),
              std::vector<bool>({r.useBase, r.useGlow, r.useHalo, r.useHiddenLines, r.useLines, r.quickHalo,
                                 r.dilateOne}));

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
    EXPECT_EQ(scene.renderer(), eRendererVisualEffect);
    EXPECT_TRUE(scene.environmentEnabled() && scene.cacheTarget() && scene.cacheDepthStencil());
    EXPECT_EQ(scene.cacheSceneType(), 1);
    EXPECT_EQ(scene.visualStyle(), 4);
    EXPECT_EQ(scene.nprEffect(), eNPREdgeContrast);
    EXPECT_EQ(scene.objectShadowType(), eObjectShadowSharp);
    EXPECT_TRUE(scene.groundPlaneEnabled() && scene.groundShadowEnabled() && scene.groundReflectionEnabled() &&
                scene.ambientOcclusionEnabled());
    options->groundShadowEnabled(false);
    EXPECT_FALSE(RenderParams::sceneEffectParams().groundShadowEnabled());

    EXPECT_EQ(RenderParams::layerEffectParams().renderer(), eRendererLayer);

    // Accepting the shared selection set moves its renderer; the next request puts it back.
    options->selectionEffectOption(eSelectionEffectSimplified);
    ViewFragmentPassRenderer pass;
    SelectionRenderParams::selectionEffectParams().Accept(&pass);
    EXPECT_EQ(pass.lastRenderer(), 3);
    const SelectionRenderParams& selection = SelectionRenderParams::selectionEffectParams();
    EXPECT_EQ(selection.renderer(), eRendererSelection);
    EXPECT_TRUE(selection.cacheTarget());
    EXPECT_EQ(selection.cacheSceneType(), 2);
    EXPECT_FALSE(selection.transparentCollectionEnabled());

    EXPECT_EQ(SelectionRenderParams::highlightEffectParams().renderer(), eRendererHighlight);
    SketchSelectionRenderParams& sketch = SketchSelectionRenderParams::sketchSelectionEffectParams();
    EXPECT_EQ(sketch.renderer(), eRendererSketchSelection);
    EXPECT_FALSE(sketch.transparentCollectionEnabled());
}
