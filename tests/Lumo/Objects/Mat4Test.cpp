#include <Lumo/Objects/Mat4.h>
#include <Lumo/Objects/Vec.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

using namespace Lumo::Objects;

namespace {
using m4 = mat4<float>;
using v3 = vec3<float>;
constexpr float kHalfPi = std::numbers::pi_v<float> / 2;

void ExpectNear(const v3& a, const v3& b, float tol = 1e-5f) {
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}
template <class T> void ExpectIdentity(const mat4<T>& m, T tol) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(m[i][j], i == j ? T(1) : T(0), tol) << "at " << i << "," << j;
}
} // namespace

TEST(Mat4Test, RotationIsRightHandedForRowVectors) {
    ExpectNear(m4::Rotation({0, 0, 1}, kHalfPi).TransformPoint({1, 0, 0}), {0, 1, 0});
    ExpectNear(m4::Rotation({0, 0, 1}, kHalfPi).TransformPoint({0, 1, 0}), {-1, 0, 0});
    ExpectNear(m4::Rotation({1, 0, 0}, kHalfPi).TransformPoint({0, 1, 0}), {0, 0, 1});
    ExpectNear(m4::Rotation({0, 1, 0}, kHalfPi).TransformPoint({0, 0, 1}), {1, 0, 0});
    // The axis need not be unit length; a point on the axis stays put.
    ExpectNear(m4::Rotation({0, 0, 5}, kHalfPi).TransformPoint({1, 0, 0}), {0, 1, 0});
    ExpectNear(m4::Rotation({1, 1, 1}, 1.234f).TransformPoint({2, 2, 2}), {2, 2, 2});
    // A third of a turn about (1,1,1) cycles the axes.
    ExpectNear(m4::Rotation({1, 1, 1}, 2 * std::numbers::pi_v<float> / 3).TransformPoint({1, 0, 0}), {0, 1, 0});
}

TEST(Mat4Test, ProductAppliesLeftOperandFirst) {
    const m4 s = m4::Scale(2.0f), t = m4::Translation({1, 0, 0});
    ExpectNear((s * t).TransformPoint({1, 0, 0}), {3, 0, 0}); // scale, then move
    ExpectNear((t * s).TransformPoint({1, 0, 0}), {4, 0, 0}); // move, then scale
    EXPECT_EQ((s * t).GetTranslation(), v3(1, 0, 0));
    EXPECT_EQ((t * s).GetTranslation(), v3(2, 0, 0));

    const m4 rz = m4::Rotation({0, 0, 1}, kHalfPi), rx = m4::Rotation({1, 0, 0}, kHalfPi);
    ExpectNear((rz * rx).TransformPoint({1, 0, 0}), {0, 0, 1});
    ExpectNear((rx * rz).TransformPoint({1, 0, 0}), {0, 1, 0});
    ExpectNear((rz * m4::Translation({10, 0, 0})).TransformPoint({1, 0, 0}), {10, 1, 0});
    ExpectNear((m4::Translation({10, 0, 0}) * rz).TransformPoint({1, 0, 0}), {0, 11, 0});

    // The product agrees with transforming step by step.
    const m4 chain = m4::Rotation({1, 2, 3}, 0.7f) * m4::Scale({2, 3, 0.5f}) * m4::Translation({4, -5, 6});
    const v3 p(0.3f, -1.2f, 2.5f);
    ExpectNear(
        chain.TransformPoint(p),
        m4::Translation({4, -5, 6})
            .TransformPoint(m4::Scale({2, 3, 0.5f}).TransformPoint(m4::Rotation({1, 2, 3}, 0.7f).TransformPoint(p))));
}

TEST(Mat4Test, PointsVectorsAndHomogeneousDivide) {
    const m4 m = m4::Rotation({0, 0, 1}, kHalfPi) * m4::Translation({5, 6, 7});
    ExpectNear(m.TransformVector({1, 0, 0}), {0, 1, 0}); // the translation row is ignored
    ExpectNear(m.TransformPoint({1, 0, 0}), {5, 7, 7});
    const vec4<float> dir = m.Transform(vec4<float>(1, 0, 0, 0));
    EXPECT_NEAR(dir.x, 0, 1e-6f);
    EXPECT_NEAR(dir.y, 1, 1e-6f);
    EXPECT_EQ(dir.w, 0);

    // w taken from z (a perspective-like fourth column): points are divided by it.
    m4 persp;
    persp[2][3] = 1;
    persp[3][3] = 0;
    ExpectNear(persp.TransformPoint({2, 4, 4}), {0.5f, 1, 1});
    ExpectNear(persp.TransformPoint({2, 4, 0}), {2, 4, 0}); // w == 0: no divide
    const vec4<float> h = persp.Transform(vec4<float>(2, 4, 4, 1));
    EXPECT_EQ(h.w, 4);
}

TEST(Mat4Test, InverseUndoesTheMatrix) {
    m4 projective = m4::Rotation({1, 2, 3}, 0.7f) * m4::Scale({2, 3, 0.5f}) * m4::Translation({4, -5, 6});
    projective[0][3] = 0.1f;
    projective[1][3] = -0.2f;
    projective[2][3] = 0.3f;
    for (const m4& m :
         {m4(), m4::Translation({1, 2, 3}), m4::Rotation({0, 1, 1}, 2.0f) * m4::Scale({4, 0.25f, -2}), projective}) {
        m4 inv;
        ASSERT_TRUE(m.Inverse(inv));
        ExpectIdentity(inv * m, 1e-5f);
        ExpectIdentity(m * inv, 1e-5f);
    }

    // Doubles, with a matrix whose entries all differ (catches a mistyped cofactor).
    const mat4<double> d(2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37, 41, 43, 47, 53);
    mat4<double> dinv;
    ASSERT_TRUE(d.Inverse(dinv));
    ExpectIdentity(d * dinv, 1e-9);
    ExpectIdentity(dinv * d, 1e-9);
    EXPECT_NEAR(d.Determinant(), 880.0, 1e-9);

    // Inverting in place.
    m4 inPlace = projective;
    ASSERT_TRUE(inPlace.Inverse(inPlace));
    ExpectIdentity(inPlace * projective, 1e-5f);

    // A rotation's inverse is its transpose.
    const m4 r = m4::Rotation({3, -1, 2}, 0.9f);
    m4 rinv;
    ASSERT_TRUE(r.Inverse(rinv));
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(rinv[i][j], r.Transposed()[i][j], 1e-6f);
}

TEST(Mat4Test, DeterminantAndSingularMatrices) {
    EXPECT_FLOAT_EQ((m4::Scale({2, 3, 4}) * m4::Translation({9, 9, 9})).Determinant(), 24.0f);
    EXPECT_NEAR(m4::Rotation({1, 2, 3}, 0.7f).Determinant(), 1.0f, 1e-6f);
    const m4 swapXY(0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1); // a mirror
    EXPECT_FLOAT_EQ(swapXY.Determinant(), -1.0f);

    const m4 sentinel(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    const m4 dependentRows(1, 2, 3, 0, 2, 4, 6, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    const m4 nan = m4::Scale(std::numeric_limits<float>::quiet_NaN());
    for (const m4& singular :
         {m4::Scale({1, 1, 0}), dependentRows, m4(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), sentinel, nan}) {
        m4 out = sentinel;
        EXPECT_FALSE(singular.Inverse(out));
        EXPECT_TRUE(out == sentinel); // left untouched
    }
}

TEST(Mat4Test, VectorBasics) {
    // Right-handed cross product and safe normalization of a zero vector.
    EXPECT_EQ(v3(1, 0, 0).Cross(v3(0, 1, 0)), v3(0, 0, 1));
    EXPECT_EQ(v3(0, 1, 0).Cross(v3(1, 0, 0)), v3(0, 0, -1));
    EXPECT_EQ(v3(0, 0, 0).Normalized(), v3(0, 0, 0));
    ExpectNear(v3(3, 0, 4).Normalized(), {0.6f, 0, 0.8f});
    EXPECT_FLOAT_EQ(v3(3, 0, 4).Length(), 5);
}
