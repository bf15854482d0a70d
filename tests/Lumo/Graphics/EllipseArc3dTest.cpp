#include "PrimitiveTestSupport.h"

#include <Lumo/Graphics/PrimitiveTessellator.h>
#include <Lumo/Objects/AutoPtr.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace Lumo::Graphics;
using namespace PrimitiveTest;
using Lumo::Devices::SimpleMesh;
using Lumo::Objects::AutoPtr;
using Lumo::Objects::SBox3;

namespace {
constexpr double kPi = std::numbers::pi;

void ExpectNear(const vec3d& a, const vec3d& b, double tol) {
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}

SBox3 DenseBox(const EllipseArc3d& arc, int samples) {
    SBox3 box;
    for (int i = 0; i <= samples; ++i)
        box.Extend(arc.PointAt(arc.startAngle + arc.Sweep() * i / samples));
    return box;
}
} // namespace

TEST(EllipseArc3dTest, CircleArcStripRunsFromTheStartPointToTheEndPointOnTheCircle) {
    const CircleArc3d arc{{10, -3, 2}, {1, 2, 2}, {0, 1, -1}, 4.0, 0.3, 2.0};
    ASSERT_TRUE(arc.IsValid());
    const vec3d n = arc.normal.Normalized();
    for (int level : {0, 15}) {
        AutoPtr<SimpleMesh> m = PrimitiveTessellator::Tessellate(arc, level);
        ASSERT_EQ(m->PrimitiveType(), Lumo::Devices::ePrimLineStrip);
        ASSERT_GE(m->VertexCount(), 2);
        const double tol = FloatTol(15);
        ExpectNear(Pos(*m, 0), arc.StartPoint(), tol);
        ExpectNear(Pos(*m, m->VertexCount() - 1), arc.EndPoint(), tol);
        for (int i = 0; i < m->VertexCount(); ++i) {
            const vec3d d = Pos(*m, i) - arc.center;
            EXPECT_NEAR(d.Length(), 4.0, tol);
            EXPECT_NEAR(d.Dot(n), 0.0, tol);
        }
    }
    // The start point lies along the reference direction made perpendicular to the normal.
    const CircleArc3d flat{{0, 0, 0}, {0, 0, 1}, {1, 0, 5}, 2.0, 0.0, 1.0};
    ExpectNear(flat.StartPoint(), {2, 0, 0}, 1e-15);
    ExpectNear(flat.PointAt(kPi / 2), {0, 2, 0}, 1e-15); // counter-clockwise about the normal
}

TEST(EllipseArc3dTest, AnglesAreReadCounterClockwiseWithinOneTurn) {
    EXPECT_DOUBLE_EQ(EllipseArc3d::NormalizedSweep(0.5, 2.0), 1.5);
    EXPECT_DOUBLE_EQ(EllipseArc3d::NormalizedSweep(2.0, 0.5), 2 * kPi - 1.5); // wraps round
    EXPECT_DOUBLE_EQ(EllipseArc3d::NormalizedSweep(0.0, 7.0), 2 * kPi);       // capped at a turn
    EXPECT_DOUBLE_EQ(EllipseArc3d::NormalizedSweep(3.0, -4.0), 2 * kPi);
    EXPECT_EQ(EllipseArc3d::NormalizedSweep(1.0, 1.0), 0.0);
    EXPECT_EQ(EllipseArc3d::NormalizedSweep(0.0, std::nan("")), 0.0);

    // A wrapped arc ends at its end angle.
    const CircleArc3d wrapped{{0, 0, 0}, {0, 0, 1}, {1, 0, 0}, 1.0, 3 * kPi / 2, kPi / 2};
    ExpectNear(wrapped.EndPoint(), wrapped.PointAt(kPi / 2), 1e-12);
    ExpectBoxNear(wrapped.Box(), SBox3({0, -1, 0}, {1, 1, 0}), 1e-15); // passes through angle 0, not pi
}

TEST(EllipseArc3dTest, FullCircleClosesExactly) {
    AutoPtr<SimpleMesh> m = PrimitiveTessellator::Tessellate(CircleArc3d{{1, 1, 1}, {0, 1, 0}, {1, 0, 0}, 3.0}, 6);
    EXPECT_EQ(Pos(*m, 0), Pos(*m, m->VertexCount() - 1));
    EXPECT_EQ(m->VertexCount(), PrimitiveTessellator::ArcSegments(2 * kPi, 6) + 1);
}

TEST(EllipseArc3dTest, EllipseVerticesSatisfyTheEllipseEquation) {
    const EllipseArc3d arc{{0, 5, 0}, {0, 0, -1}, {1, 1, 0}, 6.0, 2.0, -0.5, 2.5};
    ASSERT_TRUE(arc.IsValid());
    const Frame3d f = arc.Frame();
    AutoPtr<SimpleMesh> m = PrimitiveTessellator::Tessellate(arc, 10);
    for (int i = 0; i < m->VertexCount(); ++i) {
        const vec3d d = Pos(*m, i) - arc.center;
        const double x = d.Dot(f.U()) / 6.0, y = d.Dot(f.V()) / 2.0;
        EXPECT_NEAR(x * x + y * y, 1.0, 1e-5);
        EXPECT_NEAR(d.Dot(f.W()), 0.0, 1e-6);
    }
    ExpectNear(Pos(*m, 0), arc.StartPoint(), FloatTol(10));
    ExpectNear(Pos(*m, m->VertexCount() - 1), arc.EndPoint(), FloatTol(10));
    // The chord tolerance is met: midway (in the parameter) between two vertices the ellipse
    // is no farther from the chord than the level allows.
    const double tol = PrimitiveTessellator::ChordTolerance(10) * 6.0;
    const int n = m->VertexCount() - 1;
    for (int i = 0; i < n; ++i) {
        const vec3d a = arc.PointAt(arc.startAngle + arc.Sweep() * i / n);
        const vec3d b = arc.PointAt(arc.startAngle + arc.Sweep() * (i + 1) / n);
        const vec3d mid = arc.PointAt(arc.startAngle + arc.Sweep() * (i + 0.5) / n);
        const vec3d ab = (b - a).Normalized();
        const vec3d off = (mid - a) - ab * (mid - a).Dot(ab);
        EXPECT_LE(off.Length(), tol);
    }
}

TEST(EllipseArc3dTest, BoxesAreExact) {
    // A quarter of the unit circle touches its extremes only at its ends.
    ExpectBoxNear(CircleArc3d{{0, 0, 0}, {0, 0, 1}, {1, 0, 0}, 1.0, 0.0, kPi / 2}.Box(), SBox3({0, 0, 0}, {1, 1, 0}),
                  1e-15);
    // Round the top: the highest point lies inside the arc.
    const SBox3 top = CircleArc3d{{0, 0, 0}, {0, 0, 1}, {1, 0, 0}, 2.0, kPi / 4, 3 * kPi / 4}.Box();
    EXPECT_NEAR(top.Max().y, 2.0, 1e-15);
    EXPECT_NEAR(top.Min().y, std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(top.Max().x, std::sqrt(2.0), 1e-12);
    // Tilted ellipse: dense sampling reaches the box and stays inside it.
    const EllipseArc3d arc{{1, 2, 3}, {1, -2, 0.5}, {0, 1, 1}, 5.0, 1.5, 0.2, 5.5};
    const SBox3 box = arc.Box(), dense = DenseBox(arc, 200000);
    for (int k = 0; k < 3; ++k) {
        EXPECT_LE(box.Min()[k], dense.Min()[k] + 1e-12);
        EXPECT_GE(box.Max()[k], dense.Max()[k] - 1e-12);
        EXPECT_NEAR(box.Min()[k], dense.Min()[k], 1e-8);
        EXPECT_NEAR(box.Max()[k], dense.Max()[k], 1e-8);
    }
}

TEST(EllipseArc3dTest, DegenerateArcsAreInvalidButAReferenceAlongTheNormalIsTolerated) {
    EXPECT_FALSE((CircleArc3d{{0, 0, 0}, {0, 0, 1}, {1, 0, 0}, 0.0}.IsValid()));
    EXPECT_FALSE((CircleArc3d{{0, 0, 0}, {0, 0, 0}, {1, 0, 0}, 1.0}.IsValid()));
    EXPECT_FALSE((CircleArc3d{{0, 0, 0}, {0, 0, 1}, {1, 0, 0}, 1.0, 2.0, 2.0}.IsValid()));
    EXPECT_FALSE((EllipseArc3d{{0, 0, 0}, {0, 0, 1}, {1, 0, 0}, 1.0, -1.0}.IsValid()));
    AutoPtr<SimpleMesh> none = PrimitiveTessellator::Tessellate(CircleArc3d{{0, 0, 0}, {0, 0, 1}, {1, 0, 0}, -2.0}, 3);
    EXPECT_EQ(none->VertexCount(), 0);
    EXPECT_TRUE((CircleArc3d{{0, 0, 0}, {0, 0, 1}, {1, 0, 0}, -2.0}.Box().IsEmpty()));

    // The reference direction says where angle 0 is; along the normal it says nothing, and a
    // fixed direction in the plane is used instead.
    const CircleArc3d arc{{0, 0, 0}, {0, 0, 3}, {0, 0, -2}, 1.0};
    ASSERT_TRUE(arc.IsValid());
    EXPECT_NEAR(arc.StartPoint().Length(), 1.0, 1e-15);
    EXPECT_NEAR(arc.StartPoint().z, 0.0, 1e-15);
}
