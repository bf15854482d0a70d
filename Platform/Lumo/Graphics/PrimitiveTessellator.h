#pragma once
#include <Lumo/Graphics/APrimitive.h>

namespace Lumo::Devices {
class SimpleMesh;
}

namespace Lumo::Graphics {

/// Turns primitives into meshes at a level of detail (0 coarsest to 15 finest; others are
/// clamped). Curves become line strips of positions; surfaces become indexed triangle lists
/// of positions and outward unit normals, counter-clockwise seen from outside. The same
/// primitive and level always give the same mesh. An invalid primitive gives an empty mesh
/// of the right topology. Each call answers a new mesh (reference count 0).
class PrimitiveTessellator {
public:
    static constexpr int kCoarsestLevel = 0;
    static constexpr int kFinestLevel = 15;
    static constexpr int kMaxArcSegments = 4096;

    static Lumo::Devices::SimpleMesh* Tessellate(const Primitive3d& primitive, int level);
    static Lumo::Devices::SimpleMesh* Tessellate(const CircleArc3d& arc, int level);
    static Lumo::Devices::SimpleMesh* Tessellate(const EllipseArc3d& arc, int level);
    static Lumo::Devices::SimpleMesh* Tessellate(const NurbsCurve3d& curve, int level);
    static Lumo::Devices::SimpleMesh* Tessellate(const PolyLine3d& line, int level);
    static Lumo::Devices::SimpleMesh* Tessellate(const Torus3d& torus, int level);
    static Lumo::Devices::SimpleMesh* Tessellate(const Box3d& box, int level);
    static Lumo::Devices::SimpleMesh* Tessellate(const Cone3d& cone, int level);
    static Lumo::Devices::SimpleMesh* Tessellate(const Sphere3d& sphere, int level);

    /// The largest distance a chord may stray from an arc, as a fraction of the (major)
    /// radius: 5% at level 0 falling geometrically to 0.01% at level 15.
    static double ChordTolerance(int level);
    /// Segments for an arc of that sweep (radians) within the chord tolerance, at least 1
    /// and at most kMaxArcSegments.
    static int ArcSegments(double sweep, int level);
    /// Parameter steps per knot span: 1 for degree 1 (the spans are straight), else 4 at
    /// level 0 to 64 at level 15.
    static int NurbsSamplesPerSpan(int degree, int level);
    /// Round the axis: 8 to 128.
    static int SphereSlices(int level);
    /// Pole to pole: 6 to 64.
    static int SphereStacks(int level);
    /// Round the torus axis: 12 to 128.
    static int TorusSegments(int level);
    /// Round the tube: 6 to 48.
    static int TorusSides(int level);
    /// Round the cone axis: 8 to 128.
    static int ConeSlices(int level);

    static int ClampLevel(int level);
};

} // namespace Lumo::Graphics
