#include <ZoGe/ZoGeMatrix3d.h>
#include <ZoGe/ZoGeVector3d.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

} // namespace

TEST(ZoGeVector3dTest, ArithmeticAndProducts) {
    const ZoGeVector3d a(1, 2, 3);
    const ZoGeVector3d b(4, -5, 6);
    EXPECT_TRUE((a - b).isEqualTo({-3, 7, -3}));
    EXPECT_EQ(a.dotProduct(b), 12.0);
    const ZoGeVector3d c = a.crossProduct(b);
    EXPECT_TRUE(c.isEqualTo({27, 6, -13}));
    EXPECT_EQ(c.dotProduct(a), 0.0);
    EXPECT_TRUE(ZoGeVector3d::kXAxis.crossProduct(ZoGeVector3d::kYAxis).isEqualTo(ZoGeVector3d::kZAxis));
    EXPECT_TRUE(ZoGeVector3d::kYAxis.crossProduct(ZoGeVector3d::kXAxis).isEqualTo(-ZoGeVector3d::kZAxis));
    EXPECT_DOUBLE_EQ(ZoGeVector3d(2, 3, 6).length(), 7.0);
    EXPECT_DOUBLE_EQ(ZoGeVector3d(2, 3, 6).lengthSqrd(), 49.0);
}

TEST(ZoGeVector3dTest, NormalizationLeavesZeroVectorsAlone) {
    ZoGeVector3d v(0, 3, 4);
    EXPECT_TRUE(v.normal().isEqualTo({0, 0.6, 0.8}));
    EXPECT_TRUE(v.normal().isUnitLength());
    EXPECT_FALSE(v.isUnitLength());
    v.normalize();
    EXPECT_TRUE(v.isUnitLength());

    const ZoGeVector3d tiny(1e-12, 0, 0);
    EXPECT_TRUE(tiny.isZeroLength());
    EXPECT_EQ(tiny.normal().x, 1e-12); // below tolerance: returned unchanged, not blown up
    EXPECT_TRUE(ZoGeVector3d().normal().isZeroLength());
    EXPECT_FALSE(std::isnan(ZoGeVector3d().normal().x));
}

TEST(ZoGeVector3dTest, AnglesUnsignedAndAboutAReference) {
    EXPECT_DOUBLE_EQ(ZoGeVector3d::kXAxis.angleTo(ZoGeVector3d::kYAxis), kPi / 2);
    EXPECT_DOUBLE_EQ(ZoGeVector3d(1, 0, 0).angleTo(ZoGeVector3d(-3, 0, 0)), kPi);
    EXPECT_DOUBLE_EQ(ZoGeVector3d(1, 1, 0).angleTo(ZoGeVector3d(5, 5, 0)), 0.0);
    EXPECT_NEAR(ZoGeVector3d(1, 0, 0).angleTo(ZoGeVector3d(1, 1e-9, 0)), 1e-9, 1e-20); // accurate near 0
    EXPECT_DOUBLE_EQ(ZoGeVector3d(1, 0, 0).angleTo(ZoGeVector3d(1, 1, 0)), kPi / 4);

    // Counterclockwise about +z: x to y is a quarter turn, y to x three quarters.
    EXPECT_DOUBLE_EQ(ZoGeVector3d::kXAxis.angleTo(ZoGeVector3d::kYAxis, ZoGeVector3d::kZAxis), kPi / 2);
    EXPECT_DOUBLE_EQ(ZoGeVector3d::kYAxis.angleTo(ZoGeVector3d::kXAxis, ZoGeVector3d::kZAxis), 3 * kPi / 2);
    EXPECT_DOUBLE_EQ(ZoGeVector3d::kYAxis.angleTo(ZoGeVector3d::kXAxis, -ZoGeVector3d::kZAxis), kPi / 2);
    EXPECT_EQ(ZoGeVector3d::kXAxis.angleTo(ZoGeVector3d::kXAxis, ZoGeVector3d::kZAxis), 0.0);
}

TEST(ZoGeVector3dTest, ParallelPerpendicularAndCodirectional) {
    const ZoGeTol tol(1e-10, 1e-3);
    const ZoGeVector3d x(2, 0, 0);
    EXPECT_TRUE(x.isParallelTo({1, 0.9e-3, 0}, tol));
    EXPECT_FALSE(x.isParallelTo({1, 1.1e-3, 0}, tol));
    EXPECT_TRUE(x.isParallelTo({-5, 0, 0}));
    EXPECT_FALSE(x.isCodirectionalTo({-5, 0, 0}));
    EXPECT_TRUE(x.isCodirectionalTo({5, 0, 0}));
    EXPECT_TRUE(x.isPerpendicularTo({0.9e-3, 1, 0}, tol));
    EXPECT_FALSE(x.isPerpendicularTo({1.1e-3, 1, 0}, tol));
    // The zero vector has no direction.
    EXPECT_FALSE(x.isParallelTo(ZoGeVector3d()));
    EXPECT_FALSE(x.isPerpendicularTo(ZoGeVector3d()));
    EXPECT_FALSE(ZoGeVector3d().isParallelTo(ZoGeVector3d()));
}

TEST(ZoGeVector3dTest, PerpVectorIsPerpendicularForAnyDirection) {
    for (const ZoGeVector3d& v : {ZoGeVector3d::kXAxis, ZoGeVector3d::kYAxis, ZoGeVector3d::kZAxis,
                                  ZoGeVector3d(1, 1, 1), ZoGeVector3d(-3, 1e-8, 2), ZoGeVector3d(0, 1e5, -1e5)}) {
        const ZoGeVector3d p = v.perpVector();
        EXPECT_FALSE(p.isZeroLength());
        EXPECT_TRUE(p.isPerpendicularTo(v));
    }
    EXPECT_TRUE(ZoGeVector3d().perpVector().isZeroLength());
}

TEST(ZoGeVector3dTest, TransformIgnoresTranslation) {
    ZoGeMatrix3d m = ZoGeMatrix3d::rotation(kPi / 2, ZoGeVector3d::kZAxis, ZoGePoint3d(10, 10, 10));
    m.postMultBy(ZoGeMatrix3d::translation({100, 0, 0}));
    ZoGeVector3d v(1, 0, 0);
    v.transformBy(m);
    EXPECT_TRUE(v.isEqualTo(ZoGeVector3d::kYAxis));
    EXPECT_TRUE((ZoGeMatrix3d::scaling(3, ZoGePoint3d(5, 5, 5)) * ZoGeVector3d(1, 2, 0)).isEqualTo({3, 6, 0}));

    ZoGeVector3d r(0, 1, 0);
    r.rotateBy(kPi / 2, ZoGeVector3d::kXAxis);
    EXPECT_TRUE(r.isEqualTo(ZoGeVector3d::kZAxis));
}
