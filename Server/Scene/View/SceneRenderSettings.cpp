#include <Scene/View/SceneRenderSettings.h>

#include <Brio/Types/Color.h>

#include <atomic>
#include <cmath>
#include <mutex>

namespace Brio::Scene {

namespace {

struct Settings {
    std::atomic<bool> rendering{true};
    std::atomic<double> maxNearFar{1000.0};
    std::atomic<bool> cycling{false};
    std::mutex colorMutex;
    float rgb[3] = {0.914f, 0.914f, 0.914f};
    float cyclingRed = 0.0f;
};

Settings& S() {
    static Settings s;
    return s;
}

} // namespace

bool SceneRenderSettings::renderingEnabled() {
    return S().rendering.load(std::memory_order_relaxed);
}
void SceneRenderSettings::renderingEnabled(bool on) {
    S().rendering.store(on, std::memory_order_relaxed);
}

double SceneRenderSettings::maxNearFarRatio() {
    return S().maxNearFar.load(std::memory_order_relaxed);
}
bool SceneRenderSettings::maxNearFarRatio(double ratio) {
    if (!std::isfinite(ratio) || ratio < 1.0)
        return false;
    S().maxNearFar.store(ratio, std::memory_order_relaxed);
    return true;
}

Brio::Color SceneRenderSettings::backgroundColor() {
    Settings& s = S();
    std::lock_guard lock(s.colorMutex);
    return Brio::Color(s.rgb[0], s.rgb[1], s.rgb[2], 1.0f);
}
void SceneRenderSettings::backgroundColor(float red, float green, float blue) {
    Settings& s = S();
    std::lock_guard lock(s.colorMutex);
    s.rgb[0] = red;
    s.rgb[1] = green;
    s.rgb[2] = blue;
}
bool SceneRenderSettings::backgroundCycling() {
    return S().cycling.load(std::memory_order_relaxed);
}
void SceneRenderSettings::backgroundCycling(bool on) {
    S().cycling.store(on, std::memory_order_relaxed);
}
float SceneRenderSettings::nextCyclingRed() {
    Settings& s = S();
    std::lock_guard lock(s.colorMutex);
    s.cyclingRed += 0.01f;
    if (s.cyclingRed > 1.0f)
        s.cyclingRed = 0.0f;
    return s.cyclingRed;
}

void SceneRenderSettings::reset() {
    renderingEnabled(true);
    S().maxNearFar.store(1000.0, std::memory_order_relaxed);
    backgroundCycling(false);
    backgroundColor(0.914f, 0.914f, 0.914f);
    std::lock_guard lock(S().colorMutex);
    S().cyclingRed = 0.0f;
}

} // namespace Brio::Scene
