#include <Scene/Diagnostics/FPSRateMetric.h>

namespace Brio::Scene {

Brio::StrongRef<FPSRateMetric> FPSRateMetric::make(const std::wstring& id, const std::wstring& displayName,
                                                   bool showInHUD) {
    Brio::StrongRef<FPSRateMetric> m(new FPSRateMetric(id, displayName, showInHUD));
    m->visible(id == L"FrameRateGraphics");
    return m;
}

FPSRateMetric& FPSRateMetric::frameRate() {
    static Brio::StrongRef<FPSRateMetric> m = make(L"FrameRateGraphics", L"FrameRate: Graphics", true);
    return *m;
}

FPSRateMetric& FPSRateMetric::rawFrameRate() {
    static Brio::StrongRef<FPSRateMetric> m =
        make(L"RawFrameRateGraphics(WithoutDegradationAndCache)", L"RawFrameRate: Graphics", false);
    return *m;
}

} // namespace Brio::Scene
