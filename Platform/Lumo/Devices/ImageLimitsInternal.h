#pragma once
// The one wording for images refused for their size, shared by the image readers.
#include <Lumo/Devices/TextureInstance.h>

#include <string>

namespace Lumo::Devices {

/// Why an image of width x height pixels is refused before anything is allocated for it, or
/// empty when it may be read: each side at most TextureInstance::kMaxSize, and at most
/// maxPixels in all.
inline std::string ImageSizeRefusal(long long width, long long height, long long maxPixels) {
    const long long side = TextureInstance::kMaxSize;
    if (width <= 0 || height <= 0)
        return "image of " + std::to_string(width) + " x " + std::to_string(height) + " pixels has no area";
    std::string limit;
    if (width > side || height > side)
        limit = std::to_string(side) + " x " + std::to_string(side) + " pixels";
    else if (width * height > maxPixels)
        limit = std::to_string(maxPixels) + " pixels";
    else
        return {};
    return "image of " + std::to_string(width) + " x " + std::to_string(height) + " pixels exceeds the limit of " +
           limit;
}

} // namespace Lumo::Devices
