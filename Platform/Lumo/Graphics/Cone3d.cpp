#include <Lumo/Graphics/Cone3d.h>

#include <algorithm>
#include <cmath>

namespace Lumo::Graphics {

using vec3d = Cone3d::vec3d;

bool Cone3d::IsValid() const {
    return Frame3d::IsFinite(baseRadius) && Frame3d::IsFinite(topRadius) && Frame3d::IsFinite(height) &&
           height != 0.0 && baseRadius >= 0.0 && topRadius >= 0.0 && (baseRadius > 0.0 || topRadius > 0.0) &&
           Frame().IsValid();
}

Frame3d Cone3d::Frame() const {
    return Frame3d::Make(baseCenter, height < 0.0 ? -axis : axis);
}

vec3d Cone3d::TopCenter() const {
    return baseCenter + axis.Normalized() * height;
}

Lumo::Objects::SBox3 Cone3d::Box() const {
    Lumo::Objects::SBox3 box;
    if (!IsValid())
        return box;
    const vec3d w = Frame().W();
    vec3d spread; // a unit disc's half extent per world axis
    for (int k = 0; k < 3; ++k)
        spread[k] = std::sqrt(std::max(0.0, 1.0 - w[k] * w[k]));
    const vec3d top = TopCenter();
    box.Extend(baseCenter - spread * baseRadius);
    box.Extend(baseCenter + spread * baseRadius);
    box.Extend(top - spread * topRadius);
    box.Extend(top + spread * topRadius);
    return box;
}

} // namespace Lumo::Graphics
