#include <ZoGe/ZoGePoint3d.h>
#include <ZoGe/ZoGeTol.h>
#include <ZoGe/ZoGeVector3d.h>

#include <gtest/gtest.h>

TEST(ZoGeTolTest, GlobalDefaultIsOneTenBillionth) {
    const ZoGeTol& tol = ZoGeTol::global();
    EXPECT_EQ(tol.equalPoint(), 1e-10);
    EXPECT_EQ(tol.equalVector(), 1e-10);
    EXPECT_TRUE(ZoGePoint3d(1, 2, 3).isEqualTo(ZoGePoint3d(1, 2, 3 + 5e-11)));
    EXPECT_FALSE(ZoGePoint3d(1, 2, 3).isEqualTo(ZoGePoint3d(1, 2, 3 + 5e-10)));
}

TEST(ZoGeTolTest, DistanceExactlyAtTheToleranceIsEqual) {
    // Binary fractions so the distances are exact.
    const ZoGeTol tol(0.5, 0.25);
    EXPECT_TRUE(ZoGePoint3d(0, 0, 0).isEqualTo(ZoGePoint3d(0.5, 0, 0), tol));
    EXPECT_FALSE(ZoGePoint3d(0, 0, 0).isEqualTo(ZoGePoint3d(0.5 + 1e-12, 0, 0), tol));
    // Vectors use the vector tolerance, not the point one.
    EXPECT_TRUE(ZoGeVector3d(1, 0, 0).isEqualTo(ZoGeVector3d(1, 0.25, 0), tol));
    EXPECT_FALSE(ZoGeVector3d(1, 0, 0).isEqualTo(ZoGeVector3d(1, 0.375, 0), tol));
    EXPECT_TRUE(ZoGeVector3d(0, 0, 0.25).isZeroLength(tol));
    EXPECT_FALSE(ZoGeVector3d(0, 0, 0.26).isZeroLength(tol));
}

TEST(ZoGeTolTest, AccessorsAndReplacingTheGlobal) {
    ZoGeTol tol;
    tol.equalPoint(1e-3);
    tol.equalVector(1e-6);
    EXPECT_EQ(tol.equalPoint(), 1e-3);
    EXPECT_EQ(tol.equalVector(), 1e-6);

    const ZoGeTol saved = ZoGeTol::global();
    ZoGeTol::setGlobal(tol);
    EXPECT_TRUE(ZoGePoint3d(0, 0, 0) == ZoGePoint3d(0, 5e-4, 0));
    EXPECT_FALSE(ZoGeVector3d(0, 0, 0) == ZoGeVector3d(0, 5e-4, 0));
    ZoGeTol::setGlobal(saved);
    EXPECT_FALSE(ZoGePoint3d(0, 0, 0) == ZoGePoint3d(0, 5e-4, 0));
}
