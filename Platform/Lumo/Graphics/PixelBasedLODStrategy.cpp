#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Graphics/PixelBasedLODStrategy.h>
#include <Lumo/Graphics/TraversalState.h>

#include <algorithm>
#include <cmath>

namespace Lumo::Graphics {

LUMO_DEFINE_CLASS(PixelBasedLODStrategy, Lumo::Objects::ARefCounted)

PixelBasedLODStrategy* PixelBasedLODStrategy::Make() {
    return new PixelBasedLODStrategy;
}

double PixelBasedLODStrategy::ProjectedPixels(const Lumo::Devices::ADrawContext& dc, const TraversalState& state) {
    const Lumo::Objects::SBox3& box = state.CurrentBox();
    if (box.IsEmpty() || dc.ViewportHeight() <= 0)
        return 0.0;
    const double diameter = box.Size().Length();
    const auto& proj = dc.ProjMatrix();
    const double height = dc.ViewportHeight();
    if (proj.m[2][3] == 0.0f) // orthographic: a fixed scale
        return diameter * proj.m[1][1] * height / 2.0;
    const auto c = box.Center();
    const auto& v = dc.ViewMatrix();
    const double depth = c.x * v.m[0][2] + c.y * v.m[1][2] + c.z * v.m[2][2] + v.m[3][2];
    if (depth <= 1e-9)
        return height * 4; // around or behind the eye: as fine as it gets
    const double unit = dc.InverseUnitExtent() > 0 ? dc.InverseUnitExtent() * 2.0 : proj.m[1][1];
    return diameter * unit * height / 2.0 / depth;
}

int PixelBasedLODStrategy::LevelForPixels(double pixels) {
    if (!(pixels > 1.0))
        return 6;
    return std::clamp(int(std::floor(std::log2(pixels))) + 6, 6, 15);
}

void PixelBasedLODStrategy::ComputeLOD(Lumo::Devices::ADrawContext& dc, TraversalState& state) {
    if (state.CurrentBox().IsEmpty())
        return;
    state.GeomLOD(LevelForPixels(ProjectedPixels(dc, state)));
}

} // namespace Lumo::Graphics
