// The frustum's planes answer exactly what testing a box's eight corners in clip space does,
// under perspective, parallel and skewed matrices, for boxes inside, outside and across.
#include <Lumo/Graphics/FrustumAgent.h>
#include <Lumo/Objects/Mat4.h>
#include <Lumo/Objects/SBox3.h>

#include <gtest/gtest.h>

#include <random>

namespace {

using Lumo::Graphics::FrustumAgent;
using mat4d = Lumo::Objects::mat4<double>;
using vec3d = Lumo::Objects::vec3<double>;

bool CornersOutside(const Lumo::Objects::SBox3& box, const mat4d& m) {
    unsigned all = 0x3F;
    for (int i = 0; i < 8; ++i) {
        const vec3d p((i & 1) ? box.Max().x : box.Min().x, (i & 2) ? box.Max().y : box.Min().y,
                      (i & 4) ? box.Max().z : box.Min().z);
        double c[4];
        for (int k = 0; k < 4; ++k)
            c[k] = p.x * m.m[0][k] + p.y * m.m[1][k] + p.z * m.m[2][k] + m.m[3][k];
        all &= (c[0] < -c[3] ? 1u : 0u) | (c[0] > c[3] ? 2u : 0u) | (c[1] < -c[3] ? 4u : 0u) | (c[1] > c[3] ? 8u : 0u) |
               (c[2] < 0 ? 16u : 0u) | (c[2] > c[3] ? 32u : 0u);
    }
    return all != 0;
}

TEST(FrustumAgent, PlanesAgreeWithTheCornersOfEveryBox) {
    // A perspective looking down -z (near 1, far 100), then the same seen through a turned
    // and moved placement, and a parallel one.
    mat4d persp(1.2, 0, 0, 0, 0, 1.6, 0, 0, 0, 0, -100.0 / 99, -1, 0, 0, -100.0 / 99, 0);
    mat4d placed = mat4d::Translation({3, -2, -20}) * persp;
    placed.m[0][1] += 0.3; // a skew, as a non-uniform placement gives
    mat4d parallel(0.1, 0, 0, 0, 0, 0.2, 0, 0, 0, 0, -0.01, 0, 0, 0, 0.5, 1);
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> at(-60, 60), size(0.01, 20);
    int outside = 0, inside = 0;
    for (const mat4d& m : {persp, placed, parallel}) {
        const FrustumAgent::Planes planes(m);
        for (int i = 0; i < 4000; ++i) {
            const vec3d lo(at(rng), at(rng), at(rng) - 40);
            Lumo::Objects::SBox3 box;
            box.Extend(lo);
            box.Extend(lo + vec3d(size(rng), size(rng), size(rng)));
            const bool want = CornersOutside(box, m);
            ASSERT_EQ(planes.Outside(box), want) << i;
            ASSERT_EQ(FrustumAgent::Outside(box, m), want) << i;
            (want ? outside : inside)++;
        }
    }
    EXPECT_GT(outside, 1000);
    EXPECT_GT(inside, 1000);
    // An empty box is never culled: its size is not known yet.
    EXPECT_FALSE(FrustumAgent::Planes(persp).Outside(Lumo::Objects::SBox3()));
}

} // namespace
