#pragma once
#include <Lumo/Objects/Mat4.h>
#include <Lumo/Objects/Vec.h>

class ZoGeMatrix3d;
class ZoGePoint3d;
class ZoGeVector3d;

namespace Brio::Scene {

/// The host's column-vector matrix in doubles as the graphics system's row-vector matrix in
/// floats (the transpose).
Lumo::Objects::mat4<float> GeMatrixToLumoMatrix(const ZoGeMatrix3d& matrix);
Lumo::Objects::vec3<double> toVec3d(const ZoGePoint3d& p);
Lumo::Objects::vec3<double> toVec3d(const ZoGeVector3d& v);
Lumo::Objects::vec3<float> toVec3f(const ZoGePoint3d& p);
Lumo::Objects::vec3<float> toVec3f(const ZoGeVector3d& v);

} // namespace Brio::Scene
