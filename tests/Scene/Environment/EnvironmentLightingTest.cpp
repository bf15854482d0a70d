// An environment's light: image-based lighting from its three maps, and the auxiliary lights
// built from its light list.
#include "EnvironmentTestSupport.h"

#include <Lumo/Devices/AFragment.h>
#include <Lumo/Devices/EnvironmentTexture.h>
#include <Lumo/Devices/GraphicScheme.h>
#include <Lumo/Devices/IBLInstance.h>
#include <Scene/Environment/Light.h>
#include <Scene/Environment/Lighting.h>

using namespace Brio::Scene;
using namespace EnvironmentTest;
using Lumo::Devices::IBLInstance;
using Lumo::Objects::AutoPtr;

namespace {

/// A uniform map of one radiance.
void WriteMap(const fs::path& file, float radiance) {
    AutoPtr<Lumo::Devices::EnvironmentTexture> map =
        Lumo::Devices::EnvironmentTexture::Make(8, 4, std::vector<float>(8 * 4 * 4, radiance));
    ASSERT_TRUE(map);
    fs::create_directories(file.parent_path());
    ASSERT_TRUE(map->SaveExr(file));
}

float GainOf(Lumo::Devices::AFragment* f) {
    return f->Defaults().GetFloat(f->InputIndex(Lumo::Devices::GraphicScheme::GainParameter()));
}

EnvLight MakeLight(const wchar_t* space, const wchar_t* type) {
    EnvLight l;
    l.space(space);
    l.type(type);
    return l;
}

} // namespace

TEST(EnvironmentLightingTest, EachMapThatLoadsLightsOneKind) {
    ResourceFolder folder;
    WriteMap(folder.environment("Lit") / "Diffuse.exr", 2.0f);
    WriteMap(folder.environment("Lit") / "Reflection.exr", 3.0f);
    folder.write("Environments/Lit/Specular.exr", "not an image at all");
    auto dc = DataContext();

    Environment env(L"Lit");
    env.directory(folder.environment("Lit"));
    env.iblGains({0.5f, 0.25f, 0.75f});
    EXPECT_EQ(env.iblInstance(), nullptr);
    env.loadIBLInstance(*dc);
    IBLInstance* ibl = env.iblInstance();
    ASSERT_TRUE(ibl);
    ASSERT_TRUE(ibl->Ambient());
    EXPECT_EQ(ibl->Ambient()->Name(), Lumo::Devices::GraphicScheme::AmbientEnvironmentName());
    EXPECT_FLOAT_EQ(GainOf(ibl->Ambient()), 0.5f);
    EXPECT_EQ(ibl->Glossy(), nullptr) << "a map that cannot be read leaves its kind out";
    ASSERT_TRUE(ibl->Sharp());
    EXPECT_EQ(ibl->Sharp()->Name(), Lumo::Devices::GraphicScheme::SharpEnvironmentName());
    EXPECT_FLOAT_EQ(GainOf(ibl->Sharp()), 0.75f);
    EXPECT_NEAR(ibl->Evaluate(IBLInstance::eAmbient, {0, 1, 0}).x, 1.0f, 1e-3f);
    EXPECT_NEAR(ibl->Evaluate(IBLInstance::eSharp, {1, 0, 0}).z, 2.25f, 1e-3f);
    ASSERT_EQ(env.loadErrors().size(), 1u);
    EXPECT_NE(env.loadErrors()[0].find(L"Specular.exr"), std::wstring::npos);

    // Without any map the instance exists and adds no light.
    Environment dark(L"Dark");
    dark.directory(folder.environment("Dark"));
    dark.loadIBLInstance(*dc);
    ASSERT_TRUE(dark.iblInstance());
    EXPECT_TRUE(dark.iblInstance()->IsEmpty());
}

TEST(EnvironmentLightingTest, AuxiliaryLightsTakeSpaceTypeAndScaledColour) {
    Environment env(L"Rig");
    EnvLight key = MakeLight(L"World", L"Spot");
    key.color({0.5f, 0.25f, 1.0f});
    key.gain(2.0f);
    key.direction({0, -1, 0});
    key.position({1, 2, 3});
    key.attenuation({1, 0.5f, 0.25f});
    key.spotInner(0.1f);
    key.spotOuter(0.3f);
    env.addLight(key);
    env.addLight(MakeLight(L"View", L"Point"));
    env.addLight(MakeLight(L"Model", L"Directional"));
    env.addLight(MakeLight(L"GroundPlane", L"Lamp"));
    env.addLight(MakeLight(L"", L""));
    env.addLight(MakeLight(L"view", L"point"));
    env.addLight(MakeLight(L"Sky", L"Directional"));
    EXPECT_EQ(env.auxLighting(), nullptr);

    env.buildAuxLighting();
    Lighting* lighting = env.auxLighting();
    ASSERT_TRUE(lighting);
    ASSERT_EQ(lighting->lightCount(), 7);
    Brio::StrongRef<Light> spot = lighting->getLight(0);
    EXPECT_EQ(spot->lightSpace(), Light::eWorld);
    EXPECT_EQ(spot->lightType(), Light::eSpot);
    ExpectColor(spot->diffuseColor(), 1.0f, 0.5f, 2.0f, 1.0f);
    EXPECT_EQ(spot->specularColor(), spot->diffuseColor());
    EXPECT_EQ(spot->ambientColor(), spot->diffuseColor());
    float c, l, q, inner, outer;
    spot->getAttenuation(c, l, q);
    EXPECT_EQ(c, 1.0f);
    EXPECT_EQ(l, 0.5f);
    EXPECT_EQ(q, 0.25f);
    spot->getSpotCone(inner, outer);
    EXPECT_FLOAT_EQ(inner, 0.1f);
    EXPECT_FLOAT_EQ(outer, 0.3f);
    EXPECT_DOUBLE_EQ(spot->direction().y, -1.0);
    EXPECT_DOUBLE_EQ(spot->position().z, 3.0);

    const std::pair<Light::ELightSpace, Light::ELightType> expected[] = {
        {Light::eWorld, Light::eSpot},        {Light::eView, Light::ePoint},
        {Light::eModel, Light::eDirectional}, {Light::eGroundPlane, Light::eDirectional},
        {Light::eUnset, Light::eDirectional}, {Light::eUnset, Light::eDirectional},
        {Light::eUnset, Light::eDirectional},
    };
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(lighting->getLight(i)->lightSpace(), expected[i].first) << "names are matched exactly";
        EXPECT_EQ(lighting->getLight(i)->lightType(), expected[i].second);
    }
    // A default light: white, unattenuated, pointing down and away.
    Brio::StrongRef<Light> plain = lighting->getLight(1);
    ExpectColor(plain->diffuseColor(), 1, 1, 1, 1);
    plain->getAttenuation(c, l, q);
    EXPECT_EQ(c, 1.0f);
    EXPECT_DOUBLE_EQ(plain->direction().x, -1.0);

    // Building again replaces the lighting rather than adding to it.
    Brio::StrongRef<Lighting> first(lighting);
    env.buildAuxLighting();
    EXPECT_NE(env.auxLighting(), first.getTarget());
    EXPECT_EQ(env.auxLighting()->lightCount(), 7);
}
