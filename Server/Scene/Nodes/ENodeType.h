#pragma once

namespace Lumo::Scene {

/// Kinds of scene node, as recorded in node data.
enum ENodeType : int {
    eViewNode = 0,
    eViewFragmentNode = 1,
    eGroupNode = 2,
    eGeometryNode = 3,
    eLODGeometryNode = 4,
    eInstanceNode = 5,
    eTextNode = 6,
    eImageNode = 7,
    ePrimitiveNode = 8,
    eReferenceNode = 9,
    eReferenceInstanceNode = 10,
    eNoNodeData = 11,
};

} // namespace Lumo::Scene
