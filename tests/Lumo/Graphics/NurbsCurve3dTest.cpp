#include "PrimitiveTestSupport.h"

#include <Lumo/Graphics/PrimitiveTessellator.h>
#include <Lumo/Objects/AutoPtr.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace Lumo::Graphics;
using namespace PrimitiveTest;
using Lumo::Devices::SimpleMesh;
using Lumo::Objects::AutoPtr;
using Lumo::Objects::SBox3;

namespace {
const double kHalfRoot2 = std::sqrt(0.5);

NurbsCurve3d QuarterCircle() {
    return {2, {{1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {1, kHalfRoot2, 1}, {0, 0, 0, 1, 1, 1}};
}

// The classic nine-point rational circle: four quadratic arcs joined at double knots.
NurbsCurve3d FullCircle(double r) {
    const double w = kHalfRoot2;
    return {2,
            {{r, 0, 0}, {r, r, 0}, {0, r, 0}, {-r, r, 0}, {-r, 0, 0}, {-r, -r, 0}, {0, -r, 0}, {r, -r, 0}, {r, 0, 0}},
            {1, w, 1, w, 1, w, 1, w, 1},
            {0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 4}};
}

AutoPtr<SimpleMesh> Mesh(const NurbsCurve3d& c, int level) {
    return PrimitiveTessellator::Tessellate(c, level);
}
} // namespace

TEST(NurbsCurve3dTest, MalformedCurvesAreInvalidAndTessellateToNothing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<vec3d> four{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    const NurbsCurve3d good{2, four, {}, {0, 0, 0, 0.5, 1, 1, 1}};
    ASSERT_TRUE(good.IsValid());
    const NurbsCurve3d bad[] = {
        {2, four, {}, {0, 0, 0, 0.5, 1, 1}},       // one knot short
        {2, four, {}, {0, 0, 0, 0.5, 1, 1, 1, 1}}, // one knot too many
        {2, four, {}, {0, 0, 0, 1.0, 0.5, 1, 1}},  // knots go back
        {2, four, {}, {0, 0, 0, 0.5, 1, 1, 0.9}},  // the last knot goes back
        {2, four, {}, {0, 0, 0, nan, 1, 1, 1}},
        {2, four, {}, {1, 1, 1, 1, 1, 1, 1}},       // no domain
        {0, four, {}, {0, 1, 2, 3}},                // degree 0
        {4, four, {}, {0, 0, 0, 0, 0, 1, 1, 1, 1}}, // fewer controls than degree + 1
        {2, four, {1, 1, 1}, good.knots},           // a weight missing
        {2, four, {1, 0, 1, 1}, good.knots},        // a zero weight
        {2, four, {1, -1, 1, 1}, good.knots},
        {2, {{0, 0, 0}, {nan, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {}, good.knots},
        {},
    };
    for (const NurbsCurve3d& c : bad) {
        SCOPED_TRACE(c.knots.size());
        EXPECT_FALSE(c.IsValid());
        EXPECT_TRUE(c.Sample(8).empty());
        EXPECT_TRUE(c.Box().IsEmpty());
        EXPECT_EQ(c.PointAt(0.5), vec3d());
        auto m = Mesh(c, 15);
        EXPECT_EQ(m->VertexCount(), 0);
        EXPECT_EQ(m->PrimitiveType(), Lumo::Devices::ePrimLineStrip);
    }
}

TEST(NurbsCurve3dTest, DegreeOneIsItsControlPolygon) {
    const std::vector<vec3d> pts{{0, 0, 0}, {2, 1, 0}, {3, 3, 1}, {1, 4, 2}, {-1, 2, 0}};
    // Uneven interior knots and uneven weights: still the polygon, vertex for vertex.
    const NurbsCurve3d curve{1, pts, {1, 3, 0.5, 2, 1}, {0, 0, 0.1, 0.5, 0.6, 1, 1}};
    ASSERT_TRUE(curve.IsValid());
    for (int level : {0, 15}) {
        auto m = Mesh(curve, level);
        ASSERT_EQ(m->VertexCount(), static_cast<int>(pts.size()));
        for (int i = 0; i < m->VertexCount(); ++i)
            EXPECT_EQ(m->Position(i), (Lumo::Objects::vec3<float>(float(pts[i].x), float(pts[i].y), float(pts[i].z))));
    }
    // Between knots the point stays on the segment.
    const vec3d p = curve.PointAt(0.3);
    const vec3d along = (p - pts[1]).Cross(pts[2] - pts[1]);
    EXPECT_NEAR(along.Length(), 0.0, 1e-12);
    EXPECT_EQ(curve.Box(), SBox3({-1, 0, 0}, {3, 4, 2}));
}

TEST(NurbsCurve3dTest, RationalQuadraticQuarterCircleLiesOnTheCircle) {
    const NurbsCurve3d arc = QuarterCircle();
    ASSERT_TRUE(arc.IsValid());
    EXPECT_TRUE(arc.IsRational());
    for (int i = 0; i <= 100; ++i)
        EXPECT_NEAR(arc.PointAt(i / 100.0).Length(), 1.0, 1e-14) << i;
    EXPECT_EQ(arc.PointAt(0.0), vec3d(1, 0, 0));
    EXPECT_EQ(arc.PointAt(1.0), vec3d(0, 1, 0));
    const vec3d mid = arc.PointAt(0.5);
    EXPECT_NEAR(mid.x, kHalfRoot2, 1e-15); // symmetric weights: the middle is at 45 degrees
    EXPECT_NEAR(mid.y, kHalfRoot2, 1e-15);

    auto m = Mesh(arc, 15);
    EXPECT_EQ(m->VertexCount(), PrimitiveTessellator::NurbsSamplesPerSpan(2, 15) + 1);
    for (int i = 0; i < m->VertexCount(); ++i)
        EXPECT_NEAR(Pos(*m, i).Length(), 1.0, FloatTol(1)) << i;
    ExpectBoxNear(arc.Box(), SBox3({0, 0, 0}, {1, 1, 0}), 1e-15);
}

TEST(NurbsCurve3dTest, MultiSpanCircleWithDoubleKnotsStaysOnTheCircle) {
    const NurbsCurve3d circle = FullCircle(3.0);
    ASSERT_TRUE(circle.IsValid());
    for (int i = 0; i <= 400; ++i)
        EXPECT_NEAR(circle.PointAt(4.0 * i / 400).Length(), 3.0, 1e-13) << i;
    // Every knot value is a joint: the curve passes through the matching control point.
    EXPECT_NEAR((circle.PointAt(2.0) - vec3d(-3, 0, 0)).Length(), 0.0, 1e-15);
    EXPECT_NEAR((circle.PointAt(4.0) - vec3d(3, 0, 0)).Length(), 0.0, 1e-15);
    // Four non-empty spans are sampled; the empty ones between double knots are skipped.
    const int perSpan = PrimitiveTessellator::NurbsSamplesPerSpan(2, 0);
    EXPECT_EQ(circle.Sample(perSpan).size(), static_cast<std::size_t>(4 * perSpan + 1));
    ExpectBoxNear(circle.Box(), SBox3({-3, -3, 0}, {3, 3, 0}), 1e-12);
    // Outside the domain the ends are held.
    EXPECT_NEAR((circle.PointAt(-1.0) - vec3d(3, 0, 0)).Length(), 0.0, 1e-15);
    EXPECT_NEAR((circle.PointAt(9.0) - vec3d(3, 0, 0)).Length(), 0.0, 1e-15);
}

TEST(NurbsCurve3dTest, PolynomialCurvesMatchTheirClosedForms) {
    // A cubic Bezier against Bernstein's formula.
    const std::vector<vec3d> p{{0, 0, 0}, {1, 3, 0}, {3, 3, 1}, {4, 0, -1}};
    const NurbsCurve3d bezier{3, p, {}, {0, 0, 0, 0, 1, 1, 1, 1}};
    EXPECT_FALSE(bezier.IsRational());
    for (double t : {0.0, 0.3, 0.77, 1.0}) {
        const double s = 1 - t;
        const vec3d expect = p[0] * (s * s * s) + p[1] * (3 * s * s * t) + p[2] * (3 * s * t * t) + p[3] * (t * t * t);
        EXPECT_NEAR((bezier.PointAt(t) - expect).Length(), 0.0, 1e-14) << t;
    }
    // Equal weights other than 1 change nothing.
    NurbsCurve3d scaled = bezier;
    scaled.weights = {2.5, 2.5, 2.5, 2.5};
    EXPECT_FALSE(scaled.IsRational());
    EXPECT_NEAR((scaled.PointAt(0.4) - bezier.PointAt(0.4)).Length(), 0.0, 1e-14);

    // An unclamped uniform cubic: defined on [3, 4], starting at (P0 + 4 P1 + P2) / 6.
    const NurbsCurve3d uniform{3, p, {}, {0, 1, 2, 3, 4, 5, 6, 7}};
    ASSERT_TRUE(uniform.IsValid());
    EXPECT_EQ(uniform.Domain(), std::make_pair(3.0, 4.0));
    EXPECT_NEAR((uniform.PointAt(3.0) - (p[0] + p[1] * 4.0 + p[2]) / 6.0).Length(), 0.0, 1e-14);
    EXPECT_NEAR((uniform.PointAt(4.0) - (p[1] + p[2] * 4.0 + p[3]) / 6.0).Length(), 0.0, 1e-14);
}

TEST(NurbsCurve3dTest, ClampedUniformKnotsFitTheCurve) {
    EXPECT_EQ(NurbsCurve3d::ClampedUniformKnots(2, 5), (std::vector<double>{0, 0, 0, 1.0 / 3, 2.0 / 3, 1, 1, 1}));
    EXPECT_EQ(NurbsCurve3d::ClampedUniformKnots(3, 4), (std::vector<double>{0, 0, 0, 0, 1, 1, 1, 1}));
    EXPECT_TRUE(NurbsCurve3d::ClampedUniformKnots(3, 3).empty());
    const NurbsCurve3d c{3,
                         {{0, 0, 0}, {1, 1, 0}, {2, 0, 0}, {3, 1, 0}, {4, 0, 0}, {5, 1, 0}},
                         {},
                         NurbsCurve3d::ClampedUniformKnots(3, 6)};
    ASSERT_TRUE(c.IsValid());
    auto m = Mesh(c, 15);
    EXPECT_EQ(Pos(*m, 0), vec3d(0, 0, 0));
    EXPECT_EQ(Pos(*m, m->VertexCount() - 1), vec3d(5, 1, 0)); // a clamped curve ends on its last control
}
