#pragma once
#include <Lumo/Objects/KString.h>
#include <Lumo/Objects/Vec.h>

namespace Lumo::Scene {

/// Settings of a zebra-stripe (reflection line) analysis.
struct ZebraAnalysisData {
    enum EStripeDirection : int { eHorizontal = 0, eDiagonal = 1, eVertical = 2 };

    int stripeDirection = eHorizontal; ///< 1 diagonal, 2 vertical, anything else horizontal
    float stripeDensity = 15.0f;       ///< stripes across the view
    Lumo::Objects::vec3<float> color0{0.0f, 0.0f, 0.0f};
    Lumo::Objects::vec3<float> color1{1.0f, 1.0f, 1.0f};
    bool locked = false; ///< stripes fixed to the model instead of following the view

    bool operator==(const ZebraAnalysisData&) const = default;
    /// The text shown in dumps, each line introduced by "\n".
    Lumo::Objects::KString ToString() const;
};

} // namespace Lumo::Scene
