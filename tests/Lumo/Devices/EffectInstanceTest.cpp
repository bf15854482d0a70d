#include "DeviceTestSupport.h"

#include <Lumo/Devices/ABlendState.h>
#include <Lumo/Devices/ADepthStencilState.h>
#include <Lumo/Devices/ARasterizerState.h>
#include <Lumo/Devices/BasicMaterialEffectInstance.h>
#include <Lumo/Devices/DeviceCaches.h>
#include <Lumo/Devices/IRenderEffect.h>
#include <Lumo/Devices/LayeredEffectInstance.h>
#include <Lumo/Devices/SolidEffectInstance.h>
#include <Lumo/Devices/StateSetter.h>
#include <Lumo/Devices/StockEffects.h>
#include <Lumo/Devices/TextureInstance.h>
#include <Lumo/Devices/VirtualDevice.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/UString.h>

using namespace Lumo::Devices;
using namespace Lumo::Objects;
using LumoDevicesTest::LiveObjects;
using S = StockEffects;

class EffectInstanceTest : public ::testing::Test {
protected:
    LiveObjects live;
    AutoPtr<VirtualDevice> device{VirtualDevice::Make(nullptr)};
};

TEST_F(EffectInstanceTest, SolidAccessorsWriteTheStockIndices) {
    AutoPtr<SolidEffectInstance> solid(SolidEffectInstance::Make(device, true));
    ASSERT_TRUE(solid);
    EXPECT_EQ(solid->Effect(), device->Caches()->Effects()->Acquire(S::SolidTName()));
    EXPECT_EQ(solid->Color(), vec4<float>(1, 1, 1, 1));
    EXPECT_TRUE(solid->Lighting());

    solid->Color(vec4<float>(0.2f, 0.4f, 0.6f, 0.8f));
    solid->Opacity(0.5f);
    solid->ColorSource(S::eColorVertex);
    solid->VertexColorAlphaFlag(true);
    solid->TextureAlpha(true);
    solid->BlendMode(S::eTextureDecal);
    solid->TextureTransform(mat4<float>::Scale(vec3<float>(0.5f, 0.25f, 1)));
    AutoPtr<TextureInstance> texture(TextureInstance::Make(2, 2));
    solid->Texture(texture);

    const ParameterValues& v = solid->Values();
    EXPECT_EQ(v.GetFloat4(S::eSolidColor), vec4<float>(0.2f, 0.4f, 0.6f, 0.8f));
    EXPECT_EQ(v.GetFloat(S::eSolidOpacity), 0.5f);
    EXPECT_EQ(v.GetInt(S::eSolidColorSource), S::eColorVertex);
    EXPECT_TRUE(v.GetBool(S::eSolidVertexColorAlpha));
    EXPECT_TRUE(v.GetBool(S::eSolidTextureAlpha));
    EXPECT_EQ(v.GetInt(S::eSolidBlendMode), S::eTextureDecal);
    EXPECT_EQ(v.GetTexture(S::eSolidTexture), texture.get());
    EXPECT_EQ(v.GetMatrix(S::eSolidTextureTransform)[1][1], 0.25f);
    // The effect's defaults are untouched by an instance's writes.
    EXPECT_EQ(solid->Effect()->Defaults().GetFloat(S::eSolidOpacity), 1.0f);

    solid->Color(vec3<float>(1, 0, 0));
    EXPECT_EQ(solid->Color(), vec4<float>(1, 0, 0, 1));
}

TEST_F(EffectInstanceTest, PlainSolidIgnoresTextureSettingsAndKindsAreChecked) {
    AutoPtr<SolidEffectInstance> solid(SolidEffectInstance::Make(device));
    ASSERT_TRUE(solid);
    AutoPtr<TextureInstance> texture(TextureInstance::Make(1, 1));
    solid->Texture(texture);
    solid->TextureAlpha(true);
    EXPECT_EQ(solid->Texture(), nullptr);
    EXPECT_FALSE(solid->TextureAlpha());
    EXPECT_EQ(solid->Values().Count(), 5);
    EXPECT_EQ(texture->RefCount(), 1);

    EffectCache* effects = device->Caches()->Effects();
    EXPECT_EQ(SolidEffectInstance::Make(effects->Acquire(S::BasicMaterialName())), nullptr);
    EXPECT_EQ(BasicMaterialEffectInstance::Make(effects->Acquire(S::SolidName())), nullptr);
    EXPECT_EQ(LayeredEffectInstance::Make(effects->Acquire(S::SolidName())), nullptr);
    EXPECT_EQ(EffectInstance::Make(nullptr), nullptr);
    EXPECT_EQ(SolidEffectInstance::Make(static_cast<AVirtualDevice*>(nullptr)), nullptr);

    AutoPtr<EffectInstance> generic(EffectInstance::Make(effects->Acquire(S::SolidName())));
    EXPECT_EQ(QueryInterface<SolidEffectInstance>(generic.get()), nullptr);
    EXPECT_EQ(QueryInterface<EffectInstance>(solid.get()), solid.get());
    EXPECT_EQ(generic->ParameterIndex(Intern(L"Opacity")), S::eSolidOpacity);
}

TEST_F(EffectInstanceTest, ClonesAreIndependentOfTheOriginal) {
    AutoPtr<SolidEffectInstance> solid(SolidEffectInstance::Make(device));
    solid->Color(vec4<float>(0, 1, 0, 1));
    solid->OverrideState(AutoPtr<ARasterizerState>(ARasterizerState::Make(eCullFront)).get());
    solid->Transparent(true);

    AutoPtr<SolidEffectInstance> copy(solid->Clone());
    EXPECT_EQ(copy->ClassName(), Intern(L"SolidEffectInstance"));
    EXPECT_EQ(copy->Effect(), solid->Effect());
    EXPECT_TRUE(copy->Values() == solid->Values());
    EXPECT_TRUE(copy->Transparent());
    ASSERT_NE(copy->StateOverrides(), nullptr);
    EXPECT_NE(copy->StateOverrides(), solid->StateOverrides());
    EXPECT_NE(copy->StateOverrides()->Rasterizer(), solid->StateOverrides()->Rasterizer());

    copy->Opacity(0.3f);
    copy->StateOverrides()->Rasterizer()->CullMode(eCullNone);
    copy->OverrideState(AutoPtr<ABlendState>(ABlendState::Make(eBlendModeOver)).get());
    EXPECT_EQ(solid->Opacity(), 1.0f);
    EXPECT_EQ(solid->StateOverrides()->Rasterizer()->CullMode(), eCullFront);
    EXPECT_EQ(solid->StateOverrides()->Blend(), nullptr);

    // An instance without overrides clones without any.
    AutoPtr<BasicMaterialEffectInstance> material(BasicMaterialEffectInstance::Make(device));
    AutoPtr<BasicMaterialEffectInstance> materialCopy(material->Clone());
    EXPECT_EQ(materialCopy->StateOverrides(), nullptr);
    materialCopy->Diffuse(vec3<float>(1, 0, 0));
    EXPECT_EQ(material->Diffuse(), vec3<float>(0.8f, 0.8f, 0.8f));
}

TEST_F(EffectInstanceTest, OverridesAreRecordedAndRemoved) {
    AutoPtr<EffectInstance> e(EffectInstance::Make(device->Caches()->Effects()->Acquire(S::SolidName())));
    EXPECT_EQ(e->StateOverrides(), nullptr);
    e->OverrideState(static_cast<ADepthStencilState*>(nullptr)); // removing nothing makes nothing
    EXPECT_EQ(e->StateOverrides(), nullptr);

    AutoPtr<ADepthStencilState> ds(ADepthStencilState::Make(true, false, eCompareLessEqual));
    e->OverrideState(ds.get());
    ASSERT_NE(e->StateOverrides(), nullptr);
    EXPECT_EQ(e->StateOverrides()->DepthStencil(), ds.get());
    EXPECT_EQ(ds->RefCount(), 2);
    e->OverrideState(static_cast<ADepthStencilState*>(nullptr));
    EXPECT_TRUE(e->StateOverrides()->IsEmpty());
    EXPECT_EQ(ds->RefCount(), 1);
}

TEST_F(EffectInstanceTest, MaterialValuesAndTransparency) {
    AutoPtr<BasicMaterialEffectInstance> m(BasicMaterialEffectInstance::Make(device));
    ASSERT_TRUE(m);
    EXPECT_EQ(m->Specular(), vec3<float>(1, 1, 1));
    EXPECT_EQ(m->Shininess(), 20.0f);
    EXPECT_FALSE(m->IsTransparent());
    m->Ambient(vec3<float>(0.36078432f, 0.29803923f, 0.1254902f));
    m->Emissive(vec3<float>(0.1f, 0, 0));
    m->ColorSource(S::eColorVertex);
    m->ReflectionBlend(0.25f);
    m->Opacity(0.4f);
    EXPECT_EQ(m->Values().GetFloat3(S::eMaterialAmbient), vec3<float>(0.36078432f, 0.29803923f, 0.1254902f));
    EXPECT_EQ(m->Values().GetFloat3(S::eMaterialEmissive), vec3<float>(0.1f, 0, 0));
    EXPECT_EQ(m->Values().GetInt(S::eMaterialColorSource), S::eColorVertex);
    EXPECT_EQ(m->ReflectionBlend(), 0.25f);
    EXPECT_TRUE(m->IsTransparent());

    AutoPtr<SolidEffectInstance> s(SolidEffectInstance::Make(device));
    EXPECT_FALSE(s->IsTransparent());
    s->Color(vec4<float>(1, 1, 1, 0.5f));
    EXPECT_TRUE(s->IsTransparent());
    s->Color(vec4<float>(1, 1, 1, 1));
    s->Opacity(0.99f);
    EXPECT_TRUE(s->IsTransparent());
    s->Opacity(1.0f);
    s->ColorSource(S::eColorVertex);
    EXPECT_FALSE(s->IsTransparent());
    s->VertexColorAlphaFlag(true);
    EXPECT_TRUE(s->IsTransparent());
}

TEST_F(EffectInstanceTest, LayersAreHeldClonedAndNeverCyclic) {
    AutoPtr<LayeredEffectInstance> layered(LayeredEffectInstance::Make(device));
    ASSERT_TRUE(layered);
    AutoPtr<SolidEffectInstance> front(SolidEffectInstance::Make(device));
    AutoPtr<BasicMaterialEffectInstance> back(BasicMaterialEffectInstance::Make(device));
    EXPECT_TRUE(layered->AddLayer(back));
    EXPECT_TRUE(layered->AddLayer(front));
    EXPECT_FALSE(layered->AddLayer(nullptr));
    EXPECT_FALSE(layered->AddLayer(layered));
    EXPECT_EQ(layered->LayerCount(), 2);
    EXPECT_EQ(layered->Layer(0), back.get());
    EXPECT_EQ(layered->Layer(1), front.get());
    EXPECT_EQ(layered->Layer(2), nullptr);
    EXPECT_EQ(layered->Layer(-1), nullptr);
    EXPECT_EQ(front->RefCount(), 2);
    EXPECT_FALSE(layered->IsTransparent());

    AutoPtr<LayeredEffectInstance> outer(LayeredEffectInstance::Make(device));
    EXPECT_TRUE(outer->AddLayer(layered));
    EXPECT_FALSE(layered->AddLayer(outer)); // outer holds layered: a cycle

    AutoPtr<LayeredEffectInstance> copy(layered->Clone());
    ASSERT_EQ(copy->LayerCount(), 2);
    EXPECT_NE(copy->Layer(1), front.get());
    auto* copiedFront = QueryInterface<SolidEffectInstance>(copy->Layer(1));
    ASSERT_NE(copiedFront, nullptr);
    copiedFront->Opacity(0.25f);
    EXPECT_EQ(front->Opacity(), 1.0f);
    EXPECT_TRUE(copy->IsTransparent());
    EXPECT_FALSE(layered->IsTransparent());

    layered->RemoveLayer(0);
    EXPECT_EQ(layered->LayerCount(), 1);
    EXPECT_EQ(back->RefCount(), 1);
}
