// Small meshes for the pick tests.
#pragma once
#include <Lumo/Devices/IndexBufferBuilder.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Devices/VertexBufferBuilder.h>
#include <Lumo/Objects/AutoPtr.h>

#include <cstdint>

namespace PickTest {

/// A cube of half-size h about the origin.
inline Lumo::Objects::AutoPtr<Lumo::Devices::SimpleMesh> Cube(float h) {
    Lumo::Devices::VertexBufferBuilder vb(Lumo::Devices::eVertexPosition);
    for (int i = 0; i < 8; ++i)
        vb.AddVertex({i & 1 ? h : -h, i & 2 ? h : -h, i & 4 ? h : -h});
    Lumo::Devices::IndexBufferBuilder ib;
    const int f[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (const auto& q : f) {
        ib.AddTriangle(std::uint32_t(q[0]), std::uint32_t(q[1]), std::uint32_t(q[2]));
        ib.AddTriangle(std::uint32_t(q[0]), std::uint32_t(q[2]), std::uint32_t(q[3]));
    }
    return Lumo::Objects::AutoPtr<Lumo::Devices::SimpleMesh>(Lumo::Devices::SimpleMesh::Make(vb, ib));
}

} // namespace PickTest
