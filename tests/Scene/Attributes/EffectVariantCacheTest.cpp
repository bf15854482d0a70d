#include "EffectTestSupport.h"

#include <Lumo/Devices/LayeredEffectInstance.h>
#include <Scene/Attributes/EffectVariantCache.h>

#include <thread>
#include <vector>

using namespace Lumo::Scene;
using namespace SceneTest;
using Lumo::Devices::EffectInstance;

namespace {
/// An instance that counts how many of its kind are alive.
class Probe : public EffectInstance {
public:
    Probe() : EffectInstance(nullptr) { ++live; }
    ~Probe() override { --live; }
    static inline int live = 0;
};

EffectVariantCache::Key KeyOf(EffectInstance* base, float opacity = 0.5f) {
    EffectVariantCache::Key key;
    key.base = base;
    key.kind = EffectVariantCache::eTransparent;
    key.values[0] = opacity;
    return key;
}

class EffectVariantCacheTest : public EffectTest {
protected:
    void TearDown() override {
        EffectVariantCache::Capacity(16384);
        EffectTest::TearDown();
        EXPECT_EQ(Probe::live, 0);
    }
};
} // namespace

TEST_F(EffectVariantCacheTest, TheSameKeyAnswersTheSameVariantAndAnyDifferenceMisses) {
    AutoPtr<EffectInstance> base = new Probe, variant = new Probe, late = new Probe;
    const EffectVariantCache::Key key = KeyOf(base);
    EXPECT_EQ(EffectVariantCache::Find(key), nullptr);
    EXPECT_EQ(EffectVariantCache::Offer(key, variant), variant);
    EXPECT_EQ(EffectVariantCache::Find(key), variant);
    EXPECT_EQ(EffectVariantCache::Offer(key, late), variant) << "a racing offer gets the stored one";

    EffectVariantCache::Key other = key;
    other.values[0] = 0.25f;
    EXPECT_EQ(EffectVariantCache::Find(other), nullptr);
    other = key;
    other.flags = 1; // absolute
    EXPECT_EQ(EffectVariantCache::Find(other), nullptr);
    other = key;
    other.kind = EffectVariantCache::eTwoSided;
    EXPECT_EQ(EffectVariantCache::Find(other), nullptr);
    other = key;
    other.device = device;
    EXPECT_EQ(EffectVariantCache::Find(other), nullptr);
    other = key;
    other.base = late;
    EXPECT_EQ(EffectVariantCache::Find(other), nullptr);
    EXPECT_EQ(EffectVariantCache::Offer(other, nullptr), nullptr) << "nothing offered, nothing stored";
    EXPECT_EQ(EffectVariantCache::Count(), 1);
}

TEST_F(EffectVariantCacheTest, ASweepLetsGoOnceBaseAndVariantAreUsedByNothingElse) {
    AutoPtr<EffectInstance> base = new Probe, variant = new Probe;
    EffectVariantCache::Offer(KeyOf(base), variant);
    base = nullptr; // the cache's reference keeps it, and its address, alive
    EXPECT_EQ(Probe::live, 2);
    EXPECT_EQ(EffectVariantCache::Sweep(), 0) << "something still draws with the variant";
    variant = nullptr;
    EXPECT_EQ(EffectVariantCache::Sweep(), 1);
    EXPECT_EQ(Probe::live, 0);

    // A variant that holds its base as a layer does not keep the entry alive by itself.
    AutoPtr<Lumo::Devices::LayeredEffectInstance> layered = Lumo::Devices::LayeredEffectInstance::Make(device);
    ASSERT_NE(layered, nullptr);
    base = new Probe;
    layered->AddLayer(base);
    EffectVariantCache::Offer(KeyOf(base), layered);
    base = nullptr;
    layered = nullptr;
    EXPECT_EQ(EffectVariantCache::Sweep(), 1);
    EXPECT_EQ(Probe::live, 0);
    EXPECT_EQ(EffectVariantCache::Count(), 0);
}

TEST_F(EffectVariantCacheTest, AnUnusedVariantOfALiveBaseGoesOnlyAfterLongWithoutAsking) {
    AutoPtr<EffectInstance> base = new Probe;
    EffectVariantCache::Offer(KeyOf(base), AutoPtr<EffectInstance>(new Probe));
    for (unsigned i = 0; i < EffectVariantCache::kIdleSweeps; ++i)
        EffectVariantCache::Sweep();
    ASSERT_NE(EffectVariantCache::Find(KeyOf(base)), nullptr) << "asking renews it";
    for (unsigned i = 0; i < EffectVariantCache::kIdleSweeps; ++i)
        EXPECT_EQ(EffectVariantCache::Sweep(), 0);
    EXPECT_EQ(EffectVariantCache::Sweep(), 1);
    EXPECT_EQ(Probe::live, 1) << "the base is the caller's";
}

TEST_F(EffectVariantCacheTest, AtCapacityTheEntryAskedForLeastRecentlyMakesWay) {
    EffectVariantCache::Capacity(2);
    AutoPtr<EffectInstance> base = new Probe;
    std::vector<AutoPtr<EffectInstance>> drawn; // in use: no sweep can take them
    for (int i = 0; i < 3; ++i)
        drawn.push_back(new Probe);
    EffectVariantCache::Offer(KeyOf(base, 0.1f), drawn[0]);
    EffectVariantCache::Offer(KeyOf(base, 0.2f), drawn[1]);
    EffectVariantCache::Sweep();
    EffectVariantCache::Find(KeyOf(base, 0.1f));
    EXPECT_EQ(EffectVariantCache::Offer(KeyOf(base, 0.3f), drawn[2]), drawn[2]);
    EXPECT_EQ(EffectVariantCache::Count(), 2);
    EXPECT_EQ(EffectVariantCache::Find(KeyOf(base, 0.1f)), drawn[0]);
    EXPECT_EQ(EffectVariantCache::Find(KeyOf(base, 0.2f)), nullptr);
    EXPECT_EQ(EffectVariantCache::Find(KeyOf(base, 0.3f)), drawn[2]);
    EXPECT_EQ(drawn[1]->RefCount(), 1) << "its drawer keeps it";
}

TEST_F(EffectVariantCacheTest, ThreadsAskingForOneKeyShareOneVariantAndShutdownEmptiesTheCache) {
    AutoPtr<EffectInstance> base = new Probe;
    std::vector<EffectInstance*> got(4 * 200);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                const float opacity = float(i % 5) / 10.0f;
                AutoPtr<EffectInstance> v = EffectVariantCache::Find(KeyOf(base, opacity));
                if (!v)
                    v = EffectVariantCache::Offer(KeyOf(base, opacity), AutoPtr<EffectInstance>(new Probe));
                got[t * 200 + i] = v;
                if (i % 50 == 0)
                    EffectVariantCache::Sweep();
            }
        });
    for (auto& t : threads)
        t.join();
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_EQ(got[i], EffectVariantCache::Find(KeyOf(base, float(i % 200 % 5) / 10.0f)).get()) << i;
    EXPECT_EQ(EffectVariantCache::Count(), 5);
    EffectInstanceCache::Destroy();
    EXPECT_EQ(EffectVariantCache::Count(), 0);
    EXPECT_EQ(Probe::live, 1);
}
