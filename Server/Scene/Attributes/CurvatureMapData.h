#pragma once
#include <Lumo/Objects/KString.h>

namespace Lumo::Scene {

/// Settings of a curvature map: which curvature, shown smoothly or in bands over a range.
struct CurvatureMapData {
    enum EMapType : int { eGaussian = 0, eMinimumCurvature = 1, eMaximumCurvature = 2 };
    enum EDisplayType : int { eSmooth = 0, eBand = 1 };

    int mapType = eGaussian;   ///< 0 Gaussian, 1 minimum, anything else maximum curvature
    int displayType = eSmooth; ///< 0 smooth, anything else bands
    float threshold = 0.5f;
    float minValue = 0.0f;
    float maxValue = 1.0f;

    bool operator==(const CurvatureMapData&) const = default;
    /// The text shown in dumps, each line introduced by "\n".
    Lumo::Objects::KString ToString() const;
};

} // namespace Lumo::Scene
