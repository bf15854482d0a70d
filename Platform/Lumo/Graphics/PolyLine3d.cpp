#include <Lumo/Graphics/Frame3d.h>
#include <Lumo/Graphics/PolyLine3d.h>

#include <algorithm>

namespace Lumo::Graphics {

bool PolyLine3d::IsValid() const {
    return points.size() >= 2 &&
           std::all_of(points.begin(), points.end(), [](const vec3d& p) { return Frame3d::IsFinite(p); });
}

Lumo::Objects::SBox3 PolyLine3d::Box() const {
    Lumo::Objects::SBox3 box;
    if (IsValid())
        for (const vec3d& p : points)
            box.Extend(p);
    return box;
}

} // namespace Lumo::Graphics
