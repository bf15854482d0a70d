#include <ZoGe/ZoGeMatrix3d.h>

#include <gtest/gtest.h>

#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

ZoGeMatrix3d fromRows(const double (&rows)[4][4]) {
    ZoGeMatrix3d m;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            m.entry[i][j] = rows[i][j];
    return m;
}

ZoGeMatrix3d diagonal(double a, double b, double c, double d) {
    return fromRows({{a, 0, 0, 0}, {0, b, 0, 0}, {0, 0, c, 0}, {0, 0, 0, d}});
}

// A general affine transform: uniform scaling, rotation about an off-origin line, translation.
ZoGeMatrix3d someTransform() {
    return ZoGeMatrix3d::translation({3, -2, 7}) * ZoGeMatrix3d::rotation(0.7, {1, 2, 3}, {1, 0, -1}) *
           ZoGeMatrix3d::scaling(2.5, {0, 4, 0});
}

} // namespace

TEST(ZoGeMatrix3dTest, DefaultIsIdentityAndTranslationLivesInTheLastColumn) {
    ZoGeMatrix3d m;
    EXPECT_TRUE(m.isIdentity());
    EXPECT_TRUE(m == ZoGeMatrix3d::kIdentity);
    m = ZoGeMatrix3d::translation({1, 2, 3});
    EXPECT_EQ(m.entry[0][3], 1.0);
    EXPECT_EQ(m.entry[1][3], 2.0);
    EXPECT_EQ(m.entry[2][3], 3.0);
    EXPECT_EQ(m.entry[3][0], 0.0);
    EXPECT_TRUE(m.translation().isEqualTo({1, 2, 3}));
    EXPECT_FALSE(m.isIdentity());
    EXPECT_TRUE(m.setToIdentity().isIdentity());
}

TEST(ZoGeMatrix3dTest, RotationsOfKnownPointsFollowTheRightHandRule) {
    EXPECT_TRUE((ZoGeMatrix3d::rotation(kPi / 2, ZoGeVector3d::kZAxis) * ZoGePoint3d(1, 0, 0)).isEqualTo({0, 1, 0}));
    EXPECT_TRUE((ZoGeMatrix3d::rotation(kPi / 2, ZoGeVector3d::kXAxis) * ZoGePoint3d(0, 1, 0)).isEqualTo({0, 0, 1}));
    EXPECT_TRUE((ZoGeMatrix3d::rotation(kPi / 2, ZoGeVector3d::kYAxis) * ZoGePoint3d(0, 0, 1)).isEqualTo({1, 0, 0}));
    EXPECT_TRUE((ZoGeMatrix3d::rotation(kPi, ZoGeVector3d::kZAxis) * ZoGePoint3d(2, 3, 4)).isEqualTo({-2, -3, 4}));
    // A third of a turn about the diagonal cycles the axes; the axis need not be unit length.
    const ZoGeMatrix3d third = ZoGeMatrix3d::rotation(2 * kPi / 3, {5, 5, 5});
    EXPECT_TRUE((third * ZoGePoint3d(1, 0, 0)).isEqualTo({0, 1, 0}));
    EXPECT_TRUE((third * ZoGePoint3d(0, 1, 0)).isEqualTo({0, 0, 1}));
    // About an off-origin center the center stays put.
    const ZoGeMatrix3d aboutCenter = ZoGeMatrix3d::rotation(kPi / 2, ZoGeVector3d::kZAxis, {1, 1, 0});
    EXPECT_TRUE((aboutCenter * ZoGePoint3d(2, 1, 0)).isEqualTo({1, 2, 0}));
    EXPECT_TRUE((aboutCenter * ZoGePoint3d(1, 1, 9)).isEqualTo({1, 1, 9}));
    // No axis, no rotation.
    EXPECT_TRUE(ZoGeMatrix3d::rotation(1.0, ZoGeVector3d()).isIdentity());
    EXPECT_NEAR(ZoGeMatrix3d::rotation(0.3, {1, -2, 0.5}).det(), 1.0, 1e-14);
}

TEST(ZoGeMatrix3dTest, ProductAppliesTheRightOperandFirst) {
    const ZoGeMatrix3d r = ZoGeMatrix3d::rotation(kPi / 2, ZoGeVector3d::kZAxis);
    const ZoGeMatrix3d t = ZoGeMatrix3d::translation({5, 0, 0});
    EXPECT_TRUE(((t * r) * ZoGePoint3d(1, 0, 0)).isEqualTo({5, 1, 0}));
    EXPECT_TRUE(((r * t) * ZoGePoint3d(1, 0, 0)).isEqualTo({0, 6, 0}));

    ZoGeMatrix3d pre = r;
    pre.preMultBy(t);
    EXPECT_TRUE(pre.isEqualTo(t * r));
    ZoGeMatrix3d post = r;
    post.postMultBy(t);
    EXPECT_TRUE(post.isEqualTo(r * t));
}

TEST(ZoGeMatrix3dTest, ScalingKeepsItsCenter) {
    const ZoGeMatrix3d s = ZoGeMatrix3d::scaling(2, {1, 1, 1});
    EXPECT_TRUE((s * ZoGePoint3d(1, 1, 1)).isEqualTo({1, 1, 1}));
    EXPECT_TRUE((s * ZoGePoint3d(2, 1, 0)).isEqualTo({3, 1, -1}));
    EXPECT_DOUBLE_EQ(s.det(), 8.0);
}

TEST(ZoGeMatrix3dTest, DeterminantAndTranspose) {
    const ZoGeMatrix3d a = fromRows({{1, 2, 3, 4}, {5, 6, 7, 8}, {2, 6, 4, 8}, {3, 1, 1, 2}});
    const ZoGeMatrix3d b = fromRows({{2, 1, 0, 3}, {0, 1, 4, 1}, {1, 0, 2, 0}, {0.5, 0, 0, 1}});
    EXPECT_EQ(a.det(), 72.0);
    EXPECT_EQ(b.det(), 6.0);
    EXPECT_DOUBLE_EQ((a * b).det(), 432.0);
    EXPECT_EQ(a.transpose().det(), 72.0);
    EXPECT_EQ(a.transpose().entry[0][3], 3.0);
    EXPECT_EQ(a.transpose().entry[3][0], 4.0);
    ZoGeMatrix3d twice = a;
    EXPECT_TRUE(twice.transposeIt().transposeIt().isEqualTo(a));
    EXPECT_EQ(diagonal(2, 3, 4, 1).det(), 24.0);
}

TEST(ZoGeMatrix3dTest, InverseTimesMatrixIsIdentity) {
    const ZoGeMatrix3d general = fromRows({{1, 2, 3, 4}, {5, 6, 7, 8}, {2, 6, 4, 8}, {3, 1, 1, 2}});
    for (const ZoGeMatrix3d& m : {someTransform(), general, ZoGeMatrix3d::kIdentity}) {
        ZoGeMatrix3d inv;
        ASSERT_TRUE(m.inverse(inv));
        EXPECT_TRUE((inv * m).isEqualTo(ZoGeMatrix3d::kIdentity, ZoGeTol(1e-12, 1e-12)));
        EXPECT_TRUE((m * inv).isEqualTo(ZoGeMatrix3d::kIdentity, ZoGeTol(1e-12, 1e-12)));
        EXPECT_TRUE(m.inverse().isEqualTo(inv));
        EXPECT_FALSE(m.isSingular());
    }
    // The inverse undoes the transform on a point.
    const ZoGePoint3d p(0.5, -7, 12);
    EXPECT_TRUE((someTransform().inverse() * (someTransform() * p)).isEqualTo(p, ZoGeTol(1e-12, 1e-12)));

    ZoGeMatrix3d inPlace = someTransform();
    EXPECT_TRUE(inPlace.invert());
    EXPECT_TRUE((inPlace * someTransform()).isIdentity(ZoGeTol(1e-12, 1e-12)));
}

TEST(ZoGeMatrix3dTest, SingularMatricesAreDetectedAndLeftUnchanged) {
    const ZoGeMatrix3d flatten = diagonal(1, 1, 0, 1); // projects onto z = 0
    const ZoGeMatrix3d twoEqualRows = fromRows({{1, 2, 3, 4}, {1, 2, 3, 4}, {0, 0, 1, 0}, {0, 0, 0, 1}});
    const ZoGeMatrix3d dependentColumns = fromRows({{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}, {0, 0, 0, 1}});
    for (const ZoGeMatrix3d& m : {ZoGeMatrix3d::scaling(0), flatten, twoEqualRows, dependentColumns}) {
        EXPECT_TRUE(m.isSingular());
        ZoGeMatrix3d out = ZoGeMatrix3d::translation({9, 9, 9});
        EXPECT_FALSE(m.inverse(out));
        EXPECT_TRUE(out.isEqualTo(ZoGeMatrix3d::translation({9, 9, 9}))); // untouched
        EXPECT_TRUE(m.inverse().isEqualTo(m));
        ZoGeMatrix3d copy = m;
        EXPECT_FALSE(copy.invert());
        EXPECT_TRUE(copy.isEqualTo(m));
    }
    ZoGeMatrix3d zero = diagonal(0, 0, 0, 0);
    EXPECT_TRUE(zero.isSingular());
}

TEST(ZoGeMatrix3dTest, SingularityIsJudgedRelativeToTheMatrixScale) {
    // Pivot against the largest entry: 1e-11 is below the default 1e-10, 1e-9 above.
    EXPECT_TRUE(diagonal(1e-11, 1, 1, 1).isSingular());
    EXPECT_FALSE(diagonal(1e-9, 1, 1, 1).isSingular());
    EXPECT_FALSE(diagonal(1e-11, 1, 1, 1).isSingular(1e-12));

    // A tiny but well-conditioned matrix (det 1e-24) is invertible.
    ZoGeMatrix3d tiny = someTransform();
    for (auto& row : tiny.entry)
        for (double& e : row)
            e *= 1e-6;
    ZoGeMatrix3d inv;
    ASSERT_TRUE(tiny.inverse(inv));
    EXPECT_TRUE((inv * tiny).isIdentity(ZoGeTol(1e-12, 1e-12)));
}

TEST(ZoGeMatrix3dTest, EqualityToleranceSeparatesTranslationFromLinearPart) {
    const ZoGeTol tol(0.5, 0.25);
    ZoGeMatrix3d m;
    m.entry[0][3] = 0.5; // translation: point tolerance
    EXPECT_TRUE(m.isIdentity(tol));
    m.entry[0][3] = 0.75;
    EXPECT_FALSE(m.isIdentity(tol));

    ZoGeMatrix3d n;
    n.entry[0][1] = 0.25; // linear part: vector tolerance
    EXPECT_TRUE(n.isIdentity(tol));
    n.entry[0][1] = 0.5;
    EXPECT_FALSE(n.isIdentity(tol));
}

TEST(ZoGeMatrix3dTest, CoordinateSystemsRoundTripAndAlign) {
    const ZoGePoint3d origin(1, 2, 3);
    const ZoGeVector3d x(0, 1, 0), y(-1, 0, 0), z(0, 0, 1);
    ZoGeMatrix3d cs;
    cs.setCoordSystem(origin, x, y, z);
    EXPECT_TRUE((cs * ZoGePoint3d(0, 0, 0)).isEqualTo(origin));
    EXPECT_TRUE((cs * ZoGePoint3d(1, 0, 0)).isEqualTo(origin + x));
    ZoGePoint3d o;
    ZoGeVector3d gx, gy, gz;
    cs.getCoordSystem(o, gx, gy, gz);
    EXPECT_TRUE(o.isEqualTo(origin));
    EXPECT_TRUE(gx.isEqualTo(x));
    EXPECT_TRUE(gy.isEqualTo(y));
    EXPECT_TRUE(gz.isEqualTo(z));

    // Between two non-world systems: origins and axis tips map onto each other.
    const ZoGePoint3d fromO(5, 0, 0), toO(0, 0, 10);
    const ZoGeVector3d fx(0, 0, 2), fy(0, 2, 0), fz(-2, 0, 0);
    const ZoGeVector3d tx(1, 0, 0), ty(0, 0, 1), tz(0, -1, 0);
    const ZoGeMatrix3d align = ZoGeMatrix3d::alignCoordSys(fromO, fx, fy, fz, toO, tx, ty, tz);
    EXPECT_TRUE((align * fromO).isEqualTo(toO));
    EXPECT_TRUE((align * (fromO + fx)).isEqualTo(toO + tx));
    EXPECT_TRUE((align * (fromO + fy)).isEqualTo(toO + ty));
    EXPECT_TRUE((align * (fromO + fz)).isEqualTo(toO + tz));
    EXPECT_TRUE((align * fy).isEqualTo(ty));

    // Degenerate source axes give the identity rather than garbage.
    EXPECT_TRUE(ZoGeMatrix3d::alignCoordSys(fromO, fx, fx, fz, toO, tx, ty, tz).isIdentity());
}
