#include <Brio/Types/BRect.h>

#include <gtest/gtest.h>

using Brio::BRect;

TEST(BRectTest, RightAndBottomAreExclusive) {
    const BRect r(10, 20, 30, 25);
    EXPECT_EQ(r.width(), 20);
    EXPECT_EQ(r.height(), 5);
    EXPECT_FALSE(r.isEmpty());
    EXPECT_TRUE(r.contains(10, 20));
    EXPECT_TRUE(r.contains(29, 24));
    EXPECT_FALSE(r.contains(30, 24));
    EXPECT_FALSE(r.contains(29, 25));
    EXPECT_FALSE(r.contains(9, 20));
}

TEST(BRectTest, ZeroOrNegativeExtentIsEmpty) {
    EXPECT_TRUE(BRect().isEmpty());
    EXPECT_TRUE(BRect(5, 5, 5, 10).isEmpty());
    EXPECT_TRUE(BRect(5, 5, 10, 5).isEmpty());
    const BRect inverted(10, 10, 0, 0);
    EXPECT_TRUE(inverted.isEmpty());
    EXPECT_EQ(inverted.width(), 0);
    EXPECT_EQ(inverted.height(), 0);
    EXPECT_FALSE(inverted.contains(5, 5));

    BRect r;
    r.left(1);
    r.top(2);
    r.right(4);
    r.bottom(6);
    EXPECT_EQ(r, BRect(1, 2, 4, 6));
}

TEST(BRectTest, IntersectionOverlapTouchAndDisjoint) {
    const BRect a(0, 0, 10, 10);
    EXPECT_EQ(a.intersect(BRect(5, -5, 15, 5)), BRect(5, 0, 10, 5));
    EXPECT_EQ(a.intersect(BRect(2, 2, 4, 4)), BRect(2, 2, 4, 4)); // inside
    EXPECT_EQ(a.intersect(a), a);
    // Sharing only an edge shares no pixel.
    EXPECT_TRUE(a.intersect(BRect(10, 0, 20, 10)).isEmpty());
    EXPECT_TRUE(a.intersect(BRect(0, 10, 10, 20)).isEmpty());
    EXPECT_EQ(a.intersect(BRect(20, 20, 30, 30)), BRect());
    EXPECT_EQ(a.intersect(BRect(3, 3, 3, 8)), BRect()); // empty operand
    EXPECT_EQ(BRect(9, 9, 11, 11).intersect(a), BRect(9, 9, 10, 10));
}

TEST(BRectTest, UnionIgnoresEmptyRectangles) {
    const BRect a(0, 0, 10, 10);
    EXPECT_EQ(a.unite(BRect(20, -5, 25, 5)), BRect(0, -5, 25, 10));
    EXPECT_EQ(a.unite(BRect(100, 100, 100, 200)), a);
    EXPECT_EQ(BRect(-50, -50, -60, -40).unite(a), a);
    EXPECT_TRUE(BRect().unite(BRect(3, 3, 1, 1)).isEmpty());
}
