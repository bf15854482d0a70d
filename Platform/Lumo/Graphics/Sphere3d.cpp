#include <Lumo/Graphics/Frame3d.h>
#include <Lumo/Graphics/Sphere3d.h>

namespace Lumo::Graphics {

bool Sphere3d::IsValid() const {
    return Frame3d::IsFinite(center) && Frame3d::IsFinite(radius) && radius > 0.0;
}

Lumo::Objects::SBox3 Sphere3d::Box() const {
    if (!IsValid())
        return {};
    const vec3d r(radius, radius, radius);
    return {center - r, center + r};
}

} // namespace Lumo::Graphics
