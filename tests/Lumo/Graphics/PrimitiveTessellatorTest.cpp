#include "PrimitiveTestSupport.h"

#include <Lumo/Graphics/PrimitiveTessellator.h>
#include <Lumo/Objects/AutoPtr.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

using namespace Lumo::Graphics;
using namespace PrimitiveTest;
using Lumo::Devices::SimpleMesh;
using Lumo::Objects::AutoPtr;
using Lumo::Objects::SBox3;

namespace {
constexpr double kPi = std::numbers::pi;

AutoPtr<SimpleMesh> Mesh(const Primitive3d& p, int level) {
    return PrimitiveTessellator::Tessellate(p, level);
}
} // namespace

TEST(PrimitiveTessellatorTest, SphereVerticesLieOnTheSphereWithOutwardNormals) {
    LiveObjects live;
    const Sphere3d sphere{{1000.0, -2.0, 5.0}, 2.5};
    for (int level : {0, 7, 15}) {
        SCOPED_TRACE(level);
        auto m = Mesh(sphere, level);
        ASSERT_GT(m->VertexCount(), 0);
        const double tol = FloatTol(1000.0 + 2.5);
        for (int i = 0; i < m->VertexCount(); ++i) {
            const vec3d d = Pos(*m, i) - sphere.center;
            ASSERT_NEAR(d.Length(), sphere.radius, tol) << "vertex " << i;
            ASSERT_GT(Normal(*m, i).Dot(d.Normalized()), 0.99999) << "vertex " << i;
        }
        ExpectConsistentSurface(*m);
        // No triangle may be lost at the poles: the surface is closed, so its area is close
        // to the sphere's (an inscribed mesh falls a little short).
        double area = 0.0;
        for (auto [a, b, c] : Triangles(*m))
            area += 0.5 * (Pos(*m, b) - Pos(*m, a)).Cross(Pos(*m, c) - Pos(*m, a)).Length();
        const double exact = 4.0 * kPi * sphere.radius * sphere.radius;
        EXPECT_LT(area, exact);
        EXPECT_GT(area, exact * (level == 0 ? 0.75 : 0.99));
    }
}

TEST(PrimitiveTessellatorTest, SphereDensityRunsFromEightBySixToOneTwentyEightBySixtyFour) {
    EXPECT_EQ(PrimitiveTessellator::SphereSlices(0), 8);
    EXPECT_EQ(PrimitiveTessellator::SphereStacks(0), 6);
    EXPECT_EQ(PrimitiveTessellator::SphereSlices(15), 128);
    EXPECT_EQ(PrimitiveTessellator::SphereStacks(15), 64);
    auto coarse = Mesh(Sphere3d{}, 0);
    EXPECT_EQ(coarse->VertexCount(), 9 * 7);
    EXPECT_EQ(coarse->PrimitiveCount(), 8 * (2 * 6 - 2)); // one triangle per slice at each pole
    // Levels outside 0..15 are clamped, not refused.
    EXPECT_EQ(Mesh(Sphere3d{}, -4)->VertexCount(), coarse->VertexCount());
    EXPECT_EQ(Mesh(Sphere3d{}, 99)->VertexCount(), 129 * 65);
}

TEST(PrimitiveTessellatorTest, AxisAlignedBoxHasTwelveOutwardTrianglesAndTheExactBox) {
    const Box3d box = Box3d::FromMinMax({4, 5, 9}, {-1, 2, 3}); // corners in either order
    ASSERT_TRUE(box.IsValid());
    EXPECT_EQ(box.Min(), vec3d(-1, 2, 3));
    EXPECT_EQ(box.Max(), vec3d(4, 5, 9));
    auto m = Mesh(box, 0);
    EXPECT_EQ(m->PrimitiveCount(), 12);
    EXPECT_EQ(m->VertexCount(), 24); // four per face: flat normals
    EXPECT_EQ(m->Box(), SBox3({-1, 2, 3}, {4, 5, 9}));
    ExpectConsistentSurface(*m);
    for (int i = 0; i < m->VertexCount(); ++i) {
        // Each normal is a world axis pointing away from the centre.
        const vec3d n = Normal(*m, i), d = Pos(*m, i) - box.Center();
        EXPECT_NEAR(std::fabs(n.x) + std::fabs(n.y) + std::fabs(n.z), 1.0, 1e-7);
        EXPECT_GT(n.Dot(d), 0.0);
    }
    // The same box whatever the level.
    EXPECT_EQ(Mesh(box, 15)->VertexCount(), 24);
}

TEST(PrimitiveTessellatorTest, OrientedAndMirroredBoxesStayOutward) {
    const double c = std::cos(0.4), s = std::sin(0.4);
    Box3d box{{1, 2, 3}, {c, s, 0}, {-s, c, 0}, {0, 0, 1}, {2, 3, 4}};
    ExpectConsistentSurface(*Mesh(box, 3));
    EXPECT_EQ(Mesh(box, 3)->PrimitiveCount(), 12);
    box.zAxis = {0, 0, -1}; // a left-handed set of edges
    auto m = Mesh(box, 3);
    ExpectConsistentSurface(*m);
    for (int i = 0; i < m->VertexCount(); ++i)
        EXPECT_GT(Normal(*m, i).Dot(Pos(*m, i) - box.Center()), 0.0);
    // The exact box is the box of the eight corners.
    SBox3 corners;
    for (int i = 0; i < 8; ++i)
        corners.Extend(box.Corner(i));
    EXPECT_EQ(box.Box(), corners);
    ExpectBoxNear(m->Box(), corners, FloatTol(10));
    EXPECT_EQ(Box3d::FromCenterSize({1, 1, 1}, {-2, 4, 6}).Box(), SBox3({0, -1, -2}, {2, 3, 4}));
}

TEST(PrimitiveTessellatorTest, ConeWithZeroTopRadiusEndsInAnApexWithoutATopCap) {
    const Cone3d cone{{1, 2, 3}, {0, 0, 2}, 1.5, 0.0, 4.0, true};
    const vec3d apex(1, 2, 7);
    EXPECT_EQ(cone.TopCenter(), apex);
    for (int level : {0, 15}) {
        auto m = Mesh(cone, level);
        ExpectConsistentSurface(*m);
        const int slices = PrimitiveTessellator::ConeSlices(level);
        EXPECT_EQ(m->PrimitiveCount(), 2 * slices); // the side and the base cap
        int apexVertices = 0;
        for (int i = 0; i < m->VertexCount(); ++i) {
            const vec3d p = Pos(*m, i), n = Normal(*m, i);
            if ((p - apex).Length() < 1e-6) {
                ++apexVertices;
                EXPECT_LT(n.z, 0.99) << "no top cap at an apex";
                EXPECT_GT(n.z, 0.0) << "side normals tilt up towards the apex";
            }
        }
        EXPECT_EQ(apexVertices, slices);
        // Every side triangle meets the apex.
        int touching = 0;
        for (auto [a, b, c] : Triangles(*m))
            for (auto v : {a, b, c})
                touching += (Pos(*m, v) - apex).Length() < 1e-6;
        EXPECT_EQ(touching, slices);
    }
}

TEST(PrimitiveTessellatorTest, CylinderSideSitsAtItsRadiusAndCapsFollowTheFlag) {
    Cone3d cyl{{0, 0, 0}, {1, 0, 0}, 2.0, 2.0, 5.0, true};
    auto m = Mesh(cyl, 4);
    ExpectConsistentSurface(*m);
    const int slices = PrimitiveTessellator::ConeSlices(4);
    EXPECT_EQ(m->PrimitiveCount(), 4 * slices);
    for (int i = 0; i < m->VertexCount(); ++i) {
        const vec3d p = Pos(*m, i), n = Normal(*m, i);
        EXPECT_GE(p.x, -1e-7);
        EXPECT_LE(p.x, 5.0 + 1e-6);
        if (std::fabs(n.x) < 0.5) { // side: on the radius, normal radial
            EXPECT_NEAR(std::hypot(p.y, p.z), 2.0, FloatTol(2));
        } else { // caps: inside the disc, normal along the axis away from the body
            EXPECT_TRUE((n.x < 0 && p.x == 0.0) || (n.x > 0 && p.x == 5.0)) << p.x << " " << n.x;
        }
    }
    EXPECT_EQ(m->Box(), SBox3({0, -2, -2}, {5, 2, 2}));
    EXPECT_EQ(cyl.Box(), SBox3({0, -2, -2}, {5, 2, 2}));
    cyl.capped = false;
    EXPECT_EQ(Mesh(cyl, 4)->PrimitiveCount(), 2 * slices);
}

TEST(PrimitiveTessellatorTest, InvertedConeAndNegativeHeightKeepNormalsOutward) {
    // Point at the base, and growing downwards.
    const Cone3d cone{{0, 0, 0}, {0, 0, 1}, 0.0, 1.0, -3.0, true};
    EXPECT_EQ(cone.TopCenter(), vec3d(0, 0, -3));
    auto m = Mesh(cone, 2);
    ExpectConsistentSurface(*m);
    EXPECT_EQ(m->Box(), SBox3({-1, -1, -3}, {1, 1, 0}));
    for (int i = 0; i < m->VertexCount(); ++i) {
        const vec3d p = Pos(*m, i), n = Normal(*m, i);
        if (p.z == -3.0 && n.z < -0.99)
            continue; // the cap at the wide end
        // Side normals point away from the axis and up (the cone opens downwards).
        EXPECT_GT(n.z, 0.0);
        if (std::hypot(p.x, p.y) > 1e-6) {
            EXPECT_GT(n.x * p.x + n.y * p.y, 0.0);
        }
    }
}

TEST(PrimitiveTessellatorTest, TiltedConeBoxIsExact) {
    const Cone3d cone{{1, -1, 2}, {1, 2, 3}, 2.0, 0.5, 3.0, true};
    const SBox3 box = cone.Box();
    // The end circles sampled densely, in doubles: reach the box, never leave it.
    const Frame3d f = cone.Frame();
    SBox3 sampled;
    for (int i = 0; i < 20000; ++i) {
        const double t = 2 * kPi * i / 20000;
        sampled.Extend(f.Point(2.0 * std::cos(t), 2.0 * std::sin(t), 0.0));
        sampled.Extend(f.Point(0.5 * std::cos(t), 0.5 * std::sin(t), 3.0));
    }
    ExpectBoxNear(box, sampled, 1e-6);
    for (int k = 0; k < 3; ++k) {
        EXPECT_LE(box.Min()[k], sampled.Min()[k] + 1e-12);
        EXPECT_GE(box.Max()[k], sampled.Max()[k] - 1e-12);
    }
}

TEST(PrimitiveTessellatorTest, TorusVerticesStayWithinTheTube) {
    const Torus3d torus{{3, -1, 2}, {1, 1, 0}, 4.0, 1.0};
    const Frame3d f = torus.Frame();
    for (int level : {0, 15}) {
        auto m = Mesh(torus, level);
        ExpectConsistentSurface(*m);
        EXPECT_EQ(m->PrimitiveCount(),
                  2 * PrimitiveTessellator::TorusSegments(level) * PrimitiveTessellator::TorusSides(level));
        const double tol = FloatTol(10);
        for (int i = 0; i < m->VertexCount(); ++i) {
            const vec3d d = Pos(*m, i) - torus.center;
            const vec3d inPlane = d - f.W() * d.Dot(f.W());
            const double fromAxis = inPlane.Length();
            ASSERT_GE(fromAxis, 3.0 - tol);
            ASSERT_LE(fromAxis, 5.0 + tol);
            // On the tube: r from the core circle, the normal pointing away from it.
            const vec3d core = inPlane.Normalized() * 4.0;
            ASSERT_NEAR((d - core).Length(), 1.0, tol);
            ASSERT_GT(Normal(*m, i).Dot((d - core).Normalized()), 0.99999);
        }
        // The exact box holds the mesh.
        const SBox3 box = torus.Box();
        for (int k = 0; k < 3; ++k) {
            EXPECT_LE(box.Min()[k], m->Box().Min()[k] + tol);
            EXPECT_GE(box.Max()[k], m->Box().Max()[k] - tol);
        }
    }
    // Axis along z: the box is (R + r) across and r high.
    EXPECT_EQ((Torus3d{{0, 0, 0}, {0, 0, 5}, 4.0, 1.0}.Box()), SBox3({-5, -5, -1}, {5, 5, 1}));
}

TEST(PrimitiveTessellatorTest, TiltedTorusBoxMatchesDenseSampling) {
    const Torus3d torus{{0, 0, 0}, {0.3, -1, 2}, 3.0, 0.5};
    SBox3 sampled;
    for (int i = 0; i < 1500; ++i)
        for (int j = 0; j < 200; ++j)
            sampled.Extend(torus.PointAt(2 * kPi * i / 1500, 2 * kPi * j / 200));
    ExpectBoxNear(torus.Box(), sampled, 2e-4);
    EXPECT_NEAR(torus.NormalAt(0.7, 0.2).Length(), 1.0, 1e-12);
}

TEST(PrimitiveTessellatorTest, InvalidSurfacesGiveEmptyTriangleMeshes) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Primitive3d invalid[] = {
        Sphere3d{{0, 0, 0}, 0.0},
        Sphere3d{{0, 0, 0}, -1.0},
        Sphere3d{{nan, 0, 0}, 1.0},
        Torus3d{{0, 0, 0}, {0, 0, 1}, 2.0, 0.0},
        Torus3d{{0, 0, 0}, {0, 0, 0}, 2.0, 1.0},
        Box3d::FromMinMax({0, 0, 0}, {1, 0, 1}),
        Box3d{{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 0, 1}, {1, 1, 1}}, // two edges along one line
        Cone3d{{0, 0, 0}, {0, 0, 1}, 0.0, 0.0, 1.0, true},
        Cone3d{{0, 0, 0}, {0, 0, 1}, 1.0, 0.5, 0.0, true},
        Cone3d{{0, 0, 0}, {0, 0, 1}, -1.0, 0.5, 1.0, true},
    };
    for (const Primitive3d& p : invalid) {
        SCOPED_TRACE(p.index());
        EXPECT_FALSE(std::visit([](const auto& v) { return v.IsValid(); }, p));
        EXPECT_TRUE(std::visit([](const auto& v) { return v.Box(); }, p).IsEmpty());
        auto m = Mesh(p, 8);
        EXPECT_EQ(m->VertexCount(), 0);
        EXPECT_EQ(m->PrimitiveCount(), 0);
        EXPECT_EQ(m->PrimitiveType(), Lumo::Devices::ePrimTriangleList);
    }
}

TEST(PrimitiveTessellatorTest, DensityGrowsWithTheLevel) {
    NurbsCurve3d cubic{
        3, {{0, 0, 0}, {1, 2, 0}, {2, -1, 0}, {3, 1, 1}, {4, 0, 0}}, {}, NurbsCurve3d::ClampedUniformKnots(3, 5)};
    const Primitive3d curved[] = {CircleArc3d{}, EllipseArc3d{{0, 0, 0}, {0, 0, 1}, {1, 0, 0}, 3, 1, 0, 2},
                                  cubic,         Torus3d{},
                                  Cone3d{},      Sphere3d{}};
    for (const Primitive3d& p : curved) {
        SCOPED_TRACE(p.index());
        int previous = 0;
        for (int level = 0; level <= 15; ++level) {
            const int n = Mesh(p, level)->VertexCount();
            EXPECT_GE(n, previous) << "level " << level;
            previous = n;
        }
        EXPECT_GT(Mesh(p, 15)->VertexCount(), 4 * Mesh(p, 0)->VertexCount());
    }
}

TEST(PrimitiveTessellatorTest, ArcSegmentsKeepChordsWithinTheTolerance) {
    int previous = 0;
    for (int level = 0; level <= 15; ++level) {
        const int n = PrimitiveTessellator::ArcSegments(2 * kPi, level);
        EXPECT_GT(n, previous) << "level " << level; // a full circle gets finer at every level
        previous = n;
        const double sagitta = 1.0 - std::cos(kPi / n);
        EXPECT_LE(sagitta, PrimitiveTessellator::ChordTolerance(level));
        // Not needlessly fine: one segment fewer would break the tolerance.
        if (n > 1) {
            EXPECT_GT(1.0 - std::cos(kPi / (n - 1)), PrimitiveTessellator::ChordTolerance(level));
        }
    }
    EXPECT_NEAR(PrimitiveTessellator::ChordTolerance(0), 0.05, 1e-15);
    EXPECT_NEAR(PrimitiveTessellator::ChordTolerance(15), 1e-4, 1e-15);
    EXPECT_EQ(PrimitiveTessellator::ArcSegments(1e-6, 0), 1);
    EXPECT_EQ(PrimitiveTessellator::ArcSegments(-1.0, 5), 1);
    EXPECT_EQ(PrimitiveTessellator::ArcSegments(100.0, 15), PrimitiveTessellator::ArcSegments(2 * kPi, 15));
}

TEST(PrimitiveTessellatorTest, SameInputGivesTheSameMesh) {
    const Primitive3d inputs[] = {Sphere3d{{1, 2, 3}, 4}, Torus3d{{0, 1, 0}, {1, 1, 1}, 2, 0.5},
                                  Cone3d{{0, 0, 0}, {1, 0, 1}, 1, 0.3, 2, true}, CircleArc3d{}};
    for (const Primitive3d& p : inputs) {
        auto a = Mesh(p, 9), b = Mesh(p, 9);
        ASSERT_EQ(a->VertexCount(), b->VertexCount());
        const int floats = a->VertexCount() * a->Format()->Stride();
        EXPECT_TRUE(std::equal(a->VertexData(), a->VertexData() + floats, b->VertexData()));
        EXPECT_TRUE(std::equal(a->IndexData(), a->IndexData() + a->IndexCount(), b->IndexData(),
                               b->IndexData() + b->IndexCount()));
    }
}
