#include <Scene/Change/GeometryConversion.h>

#include <ZoGe/ZoGeMatrix3d.h>
#include <ZoGe/ZoGePoint3d.h>
#include <ZoGe/ZoGeVector3d.h>

namespace Brio::Scene {

Lumo::Objects::mat4<float> GeMatrixToLumoMatrix(const ZoGeMatrix3d& matrix) {
    Lumo::Objects::mat4<float> out;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            out.m[col][row] = static_cast<float>(matrix.entry[row][col]);
    return out;
}

Lumo::Objects::vec3<double> toVec3d(const ZoGePoint3d& p) {
    return {p.x, p.y, p.z};
}
Lumo::Objects::vec3<double> toVec3d(const ZoGeVector3d& v) {
    return {v.x, v.y, v.z};
}
Lumo::Objects::vec3<float> toVec3f(const ZoGePoint3d& p) {
    return {float(p.x), float(p.y), float(p.z)};
}
Lumo::Objects::vec3<float> toVec3f(const ZoGeVector3d& v) {
    return {float(v.x), float(v.y), float(v.z)};
}

} // namespace Brio::Scene
