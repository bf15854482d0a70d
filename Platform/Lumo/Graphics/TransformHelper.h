#pragma once
#include <Lumo/Objects/Mat4.h>

namespace Lumo::Devices {
class ADrawContext;
}

namespace Lumo::Graphics {

/// Coordinate spaces of a draw context.
enum ETransformSpace : int {
    eWorldSpace = 1,    ///< after the node's world matrix
    eViewSpace = 2,     ///< the eye's frame
    eNDCSpace = 3,      ///< after projection and the perspective divide, -1..1
    eViewportSpace = 5, ///< pixels, origin top left, y down, depth 0..1
};

/// Matrices between the spaces of a draw context (row vectors; apply with the homogeneous
/// divide, as projections need).
class TransformHelper {
public:
    /// The matrix taking points of space `from` to space `to`; identity when either space is
    /// unknown or the way back through a singular matrix is needed.
    static Lumo::Objects::mat4<double> GetTransform(const Lumo::Devices::ADrawContext& dc, ETransformSpace from,
                                                    ETransformSpace to);
    /// p * m with the homogeneous divide (skipped when w is 0).
    static Lumo::Objects::vec3<double> Apply(const Lumo::Objects::mat4<double>& m,
                                             const Lumo::Objects::vec3<double>& p);
};

} // namespace Lumo::Graphics
