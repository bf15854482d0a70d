#include "EffectTestSupport.h"

#include <Lumo/Devices/SolidEffectInstance.h>
#include <Lumo/Devices/StockEffects.h>
#include <Lumo/Objects/UString.h>
#include <Scene/Attributes/AmbraEffectAttribute.h>
#include <Scene/Attributes/ColorEffectAttribute.h>
#include <Scene/Attributes/VertexColorEffectAttribute.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace Lumo::Scene;
using namespace SceneTest;
using Lumo::Devices::EffectInstance;
using Lumo::Devices::SolidEffectInstance;
using Lumo::Objects::Intern;
using Lumo::Objects::QueryInterface;
using Lumo::Objects::vec4;

using EffectInstanceCacheTest = EffectTest;

TEST_F(EffectInstanceCacheTest, EqualColoursMadeApartShareOneInstance) {
    const vec4<float> red(1, 0, 0, 1);
    AutoPtr<ColorEffectAttribute> a = ColorEffectAttribute::Make(red);
    AutoPtr<ColorEffectAttribute> b = ColorEffectAttribute::Make(red, true, 9); // priority is not part of the key
    AutoPtr<ColorEffectAttribute> blue = ColorEffectAttribute::Make(vec4<float>(0, 0, 1, 1));

    EffectInstance* ea = a->EffectInstance(*dc, false);
    ASSERT_NE(ea, nullptr);
    EXPECT_EQ(b->EffectInstance(*dc, false), ea);
    EXPECT_EQ(a->EffectInstance(*dc, false), ea);
    EXPECT_NE(blue->EffectInstance(*dc, false), ea);
    EXPECT_EQ(EffectInstanceCache::Instance()->Lookup(ColorEffectAttribute::CacheKey(red)), ea);
    EXPECT_EQ(EffectInstanceCache::Instance()->Count(), 2);
    EXPECT_EQ(ea->RefCount(), 3); // the cache and both attributes; none for callers

    auto* solid = QueryInterface<SolidEffectInstance>(ea);
    ASSERT_NE(solid, nullptr);
    EXPECT_EQ(solid->Color(), vec4<float>(1, 0, 0, 1));
    EXPECT_FLOAT_EQ(solid->Opacity(), 1.0f);
}

TEST_F(EffectInstanceCacheTest, FreshInstancesAreNewEveryCallAndOwnedByTheCaller) {
    AutoPtr<ColorEffectAttribute> a = ColorEffectAttribute::Make(vec4<float>(0.2f, 0.4f, 0.6f, 0.5f));
    EffectInstance* cached = a->EffectInstance(*dc, false);
    AutoPtr<EffectInstance> f1 = a->EffectInstance(*dc, true);
    AutoPtr<EffectInstance> f2 = a->EffectInstance(*dc, true);
    ASSERT_TRUE(f1 && f2);
    EXPECT_NE(f1.get(), f2.get());
    EXPECT_NE(f1.get(), cached);
    EXPECT_EQ(f1->RefCount(), 1); // only ours
    EXPECT_EQ(f1->Values(), cached->Values());
    // A fresh instance may be changed without touching the shared one.
    QueryInterface<SolidEffectInstance>(f1.get())->Opacity(0.1f);
    EXPECT_FLOAT_EQ(QueryInterface<SolidEffectInstance>(cached)->Opacity(), 0.5f);
    EXPECT_EQ(a->EffectInstance(*dc, false), cached);
    EXPECT_EQ(EffectInstanceCache::Instance()->Count(), 1); // fresh ones are not filed
}

TEST_F(EffectInstanceCacheTest, LookupStoresOnlyWhatIsOfferedForANewKey) {
    EffectInstanceCache* cache = EffectInstanceCache::Make();
    EXPECT_EQ(EffectInstanceCache::Make(), cache);
    EXPECT_EQ(cache->Lookup(L"k"), nullptr);
    EXPECT_EQ(cache->Count(), 0);

    AutoPtr<SolidEffectInstance> first = SolidEffectInstance::Make(device);
    AutoPtr<SolidEffectInstance> second = SolidEffectInstance::Make(device);
    EXPECT_EQ(cache->Lookup(L"k", first), first.get());
    EXPECT_EQ(first->RefCount(), 2);
    EXPECT_EQ(cache->Lookup(L"k", second), first.get()); // the first stays
    EXPECT_EQ(second->RefCount(), 1);
    EXPECT_EQ(cache->Lookup(L"k"), first.get());

    EffectInstanceCache::Destroy();
    EXPECT_FALSE(EffectInstanceCache::Exists());
    EXPECT_EQ(first->RefCount(), 1); // the cache's reference went with it
    EXPECT_EQ(EffectInstanceCache::Instance()->Lookup(L"k"), nullptr);
}

TEST_F(EffectInstanceCacheTest, KeysFollowTheValues) {
    EXPECT_EQ(ColorEffectAttribute::CacheKey(vec4<float>(1, 0.5f, 0.25f, 1)), L"ColorEffect(1,0.5,0.25,1)");
    EXPECT_EQ(VertexColorEffectAttribute::CacheKey(true, 0.5f), L"VertexColorEffect(1,0.5)");
    EXPECT_EQ(VertexColorEffectAttribute::CacheKey(false, 1.0f), L"VertexColorEffect(0,1)");

    Lumo::Objects::UString* paint = Intern(L"Paint-015");
    EXPECT_EQ(AmbraEffectAttribute::CacheKey(paint, false, vec4<float>(1, 0, 0, 1), 1.0f, 0.0f),
              L"AmbraEffect(Paint-015,)");
    EXPECT_EQ(AmbraEffectAttribute::CacheKey(paint, true, vec4<float>(1, 0, 0, 1), 1.0f, 0.0f),
              L"AmbraEffect(Paint-015,(1,0,0,1))");
    EXPECT_EQ(AmbraEffectAttribute::CacheKey(paint, false, vec4<float>(), 2.5f, 0.0f), L"AmbraEffect(Paint-015,x2.5)");
    EXPECT_EQ(AmbraEffectAttribute::CacheKey(paint, true, vec4<float>(0, 1, 0, 1), 2.0f, 90.0f),
              L"AmbraEffect(Paint-015,(0,1,0,1)x2@90)");
}

TEST_F(EffectInstanceCacheTest, VertexColourInstancesShareByFlagAndOpacity) {
    AutoPtr<VertexColorEffectAttribute> a = VertexColorEffectAttribute::Make(true, 0.5f);
    AutoPtr<VertexColorEffectAttribute> b = VertexColorEffectAttribute::Make(true, 0.5f);
    AutoPtr<VertexColorEffectAttribute> c = VertexColorEffectAttribute::Make(false, 0.5f);
    EXPECT_EQ(a->EffectInstance(*dc, false), b->EffectInstance(*dc, false));
    EXPECT_NE(a->EffectInstance(*dc, false), c->EffectInstance(*dc, false));
    auto* solid = QueryInterface<SolidEffectInstance>(a->EffectInstance(*dc, false));
    ASSERT_NE(solid, nullptr);
    EXPECT_TRUE(solid->VertexColorAlphaFlag());
    EXPECT_FLOAT_EQ(solid->Opacity(), 0.5f);
    EXPECT_EQ(solid->ColorSource(), Lumo::Devices::StockEffects::eColorVertex);
}

TEST_F(EffectInstanceCacheTest, ADrawContextWithoutDeviceGivesNoInstanceAndFilesNothing) {
    AutoPtr<Lumo::Devices::ADrawContext> bare = Lumo::Devices::ADrawContext::Make(nullptr);
    AutoPtr<ColorEffectAttribute> a = ColorEffectAttribute::Make(vec4<float>(1, 1, 0, 1));
    EXPECT_EQ(a->EffectInstance(*bare, false), nullptr);
    EXPECT_EQ(a->EffectInstance(*bare, true), nullptr);
    EXPECT_EQ(EffectInstanceCache::Instance()->Count(), 0);
    // Once a device is there the attribute still makes its instance.
    EXPECT_NE(a->EffectInstance(*dc, false), nullptr);
}

TEST_F(EffectInstanceCacheTest, ConcurrentFirstUseAgreesOnOneInstance) {
    constexpr int kThreads = 8;
    std::vector<AutoPtr<ColorEffectAttribute>> attributes;
    for (int i = 0; i < kThreads; ++i)
        attributes.emplace_back(ColorEffectAttribute::Make(vec4<float>(0.3f, 0.3f, 0.3f, 1)));
    std::vector<EffectInstance*> seen(kThreads * 2, nullptr);
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i)
        threads.emplace_back([&, i] {
            while (!go.load())
                std::this_thread::yield();
            seen[2 * i] = attributes[i]->EffectInstance(*dc, false);
            seen[2 * i + 1] = attributes[0]->EffectInstance(*dc, false);
        });
    go = true;
    for (auto& t : threads)
        t.join();
    for (EffectInstance* ei : seen)
        EXPECT_EQ(ei, seen[0]);
    EXPECT_EQ(EffectInstanceCache::Instance()->Count(), 1);
}
