// Pick hierarchies over meshes: nearest hits agree with trying every primitive, tolerances
// widen with depth, screen rectangles classify meshes, and a mesh keeps its hierarchy until
// it changes.
#include <Lumo/Devices/IndexBufferBuilder.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Devices/VertexBufferBuilder.h>
#include <Lumo/Devices/VertexFormat.h>
#include <Lumo/Graphics/MeshBVH.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

using Lumo::Devices::IndexBufferBuilder;
using Lumo::Devices::SimpleMesh;
using Lumo::Devices::VertexBufferBuilder;
using Lumo::Graphics::MeshBVH;
using Lumo::Objects::AutoPtr;
using vec3d = MeshBVH::vec3d;
using vec3f = Lumo::Objects::vec3<float>;
using mat4d = Lumo::Objects::mat4<double>;

/// A torus of about 2 * major * minor triangles, wound outward.
AutoPtr<SimpleMesh> Torus(int major, int minor, float R = 1.f, float r = 0.3f) {
    VertexBufferBuilder vb(Lumo::Devices::eVertexPosition);
    const float pi = 3.14159265f;
    for (int i = 0; i <= major; ++i)
        for (int j = 0; j <= minor; ++j) {
            const float u = 2 * pi * float(i) / float(major), v = 2 * pi * float(j) / float(minor);
            const float d = R + r * std::cos(v);
            vb.AddVertex({d * std::cos(u), r * std::sin(v), d * std::sin(u)});
        }
    IndexBufferBuilder ib;
    for (int i = 0; i < major; ++i)
        for (int j = 0; j < minor; ++j) {
            const std::uint32_t a = std::uint32_t(i * (minor + 1) + j), b = a + std::uint32_t(minor + 1);
            ib.AddTriangle(a, a + 1, b);
            ib.AddTriangle(a + 1, b + 1, b);
        }
    return AutoPtr<SimpleMesh>(SimpleMesh::Make(vb, ib));
}

/// The nearest triangle by trying them all.
bool BruteForce(const SimpleMesh& m, const MeshBVH::Ray& ray, bool cullBack, double& best) {
    bool found = false;
    for (int i = 0; i + 2 < m.IndexCount(); i += 3) {
        const vec3f a = m.Position(int(m.IndexData()[i])), b = m.Position(int(m.IndexData()[i + 1])),
                    c = m.Position(int(m.IndexData()[i + 2]));
        const vec3d e1(b.x - a.x, b.y - a.y, b.z - a.z), e2(c.x - a.x, c.y - a.y, c.z - a.z);
        const vec3d p = ray.direction.Cross(e2);
        const double det = e1.Dot(p);
        if (det == 0 || (cullBack && det < 0))
            continue;
        const vec3d t0 = ray.origin - vec3d(a.x, a.y, a.z);
        const double u = t0.Dot(p) / det;
        const vec3d q = t0.Cross(e1);
        const double v = ray.direction.Dot(q) / det, t = e2.Dot(q) / det;
        if (u < 0 || v < 0 || u + v > 1 || t < 0)
            continue;
        if (!found || t < best)
            best = t;
        found = true;
    }
    return found;
}

TEST(MeshBVH, NearestFacetAgreesWithTryingEveryTriangle) {
    AutoPtr<SimpleMesh> torus = Torus(60, 24);
    AutoPtr<MeshBVH> bvh = MeshBVH::Build(*torus);
    ASSERT_TRUE(bvh);
    EXPECT_EQ(bvh->Kind(), MeshBVH::eFacets);
    EXPECT_EQ(bvh->PrimitiveCount(), 60u * 24u * 2u);
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> any(-1.5, 1.5);
    int hits = 0;
    for (int i = 0; i < 600; ++i) {
        MeshBVH::Ray ray;
        ray.origin = {any(rng) * 2, any(rng) * 2, 4};
        ray.direction = vec3d(any(rng) * 0.3, any(rng) * 0.3, -1).Normalized();
        if (i % 3 == 0) { // some rays from the side and from inside the ring
            ray.origin = {0, any(rng) * 0.2, 0};
            ray.direction = vec3d(any(rng), 0.01, any(rng)).Normalized();
        }
        for (bool cull : {false, true}) {
            double expected = 0;
            const bool want = BruteForce(*torus, ray, cull, expected);
            MeshBVH::Hit hit;
            ASSERT_EQ(bvh->Nearest(ray, 1e9, cull, hit), want) << i;
            if (want) {
                ++hits;
                EXPECT_NEAR(hit.t, expected, 1e-9) << i;
                EXPECT_NEAR((hit.point - (ray.origin + ray.direction * hit.t)).Length(), 0, 1e-9);
                if (cull) {
                    EXPECT_LT(hit.normal.Dot(ray.direction), 0) << "a culled pick only meets front faces";
                }
            }
        }
    }
    EXPECT_GT(hits, 300) << "the rays should mostly meet the torus";
    // A limit in front of the first surface finds nothing.
    MeshBVH::Ray down{{1, 2, 0}, {0, -1, 0}};
    MeshBVH::Hit hit;
    ASSERT_TRUE(bvh->Nearest(down, 10, false, hit));
    EXPECT_NEAR(hit.point.y, 0.3, 1e-3);
    EXPECT_FALSE(bvh->Nearest(down, 1.5, false, hit));
}

TEST(MeshBVH, SegmentsAndPointsWithinATolerance) {
    VertexBufferBuilder vb(Lumo::Devices::eVertexPosition);
    vb.AddVertex({-1, 0, 0});
    vb.AddVertex({1, 0, 0});
    vb.AddVertex({-1, 0, -5});
    vb.AddVertex({1, 0, -5});
    IndexBufferBuilder ib;
    ib.AddLine(0, 1);
    ib.AddLine(2, 3);
    AutoPtr<SimpleMesh> lines(SimpleMesh::Make(vb, ib, Lumo::Devices::ePrimLineList));
    AutoPtr<MeshBVH> bvh = MeshBVH::Build(*lines);
    ASSERT_TRUE(bvh);
    EXPECT_EQ(bvh->Kind(), MeshBVH::eSegments);
    // A ray down the z axis passing 0.09 above both segments.
    MeshBVH::Ray ray{{0.5, 0.09, 10}, {0, 0, -1}, 0.1, 0};
    MeshBVH::Hit hit;
    ASSERT_TRUE(bvh->Nearest(ray, 100, false, hit));
    EXPECT_EQ(hit.primitive, 0) << "the nearer segment first";
    EXPECT_NEAR(hit.t, 10, 1e-9);
    EXPECT_NEAR(hit.distance, 0.09, 1e-9);
    EXPECT_NEAR(hit.u, 0.75, 1e-9);
    EXPECT_NEAR(hit.point.x, 0.5, 1e-9);
    ray.origin.y = 0.11; // beyond the tolerance
    EXPECT_FALSE(bvh->Nearest(ray, 100, false, hit));
    // A perspective cone widens with depth: 0.11 away is inside it only for the far segment.
    ray.radius = 0.05;
    ray.slope = 0.006; // 0.11 at t = 10, 0.14 at t = 15
    ASSERT_TRUE(bvh->Nearest(ray, 100, false, hit));
    EXPECT_EQ(hit.primitive, 0);
    ray.slope = 0.005; // 0.10 at t = 10: the near one is missed, the far one (0.125 at 15) taken
    ASSERT_TRUE(bvh->Nearest(ray, 100, false, hit));
    EXPECT_EQ(hit.primitive, 1);
    EXPECT_NEAR(hit.t, 15, 1e-9);
    // Past the end of a segment the distance runs to its end point.
    MeshBVH::Ray beyond{{1.05, 0, 10}, {0, 0, -1}, 0.1, 0};
    ASSERT_TRUE(bvh->Nearest(beyond, 100, false, hit));
    EXPECT_NEAR(hit.u, 1, 1e-12);
    EXPECT_NEAR(hit.distance, 0.05, 1e-9);

    AutoPtr<SimpleMesh> points(SimpleMesh::Make(vb, Lumo::Devices::ePrimPointList));
    AutoPtr<MeshBVH> pts = MeshBVH::Build(*points);
    ASSERT_TRUE(pts);
    EXPECT_EQ(pts->Kind(), MeshBVH::ePoints);
    MeshBVH::Ray atCorner{{1.02, 0.02, 10}, {0, 0, -1}, 0.05, 0};
    ASSERT_TRUE(pts->Nearest(atCorner, 100, false, hit));
    EXPECT_EQ(hit.primitive, 1);
    EXPECT_NEAR(hit.point.x, 1, 1e-9);
    atCorner.radius = 0.02;
    EXPECT_FALSE(pts->Nearest(atCorner, 100, false, hit));
}

TEST(MeshBVH, ScreenRectanglesClassifyTheMesh) {
    AutoPtr<SimpleMesh> torus = Torus(40, 16); // spans -1.3..1.3 in x and z
    AutoPtr<MeshBVH> bvh = MeshBVH::Build(*torus);
    // Looking down -y in parallel: device x = model x / 2, device y = -model z / 2.
    mat4d top;
    top.m[0][0] = 0.5;
    top.m[2][1] = -0.5;
    top.m[1][2] = 0.1;
    for (bool stop : {false, true}) {
        EXPECT_EQ(bvh->Contain(top, -1, -1, 1, 1, stop), stop ? MeshBVH::eCrossing : MeshBVH::eInside);
        EXPECT_EQ(bvh->Contain(top, 0.9, 0.9, 1, 1, stop), MeshBVH::eOutside) << "beyond the ring";
        EXPECT_EQ(bvh->Contain(top, -0.1, -0.1, 0.1, 0.1, stop), MeshBVH::eOutside) << "the hole";
        EXPECT_EQ(bvh->Contain(top, 0.5, -0.05, 0.8, 0.05, stop), MeshBVH::eCrossing) << "over the ring";
        // Corners may come in either order.
        EXPECT_EQ(bvh->Contain(top, 0.8, 0.05, 0.5, -0.05, stop), MeshBVH::eCrossing);
    }
    // A rectangle crossing one thin triangle between its corners (no corner inside it).
    VertexBufferBuilder vb(Lumo::Devices::eVertexPosition);
    vb.AddVertex({-1, -0.01f, 0});
    vb.AddVertex({1, -0.01f, 0});
    vb.AddVertex({1, 0.01f, 0});
    IndexBufferBuilder ib;
    ib.AddTriangle(0, 1, 2);
    AutoPtr<SimpleMesh> sliver(SimpleMesh::Make(vb, ib));
    AutoPtr<MeshBVH> thin = MeshBVH::Build(*sliver);
    const mat4d flat; // device coordinates are the model's x and y
    EXPECT_EQ(thin->Contain(flat, -0.1, -0.5, 0.1, 0.5, false), MeshBVH::eCrossing);
    EXPECT_EQ(thin->Contain(flat, -0.5, 0.2, 0.5, 0.5, false), MeshBVH::eOutside);
    // In perspective, a triangle reaching behind the eye is clipped there, not flipped.
    mat4d persp;
    persp.m[2][3] = -1; // w = -z: the eye at the origin looks down -z
    persp.m[3][3] = 0;
    VertexBufferBuilder deep(Lumo::Devices::eVertexPosition);
    deep.AddVertex({0.2f, -0.2f, -1});
    deep.AddVertex({0.2f, 0.2f, -1});
    deep.AddVertex({0.2f, 0, 1}); // behind the eye
    IndexBufferBuilder one;
    one.AddTriangle(0, 1, 2);
    AutoPtr<SimpleMesh> across(SimpleMesh::Make(deep, one));
    AutoPtr<MeshBVH> a = MeshBVH::Build(*across);
    EXPECT_EQ(a->Contain(persp, 0.1, -0.1, 0.3, 0.1, false), MeshBVH::eCrossing);
    EXPECT_EQ(a->Contain(persp, -0.5, -0.5, -0.1, 0.5, false), MeshBVH::eOutside) << "nothing to the left";
}

TEST(MeshBVH, AMeshKeepsItsHierarchyUntilItChanges) {
    AutoPtr<SimpleMesh> torus = Torus(20, 8);
    const std::uint64_t before = MeshBVH::BuildCount();
    AutoPtr<MeshBVH> first = MeshBVH::For(*torus);
    AutoPtr<MeshBVH> again = MeshBVH::For(*torus);
    EXPECT_EQ(first.get(), again.get()) << "every instance shares one";
    EXPECT_EQ(MeshBVH::BuildCount(), before + 1);
    // Moving the vertices makes a new one that sees the new place.
    std::vector<float> v(torus->VertexData(), torus->VertexData() + torus->VertexCount() * 3);
    for (std::size_t i = 1; i < v.size(); i += 3)
        v[i] += 5.f;
    torus->SetVertices(v);
    AutoPtr<MeshBVH> moved = MeshBVH::For(*torus);
    EXPECT_NE(moved.get(), first.get());
    MeshBVH::Hit hit;
    ASSERT_TRUE(moved->Nearest({{1, 10, 0}, {0, -1, 0}}, 100, false, hit));
    EXPECT_NEAR(hit.point.y, 5.3, 1e-3);
    // Out-of-range indices are left out; a mesh of nothing has no hierarchy.
    VertexBufferBuilder vb(Lumo::Devices::eVertexPosition);
    vb.AddVertex({0, 0, 0});
    vb.AddVertex({1, 0, 0});
    vb.AddVertex({0, 1, 0});
    IndexBufferBuilder ib;
    ib.AddTriangle(0, 1, 2);
    ib.AddTriangle(0, 1, 9);
    AutoPtr<SimpleMesh> bad(SimpleMesh::Make(vb, ib));
    EXPECT_EQ(MeshBVH::Build(*bad)->PrimitiveCount(), 1u);
    AutoPtr<SimpleMesh> empty(SimpleMesh::Make(nullptr));
    EXPECT_FALSE(MeshBVH::For(*empty));
}

} // namespace
