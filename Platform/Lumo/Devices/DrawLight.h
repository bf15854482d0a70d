#pragma once
#include <Lumo/Objects/Vec.h>

namespace Lumo::Devices {

enum ELightType : int {
    eLightDirectional = 0,
    eLightPoint = 1,
    eLightSpot = 2,
};

/// One light a draw context lights effects with. View-space lights move with the camera
/// (head lights); world-space lights stay with the model.
struct SDrawLight {
    ELightType type = eLightDirectional;
    bool viewSpace = true;
    Lumo::Objects::vec3<float> color{1, 1, 1}; ///< diffuse, already scaled by the gain
    Lumo::Objects::vec3<float> specular{1, 1, 1};
    Lumo::Objects::vec3<float> direction{0, 0, 1}; ///< the way the light travels
    Lumo::Objects::vec3<float> position{0, 0, 0};
    Lumo::Objects::vec3<float> attenuation{1, 0, 0}; ///< constant, linear, quadratic
    float spotCosInner = 1.0f, spotCosOuter = 0.0f;
};

} // namespace Lumo::Devices
