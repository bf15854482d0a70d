#include <ZoGe/ZoGeMatrix3d.h>
#include <ZoGe/ZoGePoint3d.h>

#include <gtest/gtest.h>

#include <numbers>

TEST(ZoGePoint3dTest, PointVectorArithmetic) {
    const ZoGePoint3d p(1, 2, 3);
    const ZoGePoint3d q(4, 6, 3);
    const ZoGeVector3d d = q - p;
    EXPECT_TRUE(d.isEqualTo({3, 4, 0}));
    EXPECT_TRUE((p + d).isEqualTo(q));
    EXPECT_TRUE((q - d).isEqualTo(p));
    EXPECT_DOUBLE_EQ(p.distanceTo(q), 5.0);
}

TEST(ZoGePoint3dTest, TransformAppliesTranslationAndRotationAboutCenter) {
    ZoGePoint3d p(1, 2, 3);
    p.transformBy(ZoGeMatrix3d::translation({10, 20, 30}));
    EXPECT_TRUE(p.isEqualTo({11, 22, 33}));

    ZoGePoint3d q(2, 1, 5);
    q.rotateBy(std::numbers::pi / 2, ZoGeVector3d::kZAxis, ZoGePoint3d(1, 1, 0));
    EXPECT_TRUE(q.isEqualTo({1, 2, 5}));
}

TEST(ZoGePoint3dTest, ProjectiveRowIsDividedOut) {
    // A matrix whose bottom row yields w = z for the point: (2, 4, 2) -> (1, 2, 1).
    ZoGeMatrix3d m;
    m.entry[3][2] = 1.0;
    m.entry[3][3] = 0.0;
    EXPECT_TRUE((m * ZoGePoint3d(2, 4, 2)).isEqualTo({1, 2, 1}));
    // w = 0 (a point at infinity) leaves the coordinates undivided instead of producing inf.
    EXPECT_TRUE((m * ZoGePoint3d(2, 4, 0)).isEqualTo({2, 4, 0}));
}
