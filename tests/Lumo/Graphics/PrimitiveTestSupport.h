#pragma once
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Devices/VertexFormat.h>
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/SBox3.h>
#include <Lumo/Objects/Vec.h>

#include <gtest/gtest.h>

#include <array>
#include <cfloat>
#include <cstdint>
#include <vector>

namespace PrimitiveTest {

using vec3d = Lumo::Objects::vec3<double>;

/// Fails the test when counted objects made during a scope outlive it.
class LiveObjects {
public:
    LiveObjects() : m_start(Lumo::Objects::ARefCounted::NetObjectCount()) {}
    ~LiveObjects() { EXPECT_EQ(Lumo::Objects::ARefCounted::NetObjectCount(), m_start) << "counted objects leaked"; }

private:
    int m_start;
};

/// What rounding a double coordinate of that magnitude to float may cost, with headroom for
/// the few operations behind it.
inline double FloatTol(double magnitude) {
    return 4.0 * FLT_EPSILON * (magnitude + 1.0);
}

inline void ExpectBoxNear(const Lumo::Objects::SBox3& a, const Lumo::Objects::SBox3& b, double tol) {
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(a.Min()[k], b.Min()[k], tol) << "min " << k;
        EXPECT_NEAR(a.Max()[k], b.Max()[k], tol) << "max " << k;
    }
}

inline vec3d Pos(const Lumo::Devices::SimpleMesh& m, int i) {
    auto p = m.Position(i);
    return {p.x, p.y, p.z};
}

inline vec3d Normal(const Lumo::Devices::SimpleMesh& m, int i) {
    const int offset = m.Format()->Offset(Lumo::Devices::eVertexNormal);
    const float* v = m.VertexData() + static_cast<std::size_t>(i) * m.Format()->Stride() + offset;
    return {v[0], v[1], v[2]};
}

inline std::vector<std::array<std::uint32_t, 3>> Triangles(const Lumo::Devices::SimpleMesh& m) {
    std::vector<std::array<std::uint32_t, 3>> t;
    for (int i = 0; i + 2 < m.IndexCount(); i += 3)
        t.push_back({m.IndexData()[i], m.IndexData()[i + 1], m.IndexData()[i + 2]});
    return t;
}

/// Every triangle winds counter-clockwise seen from the side its vertex normals face, every
/// normal is unit length, and no index is out of range. Degenerate triangles count as faults.
inline void ExpectConsistentSurface(const Lumo::Devices::SimpleMesh& m) {
    ASSERT_EQ(m.PrimitiveType(), Lumo::Devices::ePrimTriangleList);
    ASSERT_TRUE(m.Format()->Has(Lumo::Devices::eVertexNormal));
    ASSERT_EQ(m.IndexCount() % 3, 0);
    for (int i = 0; i < m.VertexCount(); ++i)
        ASSERT_NEAR(Normal(m, i).Length(), 1.0, 1e-6) << "vertex " << i;
    int bad = 0;
    for (auto [a, b, c] : Triangles(m)) {
        ASSERT_LT(std::max({a, b, c}), static_cast<std::uint32_t>(m.VertexCount()));
        const vec3d face = (Pos(m, b) - Pos(m, a)).Cross(Pos(m, c) - Pos(m, a));
        const vec3d n = Normal(m, a) + Normal(m, b) + Normal(m, c);
        if (!(face.Length() > 0.0) || face.Dot(n) <= 0.0)
            ++bad;
    }
    EXPECT_EQ(bad, 0) << "triangles degenerate or wound inward";
}

} // namespace PrimitiveTest
