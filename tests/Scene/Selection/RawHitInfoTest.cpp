// Hit records: deep copies, distances kept until the hit is re-expressed, and re-expression
// that keeps the hit where it is in the world.
#include <Scene/Selection/RawHitInfo.h>
#include <Scene/Selection/SelectionHit.h>

#include <gtest/gtest.h>

namespace {

using Brio::Scene::RawHitInfo;

struct Info {
    RawHitInfo* p = RawHitInfo::make();
    ~Info() { p->destroy(); }
    RawHitInfo* operator->() const { return p; }
};

TEST(RawHitInfo, DefaultsAndDeepCopies) {
    Info a;
    EXPECT_EQ(a->id(), 0);
    EXPECT_TRUE(a->localToWorldTransform().isEqualTo(ZoGeMatrix3d()));
    EXPECT_EQ(a->view(), nullptr);
    EXPECT_EQ(a->localHitDistance(), 0.0);
    a->id(7);
    a->hitPriority(3);
    a->localRay(ZoGeRay3d(ZoGePoint3d(0, 0, 10), ZoGeVector3d(0, 0, -1)));
    a->localRayPoint(ZoGePoint3d(0, 0, 4));
    a->localHitPoint(ZoGePoint3d(0.1, 0, 4));
    RawHitInfo* b = RawHitInfo::make(a.p);
    EXPECT_EQ(b->id(), 7);
    EXPECT_EQ(b->hitPriority(), 3);
    EXPECT_DOUBLE_EQ(b->localHitDistance(), 6.0);
    a->destroy(); // the copy stands alone
    a.p = RawHitInfo::make();
    EXPECT_EQ(b->id(), 7);
    EXPECT_DOUBLE_EQ(b->localHitPoint().x, 0.1);
    b->destroy();
    RawHitInfo* fresh = RawHitInfo::make(nullptr);
    EXPECT_EQ(fresh->id(), 0);
    fresh->destroy();
}

TEST(RawHitInfo, DistancesAreKeptUntilTheHitIsReexpressed) {
    Info a;
    a->localRay(ZoGeRay3d(ZoGePoint3d(0, 0, 10), ZoGeVector3d(0, 0, -1)));
    a->localRayPoint(ZoGePoint3d(0, 0, 4));
    EXPECT_DOUBLE_EQ(a->localHitDistance(), 6.0);
    a->localRayPoint(ZoGePoint3d(0, 0, 0));
    EXPECT_DOUBLE_EQ(a->localHitDistance(), 6.0) << "kept";
    a->transform(ZoGeMatrix3d()); // the identity changes nothing but drops what was kept
    EXPECT_DOUBLE_EQ(a->localHitDistance(), 10.0);
    // With depth priority 0 the world distance runs from the world ray origin to the ray point.
    a->localToWorldTransform(ZoGeMatrix3d::translation(ZoGeVector3d(5, 0, 0)));
    EXPECT_NEAR(a->worldHitDistance(), 10.0, 1e-9);
    // Each unit of depth priority moves the hit a fixed step of screen depth.
    Info b;
    b->localRay(a->localRay());
    b->localRayPoint(a->localRayPoint());
    b->localToWorldTransform(a->localToWorldTransform());
    b->hitDepthPriority(1);
    EXPECT_NEAR(std::abs(b->worldHitDistance() - a->worldHitDistance()), 9.5367431640625e-06, 1e-12);
}

TEST(RawHitInfo, ReexpressingKeepsTheHitInTheWorld) {
    Info a;
    const ZoGeMatrix3d toWorld = ZoGeMatrix3d::translation(ZoGeVector3d(1, 2, 3));
    a->localToWorldTransform(toWorld);
    a->localHitPoint(ZoGePoint3d(1, 1, 1));
    a->localNormal(ZoGeVector3d(0, 0, 1));
    a->localRay(ZoGeRay3d(ZoGePoint3d(1, 1, 9), ZoGeVector3d(0, 0, -1)));
    const ZoGePoint3d world = toWorld * a->localHitPoint();
    // Into a space turned a quarter about z and moved.
    const ZoGeMatrix3d m = ZoGeMatrix3d::translation(ZoGeVector3d(0, 0, -4)) *
                           ZoGeMatrix3d::rotation(1.5707963267948966, ZoGeVector3d(0, 0, 1));
    a->transform(m);
    EXPECT_TRUE(a->localHitPoint().isEqualTo(m * ZoGePoint3d(1, 1, 1)));
    EXPECT_TRUE((a->localToWorldTransform() * a->localHitPoint()).isEqualTo(world)) << "same place in the world";
    EXPECT_TRUE(a->localNormal().isEqualTo(ZoGeVector3d(0, 0, 1)));
    EXPECT_TRUE(a->localRay().pointOnLine().isEqualTo(m * ZoGePoint3d(1, 1, 9)));
}

TEST(SelectionHit, KeepsWhatItWasGiven) {
    const Brio::Scene::SelectionHit h(12, 5, -2, 0.0, ZoGePoint3d(1, 2, 3), ZoGePoint3d(1, 2, 4),
                                      ZoGeVector3d(0, 0, 1));
    Brio::Scene::SelectionHit copy;
    copy = h;
    EXPECT_EQ(copy.id(), 12);
    EXPECT_EQ(copy.selectionPriority(), 5);
    EXPECT_EQ(copy.depthPriority(), -2);
    EXPECT_TRUE(copy.rayPoint().isEqualTo(ZoGePoint3d(1, 2, 4)));
}

} // namespace
