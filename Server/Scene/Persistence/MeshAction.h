#pragma once
#include <Brio/Types/Point3f.h>

namespace Brio::Scene {

/// Receives the primitives of a mesh geometry one by one (MeshGeometry::apply), numbered in
/// the order of the mesh.
class MeshAction {
public:
    virtual ~MeshAction();
    virtual void triangle(int index, const Point3f& a, const Point3f& b, const Point3f& c) = 0;
    virtual void line(int index, const Point3f& a, const Point3f& b) = 0;
};

} // namespace Brio::Scene
