#include "EffectTestSupport.h"

#include <Lumo/Devices/IRenderEffect.h>
#include <Lumo/Devices/TextureInstance.h>
#include <Lumo/Objects/Mat4.h>
#include <Lumo/Objects/UString.h>
#include <Scene/Attributes/AnalysisEffects.h>
#include <Scene/Attributes/CurvatureMapAttribute.h>
#include <Scene/Attributes/DraftAnalysisAttribute.h>
#include <Scene/Attributes/ZebraAnalysisAttribute.h>

#include <set>
#include <tuple>

using namespace Lumo::Scene;
using namespace SceneTest;
using Lumo::Devices::EffectInstance;
using Lumo::Devices::TextureInstance;
using Lumo::Objects::Intern;
using Lumo::Objects::mat4;
using Lumo::Objects::vec3;
using Lumo::Objects::vec4;
using A = AnalysisEffects;

using AnalysisAttributeTest = EffectTest;

TEST(AnalysisDataTest, ZebraDefaultsEqualityAndText) {
    ZebraAnalysisData z;
    EXPECT_EQ(z.stripeDirection, ZebraAnalysisData::eHorizontal);
    EXPECT_FLOAT_EQ(z.stripeDensity, 15.0f);
    EXPECT_FALSE(z.locked);
    EXPECT_EQ(z.ToString(),
              L"\nZebra stripe direction: Horizontal\nZebra stripe density: 15\nZebra stripe locked: FALSE"
              L"\nColor0: 0 0 0\nColor1: 1 1 1");
    ZebraAnalysisData other = z;
    EXPECT_TRUE(other == z);
    other.color1 = vec3<float>(1, 1, 0.5f);
    EXPECT_FALSE(other == z);
    z.stripeDirection = 1;
    z.locked = true;
    z.stripeDensity = 7.5f;
    EXPECT_EQ(z.ToString(), L"\nZebra stripe direction: Diagonal\nZebra stripe density: 7.5\nZebra stripe locked: TRUE"
                            L"\nColor0: 0 0 0\nColor1: 1 1 1");
    z.stripeDirection = 2;
    EXPECT_NE(z.ToString().Str().find(L"direction: Vertical"), std::wstring::npos);
    z.stripeDirection = 42; // anything else is horizontal
    EXPECT_NE(z.ToString().Str().find(L"direction: Horizontal"), std::wstring::npos);
}

TEST(AnalysisDataTest, DraftAndCurvatureDefaultsEqualityAndText) {
    DraftAnalysisData d;
    d.draftAnglePositive = 3;
    d.draftAngleNegative = -3;
    d.toleranceAnglePositive = 0.5f;
    d.toleranceAngleNegative = 0.25f;
    EXPECT_EQ(d.ToString(), L"\nPull direction: 0 0 1\nDraftAnglePositive: 3\nDraftAngleNegative: -3"
                            L"\nToleranceAnglePositive: 0.5\nToleranceAngleNegative: 0.25");
    DraftAnalysisData e = d;
    EXPECT_TRUE(e == d);
    e.pullDirection = vec3<float>(0, 1, 0);
    EXPECT_FALSE(e == d);

    CurvatureMapData c;
    EXPECT_EQ(c.mapType, CurvatureMapData::eGaussian);
    EXPECT_FLOAT_EQ(c.threshold, 0.5f);
    EXPECT_FLOAT_EQ(c.minValue, 0.0f);
    EXPECT_FLOAT_EQ(c.maxValue, 1.0f);
    EXPECT_EQ(c.ToString(), L"\nMap Type: Gaussian\nDisplay Type: Smooth\nThreshold: 0.5");
    c.mapType = 1;
    c.displayType = 1;
    EXPECT_EQ(c.ToString(), L"\nMap Type: MinimumCurvature\nDisplay Type: Band\nThreshold: 0.5");
    c.mapType = 5;
    c.displayType = 3;
    EXPECT_EQ(c.ToString(), L"\nMap Type: MaximumCurvature\nDisplay Type: Band\nThreshold: 0.5");
    CurvatureMapData range;
    range.maxValue = 2.0f; // not printed, still compared
    EXPECT_FALSE(range == CurvatureMapData());
}

TEST_F(AnalysisAttributeTest, KindsEqualityAndText) {
    ZebraAnalysisData z;
    AutoPtr<ZebraAnalysisAttribute> zebra = ZebraAnalysisAttribute::Make(z, false);
    EXPECT_EQ(zebra->AnalysisType(), VisualAnalysisAttribute::eZebra);
    EXPECT_EQ(zebra->Type(), eEffect);
    EXPECT_EQ(zebra->ToString(), z.ToString());
    EXPECT_TRUE(zebra->Equals(AutoPtr<Attribute>(ZebraAnalysisAttribute::Make(z, false))));
    EXPECT_FALSE(zebra->Equals(AutoPtr<Attribute>(ZebraAnalysisAttribute::Make(z, true))));
    ZebraAnalysisData denser = z;
    denser.stripeDensity = 30;
    EXPECT_FALSE(zebra->Equals(AutoPtr<Attribute>(ZebraAnalysisAttribute::Make(denser, false))));
    EXPECT_EQ(zebra->GetInterface(Intern(L"VisualAnalysisAttribute")), static_cast<void*>(zebra.get()));

    AutoPtr<DraftAnalysisAttribute> draft = DraftAnalysisAttribute::Make(DraftAnalysisData(), true);
    EXPECT_EQ(draft->AnalysisType(), VisualAnalysisAttribute::eDraft);
    EXPECT_TRUE(draft->GetHighQuality());
    EXPECT_FALSE(draft->Equals(zebra));
    EXPECT_FALSE(zebra->Equals(draft));

    AutoPtr<CurvatureMapAttribute> curv = CurvatureMapAttribute::Make(CurvatureMapData(), false, true, 3);
    EXPECT_EQ(curv->AnalysisType(), VisualAnalysisAttribute::eCurvatureMap);
    EXPECT_FALSE(curv->Equals(AutoPtr<Attribute>(CurvatureMapAttribute::Make(CurvatureMapData(), false))));
    EXPECT_TRUE(curv->Equals(AutoPtr<Attribute>(CurvatureMapAttribute::Make(CurvatureMapData(), false, true, 3))));
}

TEST_F(AnalysisAttributeTest, EffectsHaveTheirParameterTables) {
    struct Row {
        Lumo::Objects::UString* effect;
        const wchar_t* name;
        int index;
    };
    const Row rows[] = {
        {A::ZebraName(), L"Stripe Direction", A::eZebraStripeDirection},
        {A::ZebraName(), L"Stripe Locked", A::eZebraStripeLocked},
        {A::ZebraName(), L"Opacity", A::eZebraOpacity},
        {A::ZebraName(), L"Zebra Texture", A::eZebraTexture},
        {A::DraftName(), L"Pull Direction", A::eDraftPullDirection},
        {A::DraftName(), L"Tolerance Angle Negative", A::eDraftToleranceNegative},
        {A::DraftName(), L"Draft Texture", A::eDraftTexture},
        {A::CurvatureName(), L"Map Type", A::eCurvatureMapType},
        {A::CurvatureName(), L"GaussianFactor", A::eCurvatureGaussianFactor},
        {A::CurvatureName(), L"Diffuse Texture", A::eCurvatureDiffuseTexture},
    };
    for (const Row& row : rows) {
        Lumo::Devices::IRenderEffect* effect = A::Acquire(device, row.effect);
        ASSERT_NE(effect, nullptr);
        EXPECT_EQ(effect->ParameterIndex(row.name), row.index) << row.name;
    }
    EXPECT_EQ(A::Acquire(device, Intern(L"TavexNoSuchEffect")), nullptr);
    Lumo::Devices::IRenderEffect* zebra = A::Acquire(device, A::ZebraName());
    EXPECT_FLOAT_EQ(zebra->Defaults().GetFloat(A::eZebraStripeDensity), 20.0f);
    EXPECT_FLOAT_EQ(zebra->Defaults().GetFloat(A::eZebraGlossiness), 16.0f);
    EXPECT_EQ(zebra->Defaults().GetFloat3(A::eZebraAmbient), vec3<float>(0.2f, 0.2f, 0.2f));
}

TEST_F(AnalysisAttributeTest, ZebraAndDraftInstancesCarryTheirData) {
    ZebraAnalysisData z;
    z.stripeDirection = ZebraAnalysisData::eVertical;
    z.stripeDensity = 12;
    z.color0 = vec3<float>(0.1f, 0.2f, 0.3f);
    z.locked = true;
    AutoPtr<ZebraAnalysisAttribute> zebra = ZebraAnalysisAttribute::Make(z, false);
    EffectInstance* ze = zebra->EffectInstance(*dc, false);
    ASSERT_NE(ze, nullptr);
    EXPECT_EQ(ze->Effect()->Name(), A::ZebraName());
    EXPECT_FLOAT_EQ(ze->Values().GetFloat(A::eZebraStripeDirection), 1.0f);
    EXPECT_FLOAT_EQ(ze->Values().GetFloat(A::eZebraStripeDensity), 12.0f);
    EXPECT_EQ(ze->Values().GetFloat3(A::eZebraStripeColor0), vec3<float>(0.1f, 0.2f, 0.3f));
    EXPECT_TRUE(ze->Values().GetBool(A::eZebraStripeLocked));
    AutoPtr<EffectInstance> fresh = zebra->EffectInstance(*dc, true);
    EXPECT_NE(fresh.get(), ze);
    EXPECT_EQ(fresh->Values(), ze->Values());

    DraftAnalysisData d;
    d.pullDirection = vec3<float>(0, 3, 4);
    d.draftAnglePositive = 2;
    d.toleranceAngleNegative = 0.5f;
    AutoPtr<DraftAnalysisAttribute> draft = DraftAnalysisAttribute::Make(d, false);
    EffectInstance* de = draft->EffectInstance(*dc, false);
    ASSERT_NE(de, nullptr);
    EXPECT_EQ(de->Effect()->Name(), A::DraftName());
    const vec3<float> pull = de->Values().GetFloat3(A::eDraftPullDirection);
    EXPECT_FLOAT_EQ(pull.y, 0.6f);
    EXPECT_FLOAT_EQ(pull.z, 0.8f);
    EXPECT_FLOAT_EQ(de->Values().GetFloat(A::eDraftAnglePositive), 2.0f);
    EXPECT_FLOAT_EQ(de->Values().GetFloat(A::eDraftToleranceNegative), 0.5f);
}

TEST_F(AnalysisAttributeTest, CurvatureMapsItsRangeOntoARamp) {
    CurvatureMapData c;
    c.mapType = CurvatureMapData::eMaximumCurvature;
    c.minValue = -2.0f;
    c.maxValue = 2.0f;
    c.threshold = 0.25f;
    AutoPtr<CurvatureMapAttribute> curv = CurvatureMapAttribute::Make(c, false);
    EffectInstance* ce = curv->EffectInstance(*dc, false);
    ASSERT_NE(ce, nullptr);
    EXPECT_EQ(ce->Values().GetInt(A::eCurvatureMapType), CurvatureMapData::eMaximumCurvature);
    EXPECT_FLOAT_EQ(ce->Values().GetFloat(A::eCurvatureGaussianFactor), 4.0f);
    const mat4<float> m = ce->Values().GetMatrix(A::eCurvatureTextureTransform);
    auto u = [&](float value) { return m.TransformPoint(vec3<float>(value, 0, 0)).x; };
    EXPECT_FLOAT_EQ(u(-2.0f), 0.0f);
    EXPECT_FLOAT_EQ(u(0.0f), 0.5f);
    EXPECT_FLOAT_EQ(u(2.0f), 1.0f);

    TextureInstance* ramp = ce->Values().GetTexture(A::eCurvatureDiffuseTexture);
    ASSERT_NE(ramp, nullptr);
    EXPECT_EQ(ramp, curv->GetTexture(*dc));
    EXPECT_EQ(ramp->Width(), 64);
    EXPECT_EQ(ramp->Height(), 1);
    EXPECT_EQ(ramp->Filter(), Lumo::Devices::eFilterLinear);
    EXPECT_EQ(ramp->AddressU(), Lumo::Devices::eAddressClamp);
    Lumo::Devices::SLockedLevel level = ramp->LockLevel(0);
    ASSERT_TRUE(level);
    EXPECT_EQ(std::make_tuple(level.data[0], level.data[1], level.data[2]), std::make_tuple(0, 8, 255)); // blue end
    const std::uint8_t* last = level.data + 63 * 4;
    EXPECT_EQ(std::make_tuple(last[0], last[1], last[2]), std::make_tuple(255, 8, 0)); // red end
    ramp->UnlockLevel(0);

    AutoPtr<CurvatureMapAttribute> fine = CurvatureMapAttribute::Make(c, true);
    EXPECT_EQ(fine->GetTexture(*dc)->Width(), 256);
}

TEST_F(AnalysisAttributeTest, BandedRampHasOneColourPerBand) {
    CurvatureMapData c;
    c.displayType = CurvatureMapData::eBand;
    AutoPtr<CurvatureMapAttribute> curv = CurvatureMapAttribute::Make(c, false);
    TextureInstance* ramp = curv->GetTexture(*dc);
    ASSERT_NE(ramp, nullptr);
    Lumo::Devices::SLockedLevel level = ramp->LockLevel(0);
    ASSERT_TRUE(level);
    std::set<std::tuple<int, int, int>> colours;
    for (int x = 0; x < level.width; ++x)
        colours.emplace(level.data[x * 4], level.data[x * 4 + 1], level.data[x * 4 + 2]);
    ramp->UnlockLevel(0);
    EXPECT_EQ(static_cast<int>(colours.size()), CurvatureMapAttribute::kBandCount);
    AutoPtr<Lumo::Devices::ADrawContext> bare = Lumo::Devices::ADrawContext::Make(nullptr);
    EXPECT_EQ(curv->GetTexture(*bare), nullptr);
    EXPECT_EQ(curv->EffectInstance(*bare, true), nullptr);
}
