#include <Lumo/Devices/IndexBufferBuilder.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Devices/VertexBufferBuilder.h>
#include <Lumo/Devices/VertexFormat.h>
#include <Lumo/Graphics/PrimitiveTessellator.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace Lumo::Graphics {

using Lumo::Devices::IndexBufferBuilder;
using Lumo::Devices::SimpleMesh;
using Lumo::Devices::VertexBufferBuilder;
using Lumo::Devices::VertexFormat;
using Lumo::Objects::vec3;
using vec3d = vec3<double>;

namespace {
constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr unsigned kSurfaceFormat = Lumo::Devices::eVertexPosition | Lumo::Devices::eVertexNormal;

vec3<float> ToFloat(const vec3d& v) {
    return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

// lo at level 0 to hi at level 15, linearly; strictly rising when hi - lo >= 15.
int Ramp(int lo, int hi, int level) {
    return lo + (hi - lo) * PrimitiveTessellator::ClampLevel(level) / PrimitiveTessellator::kFinestLevel;
}

SimpleMesh* LineStrip(const std::vector<vec3d>& points) {
    if (points.size() < 2)
        return SimpleMesh::Make(VertexFormat::Make(Lumo::Devices::eVertexPosition), Lumo::Devices::ePrimLineStrip);
    VertexBufferBuilder vb(Lumo::Devices::eVertexPosition);
    vb.Reserve(static_cast<int>(points.size()));
    for (const vec3d& p : points)
        vb.AddVertex(ToFloat(p));
    return SimpleMesh::Make(vb, Lumo::Devices::ePrimLineStrip);
}

SimpleMesh* EmptySurface() {
    return SimpleMesh::Make(VertexFormat::Make(kSurfaceFormat), Lumo::Devices::ePrimTriangleList);
}

/// Vertices with normals and triangle indices of one surface mesh.
struct SurfaceBuilder {
    VertexBufferBuilder vb{kSurfaceFormat};
    IndexBufferBuilder ib;

    std::uint32_t Add(const vec3d& p, const vec3d& normal) {
        return static_cast<std::uint32_t>(vb.AddVertex(ToFloat(p), ToFloat(normal.Normalized())));
    }
    SimpleMesh* Finish() const { return SimpleMesh::Make(vb, ib, Lumo::Devices::ePrimTriangleList); }
};
} // namespace

int PrimitiveTessellator::ClampLevel(int level) {
    return std::clamp(level, kCoarsestLevel, kFinestLevel);
}

double PrimitiveTessellator::ChordTolerance(int level) {
    return 5e-2 * std::pow(1e-4 / 5e-2, static_cast<double>(ClampLevel(level)) / kFinestLevel);
}

int PrimitiveTessellator::ArcSegments(double sweep, int level) {
    if (!std::isfinite(sweep) || sweep <= 0.0)
        return 1;
    // A chord over angle a strays r (1 - cos(a / 2)) from the arc.
    const double step = 2.0 * std::acos(1.0 - ChordTolerance(level));
    const double n = std::ceil(std::min(sweep, kTwoPi) / step - 1e-9);
    return std::clamp(static_cast<int>(n), 1, kMaxArcSegments);
}

int PrimitiveTessellator::NurbsSamplesPerSpan(int degree, int level) {
    return degree <= 1 ? 1 : Ramp(4, 64, level);
}
int PrimitiveTessellator::SphereSlices(int level) {
    return Ramp(8, 128, level);
}
int PrimitiveTessellator::SphereStacks(int level) {
    return Ramp(6, 64, level);
}
int PrimitiveTessellator::TorusSegments(int level) {
    return Ramp(12, 128, level);
}
int PrimitiveTessellator::TorusSides(int level) {
    return Ramp(6, 48, level);
}
int PrimitiveTessellator::ConeSlices(int level) {
    return Ramp(8, 128, level);
}

SimpleMesh* PrimitiveTessellator::Tessellate(const Primitive3d& primitive, int level) {
    return std::visit([level](const auto& p) { return Tessellate(p, level); }, primitive);
}

SimpleMesh* PrimitiveTessellator::Tessellate(const CircleArc3d& arc, int level) {
    return Tessellate(arc.AsEllipse(), level);
}

SimpleMesh* PrimitiveTessellator::Tessellate(const EllipseArc3d& arc, int level) {
    std::vector<vec3d> points;
    if (arc.IsValid()) {
        // Steps even in the parameter of the circle of the major radius: the ellipse is that
        // circle squeezed, which only brings chords closer, so its tolerance holds.
        const Frame3d f = arc.Frame();
        const double sweep = arc.Sweep();
        const int n = ArcSegments(sweep, level);
        points.reserve(static_cast<std::size_t>(n) + 1);
        for (int i = 0; i <= n; ++i) {
            const double t = arc.startAngle + sweep * i / n;
            points.push_back(f.Point(arc.majorRadius * std::cos(t), arc.minorRadius * std::sin(t), 0.0));
        }
        if (sweep == kTwoPi)
            points.back() = points.front(); // closed exactly
    }
    return LineStrip(points);
}

SimpleMesh* PrimitiveTessellator::Tessellate(const NurbsCurve3d& curve, int level) {
    return LineStrip(curve.Sample(NurbsSamplesPerSpan(curve.degree, level)));
}

SimpleMesh* PrimitiveTessellator::Tessellate(const PolyLine3d& line, int) {
    return LineStrip(line.IsValid() ? line.points : std::vector<vec3d>());
}

SimpleMesh* PrimitiveTessellator::Tessellate(const Sphere3d& sphere, int level) {
    if (!sphere.IsValid())
        return EmptySurface();
    const int slices = SphereSlices(level), stacks = SphereStacks(level);
    SurfaceBuilder s;
    s.vb.Reserve((stacks + 1) * (slices + 1));
    // Rows from the +z pole down, columns round z with the seam column repeated.
    for (int i = 0; i <= stacks; ++i) {
        const double phi = kPi * i / stacks;
        const double sp = (i == 0 || i == stacks) ? 0.0 : std::sin(phi);
        const double cp = i == 0 ? 1.0 : (i == stacks ? -1.0 : std::cos(phi));
        for (int j = 0; j <= slices; ++j) {
            const double theta = kTwoPi * j / slices;
            const vec3d n(sp * std::cos(theta), sp * std::sin(theta), cp);
            s.Add(sphere.center + n * sphere.radius, n);
        }
    }
    const auto at = [slices](int i, int j) { return static_cast<std::uint32_t>(i * (slices + 1) + j); };
    for (int i = 0; i < stacks; ++i)
        for (int j = 0; j < slices; ++j) {
            // South then east is outward; the pole rows keep only their non-degenerate half.
            if (i > 0)
                s.ib.AddTriangle(at(i, j), at(i + 1, j + 1), at(i, j + 1));
            if (i < stacks - 1)
                s.ib.AddTriangle(at(i, j), at(i + 1, j), at(i + 1, j + 1));
        }
    return s.Finish();
}

SimpleMesh* PrimitiveTessellator::Tessellate(const Torus3d& torus, int level) {
    if (!torus.IsValid())
        return EmptySurface();
    const Frame3d f = torus.Frame();
    const int segments = TorusSegments(level), sides = TorusSides(level);
    SurfaceBuilder s;
    s.vb.Reserve((segments + 1) * (sides + 1));
    for (int i = 0; i <= segments; ++i) {
        const double u = kTwoPi * i / segments;
        const double cu = std::cos(u), su = std::sin(u);
        for (int j = 0; j <= sides; ++j) {
            const double v = kTwoPi * j / sides;
            const double cv = std::cos(v), sv = std::sin(v);
            const double ring = torus.majorRadius + torus.minorRadius * cv;
            s.Add(f.Point(ring * cu, ring * su, torus.minorRadius * sv), f.Direction(cv * cu, cv * su, sv));
        }
    }
    const auto at = [sides](int i, int j) { return static_cast<std::uint32_t>(i * (sides + 1) + j); };
    for (int i = 0; i < segments; ++i)
        for (int j = 0; j < sides; ++j)
            s.ib.AddQuad(at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)); // round the axis, then up
    return s.Finish();
}

SimpleMesh* PrimitiveTessellator::Tessellate(const Box3d& box, int) {
    if (!box.IsValid())
        return EmptySurface();
    SurfaceBuilder s;
    s.vb.Reserve(24);
    const vec3d center = box.Center();
    for (int k = 0; k < 3; ++k)
        for (int side = 0; side < 2; ++side) {
            const vec3d ea = box.Edge((k + 1) % 3), eb = box.Edge((k + 2) % 3);
            vec3d p[4];
            p[0] = box.corner + (side ? box.Edge(k) : vec3d());
            p[1] = p[0] + ea;
            p[2] = p[0] + ea + eb;
            p[3] = p[0] + eb;
            const vec3d faceCenter = (p[0] + p[2]) * 0.5;
            vec3d n = ea.Cross(eb).Normalized();
            if (n.Dot(faceCenter - center) < 0.0)
                n = -n;
            if ((p[1] - p[0]).Cross(p[2] - p[0]).Dot(n) < 0.0)
                std::swap(p[1], p[3]); // wind counter-clockwise seen from outside
            const std::uint32_t first = s.Add(p[0], n);
            for (int c = 1; c < 4; ++c)
                s.Add(p[c], n);
            s.ib.AddQuad(first, first + 1, first + 2, first + 3);
        }
    return s.Finish();
}

SimpleMesh* PrimitiveTessellator::Tessellate(const Cone3d& cone, int level) {
    if (!cone.IsValid())
        return EmptySurface();
    const Frame3d f = cone.Frame();
    const double h = std::fabs(cone.height), rb = cone.baseRadius, rt = cone.topRadius;
    const int slices = ConeSlices(level);
    SurfaceBuilder s;
    const auto radial = [&](double theta) { return f.Direction(std::cos(theta), std::sin(theta), 0.0); };
    // Outward side normal: the radial direction tilted by the slope (rb - rt) / h.
    const auto sideNormal = [&](double theta) { return radial(theta) * h + f.W() * (rb - rt); };
    const vec3d top = f.Origin() + f.W() * h;

    // Side: a bottom and a top ring per column; a ring of radius 0 becomes one apex vertex per
    // slice, its normal taken mid-slice so shading stays symmetric.
    std::vector<std::uint32_t> bottom, upper;
    for (int j = 0; j <= slices; ++j) {
        const double theta = kTwoPi * j / slices, mid = kTwoPi * (j + 0.5) / slices;
        if (rb > 0.0 || j < slices)
            bottom.push_back(s.Add(f.Origin() + radial(theta) * rb, sideNormal(rb > 0.0 ? theta : mid)));
        if (rt > 0.0 || j < slices)
            upper.push_back(s.Add(top + radial(theta) * rt, sideNormal(rt > 0.0 ? theta : mid)));
    }
    for (int j = 0; j < slices; ++j) {
        const std::uint32_t a = bottom[j], d = upper[j];
        if (rt == 0.0)
            s.ib.AddTriangle(a, bottom[j + 1], d);
        else if (rb == 0.0)
            s.ib.AddTriangle(a, upper[j + 1], d);
        else
            s.ib.AddQuad(a, bottom[j + 1], upper[j + 1], d);
    }

    if (cone.capped) {
        const auto cap = [&](const vec3d& center, double r, const vec3d& normal, bool facingAxis) {
            const std::uint32_t c = s.Add(center, normal);
            const std::uint32_t first = c + 1;
            for (int j = 0; j <= slices; ++j)
                s.Add(center + radial(kTwoPi * j / slices) * r, normal);
            for (int j = 0; j < slices; ++j) {
                if (facingAxis)
                    s.ib.AddTriangle(c, first + j, first + j + 1);
                else
                    s.ib.AddTriangle(c, first + j + 1, first + j);
            }
        };
        if (rb > 0.0)
            cap(f.Origin(), rb, -f.W(), false);
        if (rt > 0.0)
            cap(top, rt, f.W(), true);
    }
    return s.Finish();
}

} // namespace Lumo::Graphics
