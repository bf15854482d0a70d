#include <ZoGe/ZoGePoint2d.h>
#include <ZoGe/ZoGeVector2d.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

} // namespace

TEST(ZoGeVector2dTest, AngleRunsCounterclockwiseFromTheXAxis) {
    EXPECT_EQ(ZoGeVector2d(1, 0).angle(), 0.0);
    EXPECT_DOUBLE_EQ(ZoGeVector2d(0, 2).angle(), kPi / 2);
    EXPECT_DOUBLE_EQ(ZoGeVector2d(-1, 0).angle(), kPi);
    EXPECT_DOUBLE_EQ(ZoGeVector2d(0, -1).angle(), 3 * kPi / 2);
    EXPECT_DOUBLE_EQ(ZoGeVector2d(1, -1).angleTo(ZoGeVector2d(1, 1)), kPi / 2);
    EXPECT_DOUBLE_EQ(ZoGeVector2d(1, 0).angleTo(ZoGeVector2d(-1, 1e-30)), kPi);
}

TEST(ZoGeVector2dTest, LengthNormalAndRelations) {
    const ZoGeVector2d v(3, 4);
    EXPECT_DOUBLE_EQ(v.length(), 5.0);
    EXPECT_DOUBLE_EQ(v.lengthSqrd(), 25.0);
    EXPECT_TRUE(v.normal().isEqualTo({0.6, 0.8}));
    EXPECT_TRUE(ZoGeVector2d().normal().isZeroLength());
    EXPECT_TRUE(v.perpVector().isEqualTo({-4, 3}));
    EXPECT_TRUE(v.isPerpendicularTo(v.perpVector()));
    EXPECT_TRUE(v.isParallelTo(-2.0 * v));
    EXPECT_FALSE(v.isCodirectionalTo(-2.0 * v));
    EXPECT_FALSE(v.isParallelTo(ZoGeVector2d()));
}

TEST(ZoGeVector2dTest, PointsRotateAboutACenter) {
    ZoGePoint2d p(2, 1);
    p.rotateBy(kPi / 2, ZoGePoint2d(1, 1));
    EXPECT_TRUE(p.isEqualTo({1, 2}));
    p.rotateBy(kPi);
    EXPECT_TRUE(p.isEqualTo({-1, -2}));
    EXPECT_DOUBLE_EQ(ZoGePoint2d(1, 1).distanceTo(ZoGePoint2d(4, 5)), 5.0);
    EXPECT_TRUE(ZoGePoint2d::kOrigin == ZoGePoint2d(0, 1e-11));
}
