#include "EffectTestSupport.h"

#include <Lumo/Devices/ABlendState.h>
#include <Lumo/Devices/ADepthStencilState.h>
#include <Lumo/Devices/IRenderEffect.h>
#include <Lumo/Devices/LayeredEffectInstance.h>
#include <Lumo/Devices/SolidEffectInstance.h>
#include <Lumo/Devices/StockEffects.h>
#include <Lumo/Objects/UString.h>
#include <Scene/Attributes/ColorEffectAttribute.h>
#include <Scene/Attributes/OccludedEffectAttribute.h>

using namespace Lumo::Scene;
using namespace SceneTest;
using Lumo::Devices::LayeredEffectInstance;
using Lumo::Devices::SolidEffectInstance;
using Lumo::Objects::Intern;
using Lumo::Objects::QueryInterface;
using Lumo::Objects::UString;
using Lumo::Objects::vec4;

namespace {
OccludedEffectAttribute* Occluded(const UString* path, float r, bool winTies = false, unsigned char priority = 0) {
    return OccludedEffectAttribute::Make(path, vec4<float>(r, 0, 0, 1), 0.9f, 0.3f, winTies, priority);
}
} // namespace

using OccludedEffectAttributeTest = EffectTest;

TEST_F(OccludedEffectAttributeTest, DefaultsAndText) {
    EXPECT_FLOAT_EQ(OccludedEffectAttribute::VISIBLE_OPACITY(), 1.0f);
    EXPECT_FLOAT_EQ(OccludedEffectAttribute::OCCLUDED_OPACITY(), 0.4f);
    AutoPtr<Attribute> a = OccludedEffectAttribute::Make(Intern(L"/t/x.png"), vec4<float>(1, 0.5f, 0, 1), 1.0f, 0.4f);
    EXPECT_EQ(a->ToString(), L"Path: /t/x.png\nColor: 1 0.5 0 1\nVisibleOpacity: 1\nOccludedOpacity: 0.4");
    EXPECT_TRUE(a->Equals(AutoPtr<Attribute>(
        OccludedEffectAttribute::Make(Intern(L"/t/x.png"), vec4<float>(1, 0.5f, 0, 1), 1.0f, 0.4f))));
    EXPECT_FALSE(a->Equals(AutoPtr<Attribute>(
        OccludedEffectAttribute::Make(Intern(L"/t/x.png"), vec4<float>(1, 0.5f, 0, 1), 1.0f, 0.2f))));
    EXPECT_FALSE(a->Equals(AutoPtr<Attribute>(
        OccludedEffectAttribute::Make(Intern(L"/t/x.png"), vec4<float>(1, 0.5f, 0, 1), 0.8f, 0.4f))));
}

TEST_F(OccludedEffectAttributeTest, MergeKeepsThePathWhicheverWins) {
    const UString* path = Intern(L"/t/stripes.png");
    AutoPtr<OccludedEffectAttribute> held = Occluded(nullptr, 0.25f);
    AutoPtr<OccludedEffectAttribute> incoming = Occluded(path, 0.75f);
    // Equal priority, no tie flag: the incoming one wins and already has the path.
    EXPECT_EQ(held->Merge(incoming), incoming.get());

    // The held one wins on priority but lacks the path: a new attribute with its values and that path.
    AutoPtr<OccludedEffectAttribute> strong =
        OccludedEffectAttribute::Make(nullptr, vec4<float>(0.25f, 0, 0, 1), 0.8f, 0.2f, true, 7);
    AutoPtr<Attribute> merged = strong->Merge(incoming);
    ASSERT_NE(merged.get(), strong.get());
    ASSERT_NE(merged.get(), incoming.get());
    auto* m = QueryInterface<OccludedEffectAttribute>(merged.get());
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Path(), path);
    EXPECT_EQ(m->Color(), vec4<float>(0.25f, 0, 0, 1));
    EXPECT_FLOAT_EQ(m->VisibleOpacity(), 0.8f);
    EXPECT_FLOAT_EQ(m->OccludedOpacity(), 0.2f);
    EXPECT_EQ(m->Priority(), 7);
    EXPECT_TRUE(m->WinTies());

    // Reversed: the held one has the path and wins, so it is kept as it is.
    AutoPtr<OccludedEffectAttribute> heldWithPath = Occluded(path, 0.5f, false, 3);
    EXPECT_EQ(heldWithPath->Merge(AutoPtr<Attribute>(Occluded(nullptr, 0.1f))), heldWithPath.get());
    // Incoming wins without a path against a held path: the winner's values with the held path.
    AutoPtr<OccludedEffectAttribute> weakIncoming = Occluded(nullptr, 0.1f, false, 9);
    AutoPtr<Attribute> merged2 = heldWithPath->Merge(weakIncoming);
    auto* m2 = QueryInterface<OccludedEffectAttribute>(merged2.get());
    ASSERT_NE(m2, nullptr);
    EXPECT_EQ(m2->Path(), path);
    EXPECT_EQ(m2->Color(), vec4<float>(0.1f, 0, 0, 1));
    EXPECT_EQ(m2->Priority(), 9);
}

TEST_F(OccludedEffectAttributeTest, MergeFallsBackToThePriorityRule) {
    const UString* a = Intern(L"/t/a.png");
    const UString* b = Intern(L"/t/b.png");
    AutoPtr<OccludedEffectAttribute> held = Occluded(a, 0.5f);
    EXPECT_EQ(held->Merge(nullptr), held.get());
    AutoPtr<OccludedEffectAttribute> both = Occluded(b, 0.5f);
    EXPECT_EQ(held->Merge(both), both.get()); // both have paths
    AutoPtr<OccludedEffectAttribute> neither1 = Occluded(nullptr, 0.5f, true);
    AutoPtr<OccludedEffectAttribute> neither2 = Occluded(nullptr, 0.5f);
    EXPECT_EQ(neither1->Merge(neither2), neither1.get()); // tie flag
    AutoPtr<ColorEffectAttribute> colour = ColorEffectAttribute::Make(vec4<float>(1, 1, 1, 1));
    AutoPtr<OccludedEffectAttribute> bare = Occluded(nullptr, 0.5f);
    EXPECT_EQ(bare->Merge(colour), colour.get()); // not occluded: no path to carry over
}

TEST_F(OccludedEffectAttributeTest, LayersDrawHiddenPartsFaintlyThenVisibleOnes) {
    AutoPtr<OccludedEffectAttribute> a =
        OccludedEffectAttribute::Make(nullptr, vec4<float>(0, 0.5f, 1, 0.8f), 0.9f, 0.4f);
    auto* layered = QueryInterface<LayeredEffectInstance>(a->EffectInstance(*dc, false));
    ASSERT_NE(layered, nullptr);
    EXPECT_TRUE(layered->Transparent());
    ASSERT_EQ(layered->LayerCount(), 2);
    auto* hidden = QueryInterface<SolidEffectInstance>(layered->Layer(0));
    auto* visible = QueryInterface<SolidEffectInstance>(layered->Layer(1));
    ASSERT_TRUE(hidden && visible);
    EXPECT_EQ(visible->Effect()->Name(), Lumo::Devices::StockEffects::SolidTName());
    EXPECT_FLOAT_EQ(visible->Opacity(), 0.8f * 0.9f);
    EXPECT_FLOAT_EQ(hidden->Opacity(), 0.8f * 0.9f * 0.4f);
    EXPECT_EQ(visible->Color(), vec4<float>(0, 0.5f, 1, 1));

    auto* vd = visible->StateOverrides()->DepthStencil();
    auto* hd = hidden->StateOverrides()->DepthStencil();
    ASSERT_TRUE(vd && hd);
    EXPECT_TRUE(vd->DepthTest());
    EXPECT_FALSE(vd->DepthWrite());
    EXPECT_EQ(vd->DepthFunc(), Lumo::Devices::eCompareLessEqual);
    EXPECT_TRUE(hd->DepthTest());
    EXPECT_FALSE(hd->DepthWrite());
    EXPECT_EQ(hd->DepthFunc(), Lumo::Devices::eCompareGreater);
    for (SolidEffectInstance* layer : {hidden, visible}) {
        EXPECT_EQ(OverriddenCull(layer), Lumo::Devices::eCullNone);
        auto* blend = layer->StateOverrides()->Blend();
        ASSERT_NE(blend, nullptr);
        EXPECT_TRUE(blend->Target(0).enable);
        EXPECT_EQ(blend->Target(0).src, Lumo::Devices::eBlendSrcAlpha);
        EXPECT_EQ(blend->Target(0).dest, Lumo::Devices::eBlendInvSrcAlpha);
    }
}
