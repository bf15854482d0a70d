#include "EffectTestSupport.h"

#include <Lumo/Devices/BasicMaterialEffectInstance.h>
#include <Lumo/Devices/IRenderEffect.h>
#include <Lumo/Devices/PngWriter.h>
#include <Lumo/Devices/SolidEffectInstance.h>
#include <Lumo/Devices/StockEffects.h>
#include <Lumo/Devices/TextureInstance.h>
#include <Lumo/Objects/UString.h>
#include <Scene/Attributes/AmbraEffectAttribute.h>
#include <Scene/Attributes/ColorEffectAttribute.h>
#include <Scene/Attributes/GenericEffectAttribute.h>
#include <Scene/Attributes/MaterialEffectAttribute.h>
#include <Scene/Attributes/PrioritizedAmbraAttribute.h>
#include <Scene/Attributes/TextureEffectAttribute.h>
#include <Scene/Attributes/VertexColorEffectAttribute.h>
#include <Scene/Attributes/WireframeMaterialEffectAttribute.h>
#include <Scene/Nodes/NodeFunctions.h>

#include <cstdint>
#include <vector>

using namespace Lumo::Scene;
using namespace SceneTest;
using Lumo::Devices::BasicMaterialEffectInstance;
using Lumo::Devices::EffectInstance;
using Lumo::Devices::ParameterValues;
using Lumo::Devices::SolidEffectInstance;
using Lumo::Devices::StockEffects;
using Lumo::Objects::Intern;
using Lumo::Objects::QueryInterface;
using Lumo::Objects::vec3;
using Lumo::Objects::vec4;

namespace {
bool Same(const Attribute* a, const Attribute* b) {
    return a->Equals(b) && b->Equals(a);
}
bool Differ(const Attribute* a, const Attribute* b) {
    return !a->Equals(b) && !b->Equals(a);
}

BasicColorMaterial Bronze() {
    return BasicColorMaterial(vec3<float>(0, 0, 0), vec3<float>(0.1f, 0.05f, 0), vec3<float>(0.5f, 0.25f, 0.125f),
                              vec3<float>(1, 1, 1), 0.5f, 75.0f);
}
} // namespace

using EffectAttributeKindsTest = EffectTest;

TEST(BasicColorMaterialTest, DefaultsAndReflectionBlend) {
    BasicColorMaterial m;
    EXPECT_EQ(m.Emissive(), vec3<float>(0, 0, 0));
    EXPECT_EQ(m.Ambient(), vec3<float>(0.2f, 0.2f, 0.2f));
    EXPECT_EQ(m.Diffuse(), vec3<float>(0.8f, 0.8f, 0.8f));
    EXPECT_EQ(m.Specular(), vec3<float>(1, 1, 1));
    EXPECT_FLOAT_EQ(m.Opacity(), 1.0f);
    EXPECT_FLOAT_EQ(m.Glossiness(), 20.0f);

    m.Opacity(0.5f);
    m.Glossiness(75.0f);
    EXPECT_FLOAT_EQ(m.ReflectionBlend(), 0.25f);
    m.Glossiness(40.0f);
    EXPECT_FLOAT_EQ(m.ReflectionBlend(), 0.0f);
    m.Glossiness(120.0f);
    EXPECT_FLOAT_EQ(m.ReflectionBlend(), 0.5f);
    m.Glossiness(50.0f);
    EXPECT_FLOAT_EQ(m.ReflectionBlend(), 0.0f);
}

TEST_F(EffectAttributeKindsTest, AllKindsAreEffectsAndAnswerTheirBases) {
    AutoPtr<Attribute> t = TextureEffectAttribute::Make(nullptr, vec4<float>(1, 1, 1, 1));
    EXPECT_EQ(t->Type(), eEffect);
    EXPECT_EQ(t->ClassName(), Intern(L"TextureEffectAttribute"));
    EXPECT_EQ(t->GetInterface(Intern(L"ColorEffectAttribute")), static_cast<void*>(t.get()));
    EXPECT_EQ(t->GetInterface(Intern(L"EffectAttribute")), static_cast<void*>(t.get()));
    EXPECT_EQ(t->GetInterface(Intern(L"MaterialEffectAttribute")), nullptr);
    AutoPtr<Attribute> w = WireframeMaterialEffectAttribute::Make(BasicColorMaterial());
    EXPECT_EQ(w->GetInterface(Intern(L"MaterialEffectAttribute")), static_cast<void*>(w.get()));
    const int before = ColorEffectAttribute::NetObjectCount();
    {
        AutoPtr<Attribute> c = ColorEffectAttribute::Make(vec4<float>());
        EXPECT_EQ(ColorEffectAttribute::NetObjectCount(), before + 1);
        EXPECT_EQ(c->CurObjectCount(), before + 1);
    }
    EXPECT_EQ(ColorEffectAttribute::NetObjectCount(), before);
}

TEST_F(EffectAttributeKindsTest, ColourEqualityToleranceTextAndKindsStaySeparate) {
    AutoPtr<Attribute> a = ColorEffectAttribute::Make(vec4<float>(1, 0.5f, 0.25f, 1));
    EXPECT_TRUE(Same(a, AutoPtr<Attribute>(ColorEffectAttribute::Make(vec4<float>(1, 0.5f, 0.25f, 1.0000005f)))));
    EXPECT_TRUE(Differ(a, AutoPtr<Attribute>(ColorEffectAttribute::Make(vec4<float>(1, 0.5f, 0.25f, 0.9f)))));
    EXPECT_TRUE(Differ(a, AutoPtr<Attribute>(ColorEffectAttribute::Make(vec4<float>(1, 0.5f, 0.25f, 1), true))));
    EXPECT_TRUE(Differ(a, AutoPtr<Attribute>(ColorEffectAttribute::Make(vec4<float>(1, 0.5f, 0.25f, 1), false, 2))));
    // A texture effect of the same colour is another kind, whichever side asks.
    EXPECT_TRUE(Differ(a, AutoPtr<Attribute>(TextureEffectAttribute::Make(nullptr, vec4<float>(1, 0.5f, 0.25f, 1)))));
    EXPECT_FALSE(a->Equals(nullptr));
    EXPECT_EQ(a->ToString(), L"1 0.5 0.25 1");
}

TEST_F(EffectAttributeKindsTest, TextureComparesPathByIdentityAndPrintsIt) {
    const vec4<float> c(1, 1, 1, 0.5f);
    AutoPtr<Attribute> a = TextureEffectAttribute::Make(Intern(L"/tmp/a.png"), c);
    EXPECT_TRUE(Same(a, AutoPtr<Attribute>(TextureEffectAttribute::Make(Intern(L"/tmp/a.png"), c))));
    EXPECT_TRUE(Differ(a, AutoPtr<Attribute>(TextureEffectAttribute::Make(Intern(L"/tmp/b.png"), c))));
    EXPECT_TRUE(Differ(a, AutoPtr<Attribute>(TextureEffectAttribute::Make(nullptr, c))));
    EXPECT_TRUE(
        Differ(a, AutoPtr<Attribute>(TextureEffectAttribute::Make(Intern(L"/tmp/a.png"), vec4<float>(1, 1, 1, 1)))));
    EXPECT_EQ(a->ToString(), L"Path: /tmp/a.png\nColor: 1 1 1 0.5");
    EXPECT_EQ(AutoPtr<Attribute>(TextureEffectAttribute::Make(nullptr, c))->ToString(),
              L"Path: (null)\nColor: 1 1 1 0.5");
}

TEST_F(EffectAttributeKindsTest, TextureInstanceCarriesTheImageColourAndOpacity) {
    TempDir dir;
    const std::vector<std::uint8_t> rgba = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 255, 255, 255, 255, 0};
    const std::filesystem::path file = dir.Path() / "check.png";
    ASSERT_TRUE(Lumo::Devices::PngWriter::WriteUtf8(file.string(), 2, 2, rgba.data()));

    AutoPtr<TextureEffectAttribute> a =
        TextureEffectAttribute::Make(Intern(file.wstring()), vec4<float>(0.5f, 1, 1, 0.75f));
    auto* solid = QueryInterface<SolidEffectInstance>(a->EffectInstance(*dc, false));
    ASSERT_NE(solid, nullptr);
    EXPECT_EQ(solid->Effect()->Name(), StockEffects::SolidTName());
    ASSERT_NE(solid->Texture(), nullptr);
    EXPECT_EQ(solid->Texture()->Width(), 2);
    EXPECT_TRUE(solid->TextureAlpha());
    EXPECT_EQ(solid->BlendMode(), StockEffects::eTextureModulate);
    EXPECT_EQ(solid->Color(), vec4<float>(0.5f, 1, 1, 1));
    EXPECT_FLOAT_EQ(solid->Opacity(), 0.75f);
    // Texture instances are not shared between attributes; the image is, per device.
    AutoPtr<TextureEffectAttribute> b =
        TextureEffectAttribute::Make(Intern(file.wstring()), vec4<float>(0.5f, 1, 1, 0.75f));
    auto* other = QueryInterface<SolidEffectInstance>(b->EffectInstance(*dc, false));
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other, solid);
    EXPECT_EQ(other->Texture(), solid->Texture());

    // A missing image leaves the instance without a texture rather than failing.
    AutoPtr<TextureEffectAttribute> missing =
        TextureEffectAttribute::Make(Intern((dir.Path() / "none.png").wstring()), vec4<float>(1, 1, 1, 1));
    auto* bare = QueryInterface<SolidEffectInstance>(missing->EffectInstance(*dc, false));
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->Texture(), nullptr);
}

TEST_F(EffectAttributeKindsTest, VertexColourEqualityAndText) {
    AutoPtr<Attribute> a = VertexColorEffectAttribute::Make(true, 0.5f);
    EXPECT_TRUE(Same(a, AutoPtr<Attribute>(VertexColorEffectAttribute::Make(true, 0.5f))));
    EXPECT_TRUE(Differ(a, AutoPtr<Attribute>(VertexColorEffectAttribute::Make(false, 0.5f))));
    EXPECT_TRUE(Differ(a, AutoPtr<Attribute>(VertexColorEffectAttribute::Make(true, 0.25f))));
    EXPECT_EQ(a->ToString(), L"VertexColorAlphaFlag: 1\nOpacity: 0.5");
}

TEST_F(EffectAttributeKindsTest, MaterialInstanceTakesEveryValue) {
    AutoPtr<MaterialEffectAttribute> a = MaterialEffectAttribute::Make(Bronze(), eSourceLiteral);
    auto* m = QueryInterface<BasicMaterialEffectInstance>(a->EffectInstance(*dc, false));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Ambient(), vec3<float>(0.1f, 0.05f, 0));
    EXPECT_EQ(m->Diffuse(), vec3<float>(0.5f, 0.25f, 0.125f));
    EXPECT_EQ(m->Specular(), vec3<float>(1, 1, 1));
    EXPECT_FLOAT_EQ(m->Shininess(), 75.0f);
    EXPECT_FLOAT_EQ(m->Opacity(), 0.5f);
    EXPECT_FLOAT_EQ(m->ReflectionBlend(), 0.25f);
    EXPECT_EQ(m->ColorSource(), StockEffects::eColorUniform);
    EXPECT_TRUE(m->IsTransparent());

    AutoPtr<MaterialEffectAttribute> v = MaterialEffectAttribute::Make(Bronze(), eSourceVertex);
    auto* mv = QueryInterface<BasicMaterialEffectInstance>(v->EffectInstance(*dc, false));
    ASSERT_NE(mv, nullptr);
    EXPECT_EQ(mv->ColorSource(), StockEffects::eColorVertex);
}

TEST_F(EffectAttributeKindsTest, MaterialEqualityAndText) {
    AutoPtr<Attribute> a = MaterialEffectAttribute::Make(Bronze(), eSourceLiteral);
    EXPECT_TRUE(Same(a, AutoPtr<Attribute>(MaterialEffectAttribute::Make(Bronze(), eSourceLiteral))));
    EXPECT_TRUE(Differ(a, AutoPtr<Attribute>(MaterialEffectAttribute::Make(Bronze(), eSourceVertex))));
    BasicColorMaterial shinier = Bronze();
    shinier.Glossiness(76.0f);
    EXPECT_TRUE(Differ(a, AutoPtr<Attribute>(MaterialEffectAttribute::Make(shinier, eSourceLiteral))));
    // The wireframe of the same material is another kind, from either side.
    EXPECT_TRUE(Differ(a, AutoPtr<Attribute>(WireframeMaterialEffectAttribute::Make(Bronze()))));
    EXPECT_EQ(a->ToString(), L"Emissive: 0 0 0\nAmbient: 0.1 0.05 0\nDiffuse: 0.5 0.25 0.125\nSpecular: 1 1 1\n"
                             L"Glossiness: 75\nOpacity: 0.5\nColorSource: eSourceLiteral");
    EXPECT_EQ(AutoPtr<Attribute>(WireframeMaterialEffectAttribute::Make(BasicColorMaterial()))->ToString(),
              L"Emissive: 0 0 0\nAmbient: 0.2 0.2 0.2\nDiffuse: 0.8 0.8 0.8\nSpecular: 1 1 1\n"
              L"Glossiness: 20\nOpacity: 1\nColorSource: eSourceLiteral\nwireframe mode");
}

TEST_F(EffectAttributeKindsTest, WireframeIsTheMaterialFilledAsLines) {
    AutoPtr<WireframeMaterialEffectAttribute> w = WireframeMaterialEffectAttribute::Make(Bronze());
    EXPECT_EQ(w->GetColorSource(), eSourceLiteral);
    auto* m = QueryInterface<BasicMaterialEffectInstance>(w->EffectInstance(*dc, false));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Diffuse(), vec3<float>(0.5f, 0.25f, 0.125f));
    ASSERT_TRUE(m->StateOverrides() && m->StateOverrides()->Rasterizer());
    EXPECT_EQ(m->StateOverrides()->Rasterizer()->FillMode(), Lumo::Devices::eFillWireframe);
    // The plain material has no override.
    AutoPtr<MaterialEffectAttribute> plain = MaterialEffectAttribute::Make(Bronze(), eSourceLiteral);
    EXPECT_EQ(plain->EffectInstance(*dc, false)->StateOverrides(), nullptr);
}

TEST_F(EffectAttributeKindsTest, GenericCopiesItsValuesInAndOut) {
    ParameterValues values;
    values.SetFloat4(StockEffects::eSolidColor, vec4<float>(0, 1, 0, 1));
    values.SetFloat(StockEffects::eSolidOpacity, 0.25f);
    AutoPtr<GenericEffectAttribute> g = GenericEffectAttribute::Make(StockEffects::SolidName(), &values);
    values.SetFloat(StockEffects::eSolidOpacity, 0.9f); // the attribute keeps its own copy
    EXPECT_FLOAT_EQ(g->GetParameterValues()->GetFloat(StockEffects::eSolidOpacity), 0.25f);

    EffectInstance* ei = g->EffectInstance(*dc, false);
    ASSERT_NE(ei, nullptr);
    EXPECT_EQ(ei->Effect()->Name(), StockEffects::SolidName());
    EXPECT_EQ(ei->Values().GetFloat4(StockEffects::eSolidColor), vec4<float>(0, 1, 0, 1));
    EXPECT_FLOAT_EQ(ei->Values().GetFloat(StockEffects::eSolidOpacity), 0.25f);
    EXPECT_TRUE(ei->Values().GetBool(StockEffects::eSolidLighting)); // untouched values keep the defaults
    EXPECT_EQ(g->ToString(), L"");

    AutoPtr<GenericEffectAttribute> unknown = GenericEffectAttribute::Make(Intern(L"NoSuchEffect"), nullptr);
    EXPECT_EQ(unknown->EffectInstance(*dc, false), nullptr);
    AutoPtr<GenericEffectAttribute> bare = GenericEffectAttribute::Make(StockEffects::SolidName(), nullptr);
    EXPECT_EQ(bare->GetParameterValues(), nullptr);
    EXPECT_EQ(bare->EffectInstance(*dc, false)->Values(), bare->EffectInstance(*dc, false)->Effect()->Defaults());
}

TEST_F(EffectAttributeKindsTest, GenericEqualityComparesEffectAndValues) {
    ParameterValues v1;
    v1.SetFloat(StockEffects::eSolidOpacity, 0.5f);
    ParameterValues v2;
    v2.SetFloat(StockEffects::eSolidOpacity, 0.75f);
    AutoPtr<Attribute> a = GenericEffectAttribute::Make(StockEffects::SolidName(), &v1);
    EXPECT_TRUE(Same(a, AutoPtr<Attribute>(GenericEffectAttribute::Make(StockEffects::SolidName(), &v1))));
    EXPECT_TRUE(Differ(a, AutoPtr<Attribute>(GenericEffectAttribute::Make(StockEffects::SolidName(), &v2))));
    EXPECT_TRUE(Differ(a, AutoPtr<Attribute>(GenericEffectAttribute::Make(StockEffects::SolidTName(), &v1))));
    EXPECT_TRUE(Differ(a, AutoPtr<Attribute>(GenericEffectAttribute::Make(StockEffects::SolidName(), nullptr))));
}

TEST_F(EffectAttributeKindsTest, MaterialLibraryEqualityAndText) {
    Lumo::Objects::UString* paint = Intern(L"Paint-015");
    const vec4<float> red(1, 0, 0, 1);
    AutoPtr<Attribute> a = AmbraEffectAttribute::Make(paint, false, red, 1.0f, 0.0f);
    // Without the flag the customized colour does not count.
    EXPECT_TRUE(
        Same(a, AutoPtr<Attribute>(AmbraEffectAttribute::Make(paint, false, vec4<float>(0, 0, 1, 1), 1.0f, 0.0f))));
    EXPECT_TRUE(Differ(a, AutoPtr<Attribute>(AmbraEffectAttribute::Make(paint, true, red, 1.0f, 0.0f))));
    EXPECT_TRUE(
        Differ(a, AutoPtr<Attribute>(AmbraEffectAttribute::Make(Intern(L"Paint-001"), false, red, 1.0f, 0.0f))));
    AutoPtr<Attribute> tinted = AmbraEffectAttribute::Make(paint, true, red, 1.0f, 0.0f);
    EXPECT_TRUE(Differ(
        tinted, AutoPtr<Attribute>(AmbraEffectAttribute::Make(paint, true, vec4<float>(0, 1, 0, 1), 1.0f, 0.0f))));
    // Scale and rotation pick another shared instance, so they make a difference.
    EXPECT_TRUE(Differ(a, AutoPtr<Attribute>(AmbraEffectAttribute::Make(paint, false, red, 2.0f, 0.0f))));
    EXPECT_TRUE(Differ(a, AutoPtr<Attribute>(AmbraEffectAttribute::Make(paint, false, red, 1.0f, 45.0f))));
    EXPECT_EQ(a->ToString(), L"Paint-015");
}

TEST_F(EffectAttributeKindsTest, PrioritizedMaterialsShareOneClassWidePriority) {
    Lumo::Objects::UString* paint = Intern(L"Paint-015");
    AutoPtr<PrioritizedAmbraAttribute> p = PrioritizedAmbraAttribute::Make(paint, false, vec4<float>(), 1.0f, 0.0f);
    AutoPtr<PrioritizedAmbraAttribute> q = PrioritizedAmbraAttribute::Make(paint, false, vec4<float>(), 1.0f, 0.0f);
    AutoPtr<Attribute> colour = ColorEffectAttribute::Make(vec4<float>(1, 1, 1, 1), false, 5);
    EXPECT_EQ(p->Priority(), 0);
    EXPECT_EQ(colour->Merge(p), colour.get());
    PrioritizedAmbraAttribute::SetPriority(300); // wider than a byte
    EXPECT_EQ(p->Priority(), 300);
    EXPECT_EQ(q->Priority(), 300);
    EXPECT_EQ(colour->Merge(p), p.get());
    EXPECT_EQ(p->Merge(colour), p.get());
    EXPECT_TRUE(Same(p, q));
    EXPECT_TRUE(Differ(p, AutoPtr<Attribute>(AmbraEffectAttribute::Make(paint, false, vec4<float>(), 1.0f, 0.0f))));
    PrioritizedAmbraAttribute::SetPriority(0);
}

TEST_F(EffectAttributeKindsTest, NodeFunctionsSetAndReadEffects) {
    AutoPtr<AttributeSet> set = AttributeSet::Make(nullptr);
    SetColorEffect(set, vec4<float>(0, 0, 1, 1), true, 4);
    ColorEffectAttribute* c = GetColorEffectAttribute(set);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Color(), vec4<float>(0, 0, 1, 1));
    EXPECT_TRUE(c->WinTies());
    EXPECT_EQ(c->Priority(), 4);
    EXPECT_EQ(GetMaterialEffectAttribute(set), nullptr);
    EXPECT_EQ(GetTextureEffectAttribute(set), nullptr);

    SetMaterialEffect(set, Bronze(), eSourceVertex);
    ASSERT_NE(GetMaterialEffectAttribute(set), nullptr);
    EXPECT_EQ(GetMaterialEffectAttribute(set)->GetColorSource(), eSourceVertex);
    EXPECT_EQ(GetColorEffectAttribute(set), nullptr);

    SetTextureEffect(set, Intern(L"/tmp/t.png"), vec4<float>(1, 1, 1, 1));
    ASSERT_NE(GetTextureEffectAttribute(set), nullptr);
    EXPECT_EQ(GetTextureEffectAttribute(set)->Path(), Intern(L"/tmp/t.png"));
    EXPECT_EQ(GetColorEffectAttribute(set), GetTextureEffectAttribute(set)); // a texture effect is a colour effect
    EXPECT_EQ(GetEffectAttribute(set), GetTextureEffectAttribute(set));

    SetColorEffect(nullptr, vec4<float>(1, 1, 1, 1)); // made and freed, nothing to set it on
    EXPECT_EQ(GetColorEffectAttribute(nullptr), nullptr);
}
