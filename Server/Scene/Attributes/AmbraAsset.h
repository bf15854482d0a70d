#pragma once
#include <Brio/Types/Color.h>

#include <string>

namespace Brio {

/// One visual material of the host's material library as the manager hands it out: the
/// library's values, with a customized colour, rotation and scale already applied.
struct AmbraAsset {
    std::string identifier;
    std::string name;
    std::string category;
    Color emissive{0.0f, 0.0f, 0.0f};
    Color ambient{0.2f, 0.2f, 0.2f};
    Color diffuse{0.8f, 0.8f, 0.8f};
    Color specular{0.5f, 0.5f, 0.5f};
    float shininess = 20.0f; ///< specular exponent
    float opacity = 1.0f;
    float reflection = 0.0f; ///< share of the environment reflected, 0 to 1
    float rotation = 0.0f;   ///< of a mapped pattern, in degrees
    float scale = 1.0f;      ///< of a mapped pattern
    bool customizedColor = false;

    bool operator==(const AmbraAsset&) const = default;
};

} // namespace Brio
