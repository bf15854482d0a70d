#include <Lumo/Objects/SBox3.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace Lumo::Objects;

namespace {
using v3 = vec3<double>;

void ExpectBoxNear(const SBox3& b, const v3& min, const v3& max, double tol = 1e-6) {
    ASSERT_FALSE(b.IsEmpty());
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(b.Min()[i], min[i], tol) << "min " << i;
        EXPECT_NEAR(b.Max()[i], max[i], tol) << "max " << i;
    }
}
} // namespace

TEST(SBox3Test, EmptyBoxRules) {
    SBox3 empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty.Center(), v3());
    EXPECT_EQ(empty.Size(), v3());
    EXPECT_FALSE(empty.Contains(v3()));
    EXPECT_FALSE(empty.Intersects(SBox3(v3(-1, -1, -1), v3(1, 1, 1))));
    EXPECT_FALSE(SBox3(v3(-1, -1, -1), v3(1, 1, 1)).Intersects(empty));
    EXPECT_FALSE(empty.Intersects(empty));

    // Inverted along a single axis is empty too.
    EXPECT_TRUE(SBox3(v3(0, 0, 1), v3(1, 1, 0)).IsEmpty());

    // A single point is a box, of zero size.
    SBox3 point;
    point.Extend(v3(1, 2, 3));
    EXPECT_FALSE(point.IsEmpty());
    EXPECT_EQ(point.Size(), v3());
    EXPECT_TRUE(point.Contains(v3(1, 2, 3)));

    // Merging an empty box changes nothing; merging into an empty box copies.
    SBox3 b(v3(0, 0, 0), v3(1, 1, 1));
    b.Extend(SBox3());
    EXPECT_EQ(b, SBox3(v3(0, 0, 0), v3(1, 1, 1)));
    SBox3 c;
    c.Extend(b);
    EXPECT_EQ(c, b);
    c.SetEmpty();
    EXPECT_TRUE(c.IsEmpty());
    EXPECT_EQ(c, SBox3());
}

TEST(SBox3Test, ExtendContainsIntersects) {
    SBox3 b;
    b.Extend(v3(1, -2, 3));
    b.Extend(v3(-1, 2, 0));
    EXPECT_EQ(b.Min(), v3(-1, -2, 0));
    EXPECT_EQ(b.Max(), v3(1, 2, 3));
    EXPECT_EQ(b.Center(), v3(0, 0, 1.5));
    EXPECT_EQ(b.Size(), v3(2, 4, 3));

    EXPECT_TRUE(b.Contains(v3(1, 2, 3))); // faces belong to the box
    EXPECT_FALSE(b.Contains(v3(1, 2, 3.0001)));
    EXPECT_TRUE(b.Intersects(SBox3(v3(1, 2, 3), v3(5, 5, 5)))); // touching at a corner
    EXPECT_FALSE(b.Intersects(SBox3(v3(1.5, 0, 0), v3(5, 1, 1))));
    EXPECT_FALSE(b.Intersects(SBox3(v3(0, 0, 3.5), v3(0.5, 0.5, 4)))); // overlaps in x, y only
}

TEST(SBox3Test, TransformAndRebox) {
    const SBox3 box(v3(0, 0, 0), v3(1, 2, 3));

    // A quarter turn about z maps x to y and y to -x, then a move.
    const auto rz = mat4<double>::Rotation(v3(0, 0, 1), std::numbers::pi / 2);
    ExpectBoxNear(box.TransformAndRebox(rz), v3(-2, 0, 0), v3(0, 1, 3));
    ExpectBoxNear(box.TransformAndRebox(rz * mat4<double>::Translation(v3(10, 20, 30))), v3(8, 20, 30), v3(10, 21, 33));

    // An eighth turn: the new box bounds every rotated corner, not just two of them.
    const auto r45 = mat4<double>::Rotation(v3(0, 0, 1), std::numbers::pi / 4);
    const double h = std::sqrt(0.5);
    ExpectBoxNear(SBox3(v3(0, 0, 0), v3(1, 1, 1)).TransformAndRebox(r45), v3(-h, 0, 0), v3(h, 2 * h, 1));

    // A mirror still gives Min below Max.
    ExpectBoxNear(box.TransformAndRebox(mat4<double>::Scale(v3(-1, 1, -2))), v3(-1, 0, -6), v3(0, 2, 0));

    // The float overload agrees.
    const auto rzf = mat4<float>::Rotation(vec3<float>(0, 0, 1), std::numbers::pi_v<float> / 2);
    ExpectBoxNear(box.TransformAndRebox(rzf), v3(-2, 0, 0), v3(0, 1, 3), 1e-5);

    // A perspective-like matrix divides by w.
    mat4<double> persp;
    persp[3][3] = 2;
    ExpectBoxNear(box.TransformAndRebox(persp), v3(0, 0, 0), v3(0.5, 1, 1.5));

    // An empty box stays empty whatever the matrix (its corners are not points).
    EXPECT_TRUE(SBox3().TransformAndRebox(mat4<double>::Translation(v3(1, 2, 3))).IsEmpty());
    EXPECT_TRUE(SBox3().TransformAndRebox(mat4<double>::Scale(-1.0)).IsEmpty());
    EXPECT_TRUE(SBox3().TransformAndRebox(mat4<float>::Scale(0.5f)).IsEmpty());
}
