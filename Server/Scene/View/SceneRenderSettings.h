#pragma once

namespace Brio {
class Color;
}

namespace Brio::Scene {

/// The process-wide switches of the view renderers, changed by the "Scene" text commands
/// ("Rendering", "MaxNearFarRatio", "Background") and read by every frame.
class SceneRenderSettings {
public:
    /// Off: render() does nothing at all (not even the pre-render hook).
    static bool renderingEnabled();
    static void renderingEnabled(bool on);

    /// The largest far / near ratio of a perspective view's clip range (1000 unless set).
    static double maxNearFarRatio();
    /// Ratios that are not finite or below 1 are refused (false).
    static bool maxNearFarRatio(double ratio);

    /// The clear colour of views: (0.914, 0.914, 0.914, 1) unless set.
    static Brio::Color backgroundColor();
    static void backgroundColor(float red, float green, float blue);
    /// With cycling on, each frame's red channel grows by 0.01 and wraps past 1 (a visible
    /// heartbeat that shows whether frames are really drawn).
    static bool backgroundCycling();
    static void backgroundCycling(bool on);
    /// The red channel of the next cycling frame (moves the shared value on).
    static float nextCyclingRed();

    /// Back to the values the library starts with.
    static void reset();
};

} // namespace Brio::Scene
