#include <Brio/Types/BBox.h>

#include <gtest/gtest.h>

using Brio::BBox;
using Brio::Point3f;
using Brio::Vector3f;

TEST(BBoxTest, DefaultBoxIsEmptyAndInert) {
    const BBox box;
    EXPECT_TRUE(box.isEmpty());
    EXPECT_GT(box.min().x, box.max().x);
    EXPECT_EQ(box.size(), Vector3f());
    EXPECT_EQ(box.center(), Point3f());
    EXPECT_FALSE(box.contains(Point3f()));
    EXPECT_FALSE(box.intersects(box));
    EXPECT_FALSE(box.intersects(BBox(Point3f(-1, -1, -1), Point3f(1, 1, 1))));
}

TEST(BBoxTest, FirstPointBecomesTheWholeBox) {
    BBox box;
    box.extend(Point3f(2.0f, -3.0f, 4.0f));
    EXPECT_FALSE(box.isEmpty());
    EXPECT_EQ(box.min(), Point3f(2.0f, -3.0f, 4.0f));
    EXPECT_EQ(box.max(), Point3f(2.0f, -3.0f, 4.0f));
    EXPECT_EQ(box.size(), Vector3f());
    EXPECT_TRUE(box.contains(Point3f(2.0f, -3.0f, 4.0f)));

    box.extend(Point3f(-2.0f, 1.0f, 4.0f));
    EXPECT_EQ(box.min(), Point3f(-2.0f, -3.0f, 4.0f));
    EXPECT_EQ(box.max(), Point3f(2.0f, 1.0f, 4.0f));
    EXPECT_EQ(box.center(), Point3f(0.0f, -1.0f, 4.0f));
    EXPECT_EQ(box.size(), Vector3f(4.0f, 4.0f, 0.0f));
}

TEST(BBoxTest, ExtendingByBoxesIgnoresEmptyOnes) {
    BBox box(Point3f(1, 1, 1), Point3f(0, 0, 0)); // corners in any order
    EXPECT_EQ(box.min(), Point3f(0, 0, 0));
    const BBox before = box;
    box.extend(BBox());
    EXPECT_EQ(box, before);

    BBox empty;
    empty.extend(before);
    EXPECT_EQ(empty, before);

    box.extend(BBox(Point3f(-1, 0.5f, 0.5f), Point3f(0, 3, 0.5f)));
    EXPECT_EQ(box.min(), Point3f(-1, 0, 0));
    EXPECT_EQ(box.max(), Point3f(1, 3, 1));

    // Any inverted box is empty and equal to every other empty box.
    BBox inverted;
    inverted.min(Point3f(0, 0, 1));
    inverted.max(Point3f(5, 5, 0));
    EXPECT_TRUE(inverted.isEmpty());
    EXPECT_EQ(inverted, BBox());
    EXPECT_NE(inverted, before);
}

TEST(BBoxTest, ContainmentAndIntersectionIncludeBoundaries) {
    const BBox box(Point3f(0, 0, 0), Point3f(1, 1, 1));
    EXPECT_TRUE(box.contains(Point3f(1, 1, 1)));
    EXPECT_TRUE(box.contains(Point3f(0, 0.5f, 1)));
    EXPECT_FALSE(box.contains(Point3f(1.001f, 0.5f, 0.5f)));
    EXPECT_FALSE(box.contains(Point3f(0.5f, 0.5f, -0.001f)));

    EXPECT_TRUE(box.intersects(BBox(Point3f(1, 1, 1), Point3f(2, 2, 2))));              // touching corner
    EXPECT_TRUE(box.intersects(BBox(Point3f(0.2f, 0.2f, -5), Point3f(0.3f, 0.3f, 5)))); // passes through
    EXPECT_FALSE(box.intersects(BBox(Point3f(1.5f, 0, 0), Point3f(2, 1, 1))));
    EXPECT_FALSE(box.intersects(BBox(Point3f(0, 0, 2), Point3f(1, 1, 3)))); // overlaps in x,y only
}
