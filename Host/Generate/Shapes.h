#pragma once
#include <Host/Model/Mesh.h>

#include <vector>

namespace Host::Shapes {

/// Closed meshes of machined shapes, standing on y (from y0 to y1 where they have a height),
/// centred on the y axis, with normals and edges as BuildMesh makes them.

/// A box of half-sizes h.
MeshPtr Block(vec3f h);
/// A cylinder of radius r; `segments` around.
MeshPtr Cylinder(float r, float y0, float y1, int segments = 48);
/// A tube: a cylinder with a bore.
MeshPtr Tube(float rOuter, float rInner, float y0, float y1, int segments = 48);
/// A spur gear with a bore: `teeth` trapezoid teeth between the root and tip radii.
MeshPtr Gear(int teeth, float rRoot, float rTip, float rBore, float y0, float y1, int samplesPerTooth = 8);
/// A hexagonal prism (bolt heads, nuts) of across-corners radius r.
MeshPtr Hexagon(float r, float y0, float y1);
/// A torus about y of ring radius R and tube radius r.
MeshPtr Torus(float R, float r, int major, int minor);

/// A prism of a closed profile in the x-z plane (counter-clockwise seen from +y) with an
/// optional hole profile of the same vertex count, extruded from y0 to y1.
MeshPtr Prism(const std::vector<Lumo::Objects::vec2<float>>& outer, const std::vector<Lumo::Objects::vec2<float>>& hole,
              float y0, float y1);

} // namespace Host::Shapes
