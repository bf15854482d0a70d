#include <Lumo/Graphics/TransformHelper.h>

#include <Lumo/Devices/ADrawContext.h>

namespace Lumo::Graphics {

using Lumo::Objects::mat4;
using Lumo::Objects::vec3;

namespace {
/// From a space to the next one up the chain world -> view -> NDC -> viewport.
mat4<double> Step(const Lumo::Devices::ADrawContext& dc, int from) {
    switch (from) {
    case eWorldSpace:
        return dc.ViewMatrix().Cast<double>();
    case eViewSpace:
        return dc.ProjMatrix().Cast<double>();
    case eNDCSpace: {
        double w = dc.ViewportWidth(), h = dc.ViewportHeight();
        mat4<double> v;
        v.m[0][0] = w / 2;
        v.m[1][1] = -h / 2;
        v.m[2][2] = 0.5;
        v.m[3][0] = w / 2;
        v.m[3][1] = h / 2;
        v.m[3][2] = 0.5;
        return v;
    }
    default:
        return {};
    }
}

int Next(int space) {
    return space == eNDCSpace ? eViewportSpace : space + 1;
}

bool Known(int space) {
    return space == eWorldSpace || space == eViewSpace || space == eNDCSpace || space == eViewportSpace;
}
} // namespace

mat4<double> TransformHelper::GetTransform(const Lumo::Devices::ADrawContext& dc, ETransformSpace from,
                                           ETransformSpace to) {
    if (!Known(from) || !Known(to) || from == to)
        return {};
    int lo = from < to ? from : to, hi = from < to ? to : from;
    mat4<double> m;
    for (int s = lo; s != hi; s = Next(s))
        m = m * Step(dc, s);
    if (from < to)
        return m;
    mat4<double> inverse;
    return m.Inverse(inverse) ? inverse : mat4<double>();
}

vec3<double> TransformHelper::Apply(const mat4<double>& m, const vec3<double>& p) {
    return m.TransformPoint(p);
}

} // namespace Lumo::Graphics
