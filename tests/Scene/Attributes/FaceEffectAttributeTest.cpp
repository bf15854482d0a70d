#include "EffectTestSupport.h"

#include <Lumo/Devices/BasicMaterialEffectInstance.h>
#include <Lumo/Devices/LayeredEffectInstance.h>
#include <Lumo/Devices/SolidEffectInstance.h>
#include <Lumo/Objects/UString.h>
#include <Scene/Attributes/ColorEffectAttribute.h>
#include <Scene/Attributes/OccludedEffectAttribute.h>
#include <Scene/Attributes/SingleSidedFaceEffectAttribute.h>
#include <Scene/Attributes/TwoSidedFaceEffectAttribute.h>
#include <Scene/Attributes/WireframeMaterialEffectAttribute.h>

using namespace Lumo::Scene;
using namespace SceneTest;
using Lumo::Devices::BasicMaterialEffectInstance;
using Lumo::Devices::eCullBack;
using Lumo::Devices::eCullFront;
using Lumo::Devices::eCullNone;
using Lumo::Devices::EffectInstance;
using Lumo::Devices::LayeredEffectInstance;
using Lumo::Devices::SolidEffectInstance;
using Lumo::Objects::QueryInterface;
using Lumo::Objects::vec3;
using Lumo::Objects::vec4;

namespace {
vec4<float> ColorOf(EffectInstance* ei) {
    auto* solid = QueryInterface<SolidEffectInstance>(ei);
    return solid ? solid->Color() : vec4<float>(-1, -1, -1, -1);
}
} // namespace

using FaceEffectAttributeTest = EffectTest;

TEST_F(FaceEffectAttributeTest, TwoSidedDrawsTheBackWithFrontsCulledThenTheFront) {
    AutoPtr<ColorEffectAttribute> red = ColorEffectAttribute::Make(vec4<float>(1, 0, 0, 1));
    AutoPtr<ColorEffectAttribute> blue = ColorEffectAttribute::Make(vec4<float>(0, 0, 1, 1));
    AutoPtr<TwoSidedFaceEffectAttribute> two = TwoSidedFaceEffectAttribute::Make(red, blue);

    auto* layered = QueryInterface<LayeredEffectInstance>(two->EffectInstance(*dc, false));
    ASSERT_NE(layered, nullptr);
    ASSERT_EQ(layered->LayerCount(), 2);
    EXPECT_EQ(ColorOf(layered->Layer(0)), vec4<float>(0, 0, 1, 1));
    EXPECT_EQ(OverriddenCull(layered->Layer(0)), eCullFront);
    EXPECT_EQ(ColorOf(layered->Layer(1)), vec4<float>(1, 0, 0, 1));
    EXPECT_EQ(OverriddenCull(layered->Layer(1)), eCullBack);

    // The layers are clones: the shared colour instances stay without overrides.
    EffectInstance* sharedRed = red->EffectInstance(*dc, false);
    EXPECT_NE(layered->Layer(1), sharedRed);
    EXPECT_EQ(sharedRed->StateOverrides(), nullptr);
    EXPECT_EQ(blue->EffectInstance(*dc, false)->StateOverrides(), nullptr);

    AutoPtr<EffectInstance> fresh = two->EffectInstance(*dc, true);
    EXPECT_NE(fresh.get(), layered);
    ASSERT_NE(QueryInterface<LayeredEffectInstance>(fresh.get()), nullptr);
    EXPECT_EQ(QueryInterface<LayeredEffectInstance>(fresh.get())->LayerCount(), 2);
}

TEST_F(FaceEffectAttributeTest, TwoSidedDefaultsArePaintInFrontAndOchreBehind) {
    AutoPtr<TwoSidedFaceEffectAttribute> two = TwoSidedFaceEffectAttribute::Make(nullptr, nullptr);
    auto* layered = QueryInterface<LayeredEffectInstance>(two->EffectInstance(*dc, false));
    ASSERT_NE(layered, nullptr);
    ASSERT_EQ(layered->LayerCount(), 2);
    auto* back = QueryInterface<BasicMaterialEffectInstance>(layered->Layer(0));
    ASSERT_NE(back, nullptr);
    const vec3<float> ochre(0.36078432f, 0.29803923f, 0.1254902f);
    EXPECT_EQ(back->Ambient(), ochre);
    EXPECT_EQ(back->Diffuse(), ochre);
    EXPECT_EQ(back->Specular(), ochre);
    EXPECT_FLOAT_EQ(back->Opacity(), 1.0f);
    EXPECT_EQ(OverriddenCull(back), eCullFront);

    auto* front = QueryInterface<BasicMaterialEffectInstance>(layered->Layer(1));
    ASSERT_NE(front, nullptr);
    auto* paint = QueryInterface<BasicMaterialEffectInstance>(TwoSidedFaceEffectAttribute::DefaultFrontFaceEI(*dc));
    ASSERT_NE(paint, nullptr);
    EXPECT_EQ(front->Diffuse(), paint->Diffuse());
    EXPECT_EQ(paint->Diffuse(), vec3<float>(0.62f, 0.64f, 0.66f)); // "Paint-015"
    EXPECT_EQ(OverriddenCull(front), eCullBack);
    EXPECT_EQ(TwoSidedFaceEffectAttribute::DefaultBackFaceEI(*dc), TwoSidedFaceEffectAttribute::DefaultBackFaceEI(*dc));
    EXPECT_EQ(paint->StateOverrides(), nullptr);
}

TEST_F(FaceEffectAttributeTest, TwoSidedFlattensLayeredSidesAndKeepsWireframes) {
    AutoPtr<OccludedEffectAttribute> occluded =
        OccludedEffectAttribute::Make(nullptr, vec4<float>(0, 1, 0, 1), 1.0f, 0.4f);
    AutoPtr<WireframeMaterialEffectAttribute> wire = WireframeMaterialEffectAttribute::Make(BasicColorMaterial());
    AutoPtr<TwoSidedFaceEffectAttribute> two = TwoSidedFaceEffectAttribute::Make(occluded, wire);
    auto* layered = QueryInterface<LayeredEffectInstance>(two->EffectInstance(*dc, false));
    ASSERT_NE(layered, nullptr);
    ASSERT_EQ(layered->LayerCount(), 3); // the wireframe, then the occluded kind's two layers
    EXPECT_EQ(OverriddenCull(layered->Layer(0)), eCullFront);
    EXPECT_EQ(layered->Layer(0)->StateOverrides()->Rasterizer()->FillMode(), Lumo::Devices::eFillWireframe);
    for (int i = 1; i < 3; ++i) {
        EXPECT_EQ(OverriddenCull(layered->Layer(i)), eCullBack);
        EXPECT_EQ(QueryInterface<LayeredEffectInstance>(layered->Layer(i)), nullptr);
        // The occluded layers keep their depth tests; only the culling changed.
        ASSERT_NE(layered->Layer(i)->StateOverrides()->DepthStencil(), nullptr);
    }
    EXPECT_TRUE(layered->Transparent());
}

TEST_F(FaceEffectAttributeTest, TwoSidedEqualityAndText) {
    AutoPtr<EffectAttribute> red = ColorEffectAttribute::Make(vec4<float>(1, 0, 0, 1));
    AutoPtr<EffectAttribute> red2 = ColorEffectAttribute::Make(vec4<float>(1, 0, 0, 1));
    AutoPtr<EffectAttribute> blue = ColorEffectAttribute::Make(vec4<float>(0, 0, 1, 1));
    AutoPtr<Attribute> a = TwoSidedFaceEffectAttribute::Make(red, nullptr);
    EXPECT_TRUE(a->Equals(AutoPtr<Attribute>(TwoSidedFaceEffectAttribute::Make(red2, nullptr))));
    EXPECT_FALSE(a->Equals(AutoPtr<Attribute>(TwoSidedFaceEffectAttribute::Make(blue, nullptr))));
    EXPECT_FALSE(a->Equals(AutoPtr<Attribute>(TwoSidedFaceEffectAttribute::Make(red, red))));
    EXPECT_FALSE(a->Equals(AutoPtr<Attribute>(TwoSidedFaceEffectAttribute::Make(nullptr, nullptr))));
    EXPECT_TRUE(AutoPtr<Attribute>(TwoSidedFaceEffectAttribute::Make(nullptr, nullptr))
                    ->Equals(AutoPtr<Attribute>(TwoSidedFaceEffectAttribute::Make(nullptr, nullptr))));
    EXPECT_EQ(a->ToString(), L"FrontFace { 1 0 0 1 }\nBackFace { Default }");
    EXPECT_EQ(AutoPtr<Attribute>(TwoSidedFaceEffectAttribute::Make(nullptr, blue))->ToString(),
              L"FrontFace { Default }\nBackFace { 0 0 1 1 }");
}

TEST_F(FaceEffectAttributeTest, SingleSidedCullsAClone) {
    AutoPtr<ColorEffectAttribute> red = ColorEffectAttribute::Make(vec4<float>(1, 0, 0, 1));
    AutoPtr<SingleSidedFaceEffectAttribute> one = SingleSidedFaceEffectAttribute::Make(red, eCullBack);
    EffectInstance* ei = one->EffectInstance(*dc, false);
    ASSERT_NE(ei, nullptr);
    EXPECT_EQ(QueryInterface<LayeredEffectInstance>(ei), nullptr);
    EXPECT_EQ(ColorOf(ei), vec4<float>(1, 0, 0, 1));
    EXPECT_EQ(OverriddenCull(ei), eCullBack);
    EXPECT_NE(ei, red->EffectInstance(*dc, false));
    EXPECT_EQ(red->EffectInstance(*dc, false)->StateOverrides(), nullptr);

    AutoPtr<SingleSidedFaceEffectAttribute> none = SingleSidedFaceEffectAttribute::Make(nullptr, eCullBack);
    EXPECT_EQ(none->EffectInstance(*dc, false), nullptr);
}

TEST_F(FaceEffectAttributeTest, SingleSidedCullsEveryLayerOfALayeredFace) {
    AutoPtr<OccludedEffectAttribute> occluded =
        OccludedEffectAttribute::Make(nullptr, vec4<float>(0, 1, 0, 1), 1.0f, 0.4f);
    AutoPtr<SingleSidedFaceEffectAttribute> one = SingleSidedFaceEffectAttribute::Make(occluded, eCullFront);
    auto* layered = QueryInterface<LayeredEffectInstance>(one->EffectInstance(*dc, false));
    ASSERT_NE(layered, nullptr);
    ASSERT_EQ(layered->LayerCount(), 2);
    EXPECT_TRUE(layered->Transparent());
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(OverriddenCull(layered->Layer(i)), eCullFront);
    // The occluded attribute's own layers still draw both sides.
    auto* own = QueryInterface<LayeredEffectInstance>(occluded->EffectInstance(*dc, false));
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(OverriddenCull(own->Layer(0)), eCullNone);
}

TEST_F(FaceEffectAttributeTest, SingleSidedEqualityAndText) {
    AutoPtr<EffectAttribute> red = ColorEffectAttribute::Make(vec4<float>(1, 0, 0, 1));
    AutoPtr<EffectAttribute> red2 = ColorEffectAttribute::Make(vec4<float>(1, 0, 0, 1));
    AutoPtr<Attribute> a = SingleSidedFaceEffectAttribute::Make(red, eCullBack);
    EXPECT_TRUE(a->Equals(AutoPtr<Attribute>(SingleSidedFaceEffectAttribute::Make(red2, eCullBack))));
    EXPECT_FALSE(a->Equals(AutoPtr<Attribute>(SingleSidedFaceEffectAttribute::Make(red, eCullFront))));
    EXPECT_FALSE(a->Equals(AutoPtr<Attribute>(SingleSidedFaceEffectAttribute::Make(
        AutoPtr<EffectAttribute>(ColorEffectAttribute::Make(vec4<float>(0, 1, 0, 1))), eCullBack))));
    EXPECT_FALSE(a->Equals(AutoPtr<Attribute>(SingleSidedFaceEffectAttribute::Make(nullptr, eCullBack))));
    EXPECT_EQ(a->ToString(), L"FaceAttribute: 1 0 0 1\nCullMode: CullBack");
    EXPECT_EQ(AutoPtr<Attribute>(SingleSidedFaceEffectAttribute::Make(red, eCullFront))->ToString(),
              L"FaceAttribute: 1 0 0 1\nCullMode: CullFront");
    EXPECT_EQ(AutoPtr<Attribute>(SingleSidedFaceEffectAttribute::Make(red, eCullNone))->ToString(),
              L"FaceAttribute: 1 0 0 1\nCullMode: CullNone");
}
