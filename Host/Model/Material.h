#pragma once
#include <string>

namespace Host {

/// A visual material as the host keeps it: a name and a base colour; alpha below 1 is
/// transparency.
struct Material {
    std::string name;
    float r = 0.7f, g = 0.7f, b = 0.72f, a = 1.f;
    bool operator==(const Material&) const = default;
};

/// An RGBA colour in 0..1.
struct Rgba {
    float r = 1, g = 1, b = 1, a = 1;
    bool operator==(const Rgba&) const = default;
};

} // namespace Host
