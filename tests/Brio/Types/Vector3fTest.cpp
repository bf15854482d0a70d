#include <Brio/Types/Float2.h>
#include <Brio/Types/Point3f.h>
#include <Brio/Types/Vector3f.h>

#include <gtest/gtest.h>

using Brio::Float2;
using Brio::Point3f;
using Brio::Vector3f;

TEST(Vector3fTest, ArithmeticAndProducts)
{
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

    Vector3f c = a;
    c += b;
    c -= a;
    c *= 0.5f;
    EXPECT_EQ(c, Vector3f(2.0f, -2.5f, 3.0f));
}

TEST(Vector3fTest, LengthAndNormalization)
{
    const Vector3f v(3.0f, 4.0f, 12.0f);
    EXPECT_FLOAT_EQ(v.length(), 13.0f);
    EXPECT_FLOAT_EQ(v.lengthSquared(), 169.0f);
    const Vector3f n = v.normalized();
    EXPECT_FLOAT_EQ(n.length(), 1.0f);
    EXPECT_FLOAT_EQ(n.z, 12.0f / 13.0f);
    EXPECT_EQ(Vector3f().normalized(), Vector3f()); // zero stays zero, no NaN
}

TEST(Vector3fTest, PointsAndVectorsCombine)
{
    const Point3f p(1.0f, 1.0f, 1.0f);
    const Point3f q(4.0f, 5.0f, 1.0f);
    const Vector3f d = q - p;
    EXPECT_EQ(d, Vector3f(3.0f, 4.0f, 0.0f));
    EXPECT_EQ(p + d, q);
    EXPECT_EQ(q - d, p);
    EXPECT_FLOAT_EQ(p.distanceTo(q), 5.0f);
    Point3f r = p;
    r += d;
    EXPECT_EQ(r, q);
    r -= d;
    EXPECT_EQ(r, p);
}

TEST(Vector3fTest, Float2Arithmetic)
{
    EXPECT_EQ(Float2(1.0f, 2.0f) + Float2(3.0f, 4.0f), Float2(4.0f, 6.0f));
    EXPECT_EQ(Float2(1.0f, 2.0f) - Float2(3.0f, 5.0f), Float2(-2.0f, -3.0f));
    EXPECT_EQ(Float2(1.0f, 2.0f) * 3.0f, Float2(3.0f, 6.0f));
    EXPECT_EQ(Float2(1.0f, 2.0f) / 2.0f, Float2(0.5f, 1.0f));
}
