#pragma once
#include <Lumo/Objects/KString.h>
#include <Lumo/Objects/Vec.h>

namespace Lumo::Scene {

/// Settings of a draft-angle analysis: faces are judged by their angle to the pull direction.
struct DraftAnalysisData {
    Lumo::Objects::vec3<float> pullDirection{0.0f, 0.0f, 1.0f};
    float draftAnglePositive = 0.0f;     ///< degrees
    float draftAngleNegative = 0.0f;     ///< degrees
    float toleranceAnglePositive = 0.0f; ///< degrees
    float toleranceAngleNegative = 0.0f; ///< degrees

    bool operator==(const DraftAnalysisData&) const = default;
    /// The text shown in dumps, each line introduced by "\n".
    Lumo::Objects::KString ToString() const;
};

} // namespace Lumo::Scene
