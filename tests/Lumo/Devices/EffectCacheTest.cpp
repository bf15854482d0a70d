#include "DeviceTestSupport.h"

#include <Lumo/Devices/DeviceCaches.h>
#include <Lumo/Devices/IRenderEffect.h>
#include <Lumo/Devices/StockEffects.h>
#include <Lumo/Devices/VirtualDevice.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/UString.h>

using namespace Lumo::Devices;
using namespace Lumo::Objects;
using LumoDevicesTest::LiveObjects;

namespace {
IRenderEffect* MakeProbeEffect(UString* name) {
    IRenderEffect* e = IRenderEffect::Make(name);
    e->AddParameter(Intern(L"Strength"), eParamFloat);
    return e;
}
} // namespace

TEST(EffectCacheTest, SharesOneEffectPerDeviceAndName) {
    LiveObjects live;
    AutoPtr<VirtualDevice> a(VirtualDevice::Make(Intern(L"VirtualDeviceGL"), eDeviceSoftware));
    AutoPtr<VirtualDevice> b(VirtualDevice::Make(nullptr));
    EXPECT_EQ(a->Name(), Intern(L"VirtualDeviceGL"));
    EXPECT_EQ(b->Name(), Intern(L"VirtualDeviceGL"));
    EXPECT_TRUE(a->IsSoftware());
    EXPECT_FALSE(a->HasContext());
    EXPECT_EQ(a->ClassName(), Intern(L"VirtualDevice"));
    EXPECT_NE(a->GetInterface(Intern(L"AVirtualDevice")), nullptr);

    EffectCache* cache = a->Caches()->Effects();
    IRenderEffect* solid = cache->Acquire(Intern(L"Stock_Solid"));
    ASSERT_NE(solid, nullptr);
    EXPECT_EQ(solid->Name(), StockEffects::SolidName());
    EXPECT_EQ(cache->Acquire(StockEffects::SolidName()), solid);
    EXPECT_EQ(cache->Acquire(StockEffects::SolidName(), a), solid);
    EXPECT_EQ(cache->Acquire(StockEffects::SolidName(), nullptr), solid);

    IRenderEffect* solidT = cache->Acquire(StockEffects::SolidTName());
    ASSERT_NE(solidT, nullptr);
    EXPECT_NE(solidT, solid);
    EXPECT_NE(cache->Acquire(StockEffects::BasicMaterialName()), nullptr);
    EXPECT_NE(cache->Acquire(StockEffects::LayeredName()), nullptr);
    EXPECT_EQ(cache->Count(), 4);

    // Another device has its own, and asking through a's cache for b's gives b's.
    IRenderEffect* solidB = b->Caches()->Effects()->Acquire(StockEffects::SolidName());
    ASSERT_NE(solidB, nullptr);
    EXPECT_NE(solidB, solid);
    EXPECT_EQ(cache->Acquire(StockEffects::SolidName(), b), solidB);
    EXPECT_EQ(cache->Count(), 4);
}

TEST(EffectCacheTest, UnknownNamesGiveNullAndAreNotCached) {
    LiveObjects live;
    AutoPtr<VirtualDevice> device(VirtualDevice::Make(nullptr));
    EffectCache* cache = device->Caches()->Effects();
    EXPECT_EQ(cache->Acquire(Intern(L"Stock_NoSuchEffect")), nullptr);
    EXPECT_EQ(cache->Acquire(Intern(L"stock_solid")), nullptr); // names are exact
    EXPECT_EQ(cache->Acquire(nullptr), nullptr);
    EXPECT_EQ(cache->Count(), 0);
    EXPECT_FALSE(cache->Contains(Intern(L"Stock_NoSuchEffect")));
}

TEST(EffectCacheTest, RegisteredFactoriesAndAddedEffects) {
    LiveObjects live;
    UString* probe = Intern(L"EffectCacheTest_Probe");
    AutoPtr<VirtualDevice> a(VirtualDevice::Make(nullptr));
    AutoPtr<VirtualDevice> b(VirtualDevice::Make(nullptr));
    EXPECT_EQ(a->Caches()->Effects()->Acquire(probe), nullptr);

    EffectCache::RegisterFactory(probe, &MakeProbeEffect);
    IRenderEffect* pa = a->Caches()->Effects()->Acquire(probe);
    IRenderEffect* pb = b->Caches()->Effects()->Acquire(probe);
    ASSERT_NE(pa, nullptr);
    ASSERT_NE(pb, nullptr);
    EXPECT_NE(pa, pb);
    EXPECT_EQ(a->Caches()->Effects()->Acquire(probe), pa);
    EXPECT_EQ(pa->ParameterIndex(L"Strength"), 0);

    // A refused Add must leave the caller's object alive.
    AutoPtr<IRenderEffect> duplicate(IRenderEffect::Make(probe));
    EXPECT_FALSE(a->Caches()->Effects()->Add(duplicate));
    EXPECT_EQ(duplicate->RefCount(), 1);
    AutoPtr<IRenderEffect> own(IRenderEffect::Make(Intern(L"EffectCacheTest_Own")));
    EXPECT_TRUE(a->Caches()->Effects()->Add(own));
    EXPECT_EQ(a->Caches()->Effects()->Acquire(Intern(L"EffectCacheTest_Own")), own.get());
    EXPECT_EQ(b->Caches()->Effects()->Acquire(Intern(L"EffectCacheTest_Own")), nullptr);
}

TEST(EffectCacheTest, AFactoryIsTakenBackOnlyByItsOwner) {
    LiveObjects live;
    UString* name = Intern(L"EffectCacheTest_Unregistered");
    EffectCache::RegisterFactory(name, &MakeProbeEffect);
    AutoPtr<VirtualDevice> before(VirtualDevice::Make(nullptr));
    ASSERT_NE(before->Caches()->Effects()->Acquire(name), nullptr);

    auto other = [](UString* n) { return IRenderEffect::Make(n); };
    EffectCache::UnregisterFactory(name, other);
    EXPECT_TRUE(EffectCache::HasFactory(name)) << "a factory someone else registered stays";
    EffectCache::UnregisterFactory(name, &MakeProbeEffect);
    EXPECT_FALSE(EffectCache::HasFactory(name));
    AutoPtr<VirtualDevice> after(VirtualDevice::Make(nullptr));
    EXPECT_EQ(after->Caches()->Effects()->Acquire(name), nullptr);
    EXPECT_NE(before->Caches()->Effects()->Acquire(name), nullptr) << "effects made already stay";
}

TEST(EffectCacheTest, EffectsOutliveTheirDeviceWhileHeld) {
    LiveObjects live;
    AutoPtr<IRenderEffect> kept;
    {
        AutoPtr<VirtualDevice> device(VirtualDevice::Make(nullptr));
        kept = device->Caches()->Effects()->Acquire(StockEffects::SolidName());
    }
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->RefCount(), 1);
    EXPECT_EQ(kept->ParameterCount(), 5);
}

TEST(EffectCacheTest, StockTablesHaveTheirIndicesNamesAndDefaults) {
    LiveObjects live;
    AutoPtr<VirtualDevice> device(VirtualDevice::Make(nullptr));
    EffectCache* cache = device->Caches()->Effects();
    IRenderEffect* solid = cache->Acquire(StockEffects::SolidName());
    IRenderEffect* solidT = cache->Acquire(StockEffects::SolidTName());
    IRenderEffect* material = cache->Acquire(StockEffects::BasicMaterialName());
    IRenderEffect* layered = cache->Acquire(StockEffects::LayeredName());

    EXPECT_EQ(solid->ParameterIndex(L"Color"), StockEffects::eSolidColor);
    EXPECT_EQ(solid->ParameterIndex(L"Opacity"), StockEffects::eSolidOpacity);
    EXPECT_EQ(solid->ParameterIndex(L"Lighting"), StockEffects::eSolidLighting);
    EXPECT_EQ(solid->ParameterIndex(L"Texture"), -1);
    EXPECT_EQ(solid->ParameterIndex(L"NeverInternedParameterName"), -1);
    EXPECT_EQ(solid->ParameterType(StockEffects::eSolidColor), eParamFloat4);
    EXPECT_EQ(solid->Defaults().GetFloat4(StockEffects::eSolidColor), vec4<float>(1, 1, 1, 1));
    EXPECT_EQ(solid->Defaults().GetFloat(StockEffects::eSolidOpacity), 1.0f);
    EXPECT_TRUE(solid->Defaults().GetBool(StockEffects::eSolidLighting));

    EXPECT_EQ(solidT->ParameterCount(), 9);
    EXPECT_EQ(solidT->ParameterIndex(L"Texture"), StockEffects::eSolidTexture);
    EXPECT_EQ(solidT->ParameterType(StockEffects::eSolidTexture), eParamTexture);
    EXPECT_EQ(solidT->ParameterType(StockEffects::eSolidTextureTransform), eParamMatrix);
    EXPECT_TRUE(solidT->Defaults().GetMatrix(StockEffects::eSolidTextureTransform).IsIdentity());
    EXPECT_TRUE(StockEffects::Extends(solidT, StockEffects::SolidName()));
    EXPECT_FALSE(StockEffects::Extends(solid, StockEffects::SolidTName()));
    EXPECT_FALSE(StockEffects::Extends(material, StockEffects::SolidName()));

    EXPECT_EQ(material->ParameterIndex(L"Diffuse"), StockEffects::eMaterialDiffuse);
    EXPECT_EQ(material->ParameterType(StockEffects::eMaterialDiffuse), eParamFloat3);
    EXPECT_EQ(material->Defaults().GetFloat3(StockEffects::eMaterialAmbient), vec3<float>(0.2f, 0.2f, 0.2f));
    EXPECT_EQ(material->Defaults().GetFloat(StockEffects::eMaterialShininess), 20.0f);
    EXPECT_EQ(layered->ParameterCount(), 0);

    // A name already in the table keeps its index; another type for it is refused.
    AutoPtr<IRenderEffect> custom(IRenderEffect::Make(Intern(L"Custom")));
    EXPECT_EQ(custom->AddParameter(Intern(L"A"), eParamFloat), 0);
    EXPECT_EQ(custom->AddParameter(Intern(L"B"), eParamInt), 1);
    EXPECT_EQ(custom->AddParameter(Intern(L"A"), eParamFloat), 0);
    EXPECT_EQ(custom->AddParameter(Intern(L"A"), eParamInt), -1);
    EXPECT_EQ(custom->ParameterCount(), 2);
    EXPECT_EQ(custom->ParameterName(1), Intern(L"B"));
    EXPECT_EQ(custom->ParameterName(2), nullptr);
}
