#include <Brio/Base/IMetricObserver.h>
#include <Scene/Diagnostics/FPSRateMetric.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using Brio::Scene::FPSRateMetric;

namespace {

struct Counter : Brio::Metrics::IMetricObserver {
    int told = 0;
    void onMetricChanged(Brio::Metrics::RateMetric&) override { ++told; }
};

TEST(FPSRateMetricTest, FastFramesReadAsSixtyAndSlowOnesAsTheyAre) {
    Brio::StrongRef<FPSRateMetric> m = FPSRateMetric::make(L"TestRate", L"Test", false);
    EXPECT_FALSE(m->visible());
    Counter counter;
    m->subscribe(&counter);
    m->start();
    m->stop(); // far faster than 60 a second
    EXPECT_DOUBLE_EQ(m->rate(), 60.0);
    m->start();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    m->stop();
    EXPECT_LT(m->rate(), 21.0);
    EXPECT_GT(m->rate(), 5.0);
    EXPECT_EQ(m->measurements(), 2);
    EXPECT_EQ(counter.told, 2);
    m->stop(); // without a start: nothing
    EXPECT_EQ(m->measurements(), 2);
    m->reset();
    EXPECT_EQ(m->rate(), 0.0);
    EXPECT_EQ(counter.told, 3) << "a reset is news too";
    m->unsubscribe(&counter);
    m->start();
    m->stop();
    EXPECT_EQ(counter.told, 3);
}

TEST(FPSRateMetricTest, TheTwoGraphicsMetricsAreFoundByIdAndOnlyOneIsShown) {
    FPSRateMetric& shown = FPSRateMetric::frameRate();
    FPSRateMetric& raw = FPSRateMetric::rawFrameRate();
    EXPECT_EQ(Brio::Metrics::RateMetric::find(L"FrameRateGraphics"), &shown);
    EXPECT_EQ(Brio::Metrics::RateMetric::find(L"RawFrameRateGraphics(WithoutDegradationAndCache)"), &raw);
    EXPECT_EQ(shown.displayName(), L"FrameRate: Graphics");
    EXPECT_TRUE(shown.visible());
    EXPECT_TRUE(shown.showInHUD());
    EXPECT_FALSE(raw.visible());
    EXPECT_FALSE(raw.showInHUD());
    EXPECT_FALSE(raw.skipped());
    raw.skipped(true);
    EXPECT_TRUE(raw.skipped());
    raw.skipped(false);
    {
        Brio::StrongRef<FPSRateMetric> temporary = FPSRateMetric::make(L"Gone", L"Gone", false);
        EXPECT_NE(Brio::Metrics::RateMetric::find(L"Gone"), nullptr);
    }
    EXPECT_EQ(Brio::Metrics::RateMetric::find(L"Gone"), nullptr) << "a metric leaves the registry with its life";
}

} // namespace
