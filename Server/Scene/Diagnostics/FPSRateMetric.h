#pragma once
#include <Brio/Base/RateMetric.h>
#include <Brio/Base/StrongRef.h>

namespace Brio::Scene {

/// A frame rate: a rate metric capped at 60 frames per second (faster frames are not shown
/// faster), which a renderer can mark skipped while its frames do not count (cached redraws).
class FPSRateMetric : public Brio::Metrics::RateMetric {
public:
    /// "Brio::Scene::FPSRateMetric".
    static const wchar_t* interfaceId() { return L"Brio::Scene::FPSRateMetric"; }
    /// A new metric; it is visible when its id is "FrameRateGraphics".
    static Brio::StrongRef<FPSRateMetric> make(const std::wstring& id, const std::wstring& displayName, bool showInHUD);

    bool skipped() const override { return m_skipped; }
    void skipped(bool on) { m_skipped = on; }

    /// The two process-wide frame-rate metrics: "FrameRateGraphics" (shown in the heads-up
    /// display) and "RawFrameRateGraphics(WithoutDegradationAndCache)".
    static FPSRateMetric& frameRate();
    static FPSRateMetric& rawFrameRate();

protected:
    FPSRateMetric(const std::wstring& id, const std::wstring& displayName, bool showInHUD)
        : RateMetric(id, displayName, showInHUD) {}
    double fit(double rate) override { return rate > 60.0 ? 60.0 : rate; }
    void onReset() override { RateMetric::onReset(); }

private:
    bool m_skipped = false;
};

} // namespace Brio::Scene
