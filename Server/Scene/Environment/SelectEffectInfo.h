#pragma once
#include <Brio/Types/Color.h>

namespace Brio::Scene {

/// The parameters of a selection or highlight effect as an environment gives them: the
/// colours of the faces, back faces, halo, hidden lines, lines and glow, their widths, and
/// which parts are drawn. Render parameters turn them into the effect's passes.
struct SelectEffectInfo {
    Brio::Color baseColor{0.25f, 0.55f, 1.0f, 0.35f};
    Brio::Color backFaceColor{0.18f, 0.40f, 0.80f, 0.35f};
    Brio::Color haloColor{0.35f, 0.65f, 1.0f, 0.85f};
    Brio::Color hiddenLineColor{0.25f, 0.55f, 1.0f, 0.45f};
    Brio::Color lineColor{0.10f, 0.40f, 0.95f, 1.0f};
    Brio::Color lineColor2{0.55f, 0.78f, 1.0f, 1.0f};
    Brio::Color glowColor{0.40f, 0.70f, 1.0f, 0.6f};
    int haloWidth = 3;
    float blurWeight = 1.0f;
    int linesWidth = 2;
    bool useBase = true;
    bool useGlow = false;
    bool useHalo = true;
    bool useHiddenLines = false;
    bool useLines = true;
    bool quickHalo = false;
    bool dilateOne = false;

    bool operator==(const SelectEffectInfo&) const = default;
};

} // namespace Brio::Scene
