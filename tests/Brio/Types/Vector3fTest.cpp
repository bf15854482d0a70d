#include <Brio/Types/Point3f.h>
#include <Brio/Types/Vector3f.h>

#include <gtest/gtest.h>

using Brio::Point3f;
using Brio::Vector3f;

TEST(Vector3fTest, ArithmeticAndProducts) {
    const Vector3f a(1.0f, 2.0f, 3.0f);
    const Vector3f b(4.0f, -5.0f, 6.0f);
    EXPECT_EQ(a + b, Vector3f(5.0f, -3.0f, 9.0f));
    EXPECT_EQ(a - b, Vector3f(-3.0f, 7.0f, -3.0f));
    EXPECT_EQ(-a, Vector3f(-1.0f, -2.0f, -3.0f));
    EXPECT_EQ(a * 2.0f, 2.0f * a);
    EXPECT_EQ(b / 2.0f, Vector3f(2.0f, -2.5f, 3.0f));
    EXPECT_EQ(a.dot(b), 12.0f);
    EXPECT_EQ(a.cross(b), Vector3f(27.0f, 6.0f, -13.0f));
    EXPECT_EQ(a.cross(b).dot(a), 0.0f);
    // Right-handed.
    EXPECT_EQ(Vector3f(1, 0, 0).cross(Vector3f(0, 1, 0)), Vector3f(0, 0, 1));
}

TEST(Vector3fTest, LengthAndNormalization) {
    const Vector3f v(3.0f, 4.0f, 12.0f);
    EXPECT_FLOAT_EQ(v.length(), 13.0f);
    EXPECT_FLOAT_EQ(v.lengthSquared(), 169.0f);
    const Vector3f n = v.normalized();
    EXPECT_FLOAT_EQ(n.length(), 1.0f);
    EXPECT_FLOAT_EQ(n.z, 12.0f / 13.0f);
    EXPECT_EQ(Vector3f().normalized(), Vector3f()); // zero stays zero, no NaN
}

TEST(Vector3fTest, PointsAndVectorsCombine) {
    const Point3f p(1.0f, 1.0f, 1.0f);
    const Point3f q(4.0f, 5.0f, 1.0f);
    const Vector3f d = q - p;
    EXPECT_EQ(d, Vector3f(3.0f, 4.0f, 0.0f));
    EXPECT_EQ(p + d, q);
    EXPECT_EQ(q - d, p);
    EXPECT_FLOAT_EQ(p.distanceTo(q), 5.0f);
}
