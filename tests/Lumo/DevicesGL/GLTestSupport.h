#pragma once
#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/DrawManager.h>
#include <Lumo/Devices/GLDevice.h>
#include <Lumo/Devices/IndexBufferBuilder.h>
#include <Lumo/Devices/RenderTarget.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Devices/VertexBufferBuilder.h>
#include <Lumo/Devices/VertexFormat.h>
#include <Lumo/Objects/AutoPtr.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace GLTest {

using Lumo::Objects::AutoPtr;
using Lumo::Objects::mat4;
using Lumo::Objects::vec2;
using Lumo::Objects::vec3;
using Lumo::Objects::vec4;

/// One off-screen device for the whole test program (contexts are costly on llvmpipe).
inline Lumo::Devices::GLDevice* Device() {
    static AutoPtr<Lumo::Devices::GLDevice> device = [] {
        std::string error;
        AutoPtr<Lumo::Devices::GLDevice> d(Lumo::Devices::GLDevice::MakeOffscreen(&error));
        if (!d)
            ADD_FAILURE() << "no GL device: " << error;
        return d;
    }();
    return device;
}

struct Pixel {
    int r, g, b, a;
};

/// An image read back from a target, rows top first.
struct Image {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
    Pixel At(int x, int y) const {
        const std::uint8_t* p = &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4];
        return {p[0], p[1], p[2], p[3]};
    }
    int Luma(int x, int y) const {
        Pixel p = At(x, y);
        return (p.r * 299 + p.g * 587 + p.b * 114) / 1000;
    }
};

/// Reads a target back; with BRIO_TEST_IMAGES set, also saves it there as <test>-<n>.png so
/// the pictures can be looked at.
inline Image Read(Lumo::Devices::RenderTarget* target) {
    if (const char* dir = std::getenv("BRIO_TEST_IMAGES")) {
        static int n = 0;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name =
            std::string(dir) + "/" + (info ? info->name() : "image") + "-" + std::to_string(n++) + ".png";
        Device()->Draw().SavePng(target, name);
    }
    Image image;
    image.width = target->Width();
    image.height = target->Height();
    EXPECT_TRUE(Device()->Draw().ReadPixels(target, image.rgba));
    return image;
}

inline bool Near(const Pixel& p, int r, int g, int b, int tol = 3) {
    return std::abs(p.r - r) <= tol && std::abs(p.g - g) <= tol && std::abs(p.b - b) <= tol;
}

inline std::string Str(const Pixel& p) {
    return "(" + std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b) + "," +
           std::to_string(p.a) + ")";
}

/// A square in the z = depth plane from (-s, -s) to (s, s), front face towards -z.
inline Lumo::Devices::SimpleMesh* Quad(float s, float depth, bool uv = false) {
    using namespace Lumo::Devices;
    AutoPtr<VertexFormat> f(VertexFormat::Make(eVertexPosition | eVertexNormal | (uv ? eVertexTexCoord : 0u)));
    VertexBufferBuilder vb(f);
    vb.Normal({0, 0, -1});
    vb.TexCoord({0, 1});
    vb.AddVertex({-s, -s, depth});
    vb.TexCoord({1, 1});
    vb.AddVertex({s, -s, depth});
    vb.TexCoord({1, 0});
    vb.AddVertex({s, s, depth});
    vb.TexCoord({0, 0});
    vb.AddVertex({-s, s, depth});
    IndexBufferBuilder ib;
    ib.AddTriangle(0, 1, 2);
    ib.AddTriangle(0, 2, 3);
    return SimpleMesh::Make(vb, ib, ePrimTriangleList);
}

/// A UV sphere with outward normals, wound counter-clockwise seen from outside in device
/// space (left-handed, as the tests' views place it).
inline Lumo::Devices::SimpleMesh* Sphere(float r, int slices = 32, int stacks = 16) {
    using namespace Lumo::Devices;
    AutoPtr<VertexFormat> f(VertexFormat::Make(eVertexPosition | eVertexNormal));
    VertexBufferBuilder vb(f);
    const float pi = 3.14159265f;
    for (int i = 0; i <= stacks; ++i) {
        const float phi = pi * float(i) / float(stacks);
        for (int j = 0; j <= slices; ++j) {
            const float theta = 2 * pi * float(j) / float(slices);
            vec3<float> n(std::sin(phi) * std::cos(theta), std::cos(phi), std::sin(phi) * std::sin(theta));
            vb.AddVertex(n * r, n);
        }
    }
    IndexBufferBuilder ib;
    for (int i = 0; i < stacks; ++i)
        for (int j = 0; j < slices; ++j) {
            const int a = i * (slices + 1) + j, b = a + slices + 1;
            ib.AddTriangle(a, b, a + 1);
            ib.AddTriangle(a + 1, b, b + 1);
        }
    return SimpleMesh::Make(vb, ib, ePrimTriangleList);
}

/// Looks down +z from z = -5 (device space: the eye looks along +z) with an orthographic
/// projection of half-size `half`, depth 0.1 .. 10 mapped to 0 .. 1.
inline void OrthoView(Lumo::Devices::ADrawContext& dc, float half = 1.0f, int w = 64, int h = 64) {
    mat4<float> view = mat4<float>::Translation({0, 0, 5});
    mat4<float> proj;
    proj.m[0][0] = 1.0f / half;
    proj.m[1][1] = 1.0f / half;
    const float n = 0.1f, f = 10.0f;
    proj.m[2][2] = 1.0f / (f - n);
    proj.m[3][2] = -n / (f - n);
    dc.ViewMatrix(view);
    dc.ProjMatrix(proj);
    dc.Viewport(w, h);
}

/// A perspective view from z = -dist looking along +z (vertical field of view fovY radians).
inline void PerspectiveView(Lumo::Devices::ADrawContext& dc, float dist, float fovY = 0.8f, int w = 64, int h = 64) {
    mat4<float> view = mat4<float>::Translation({0, 0, dist});
    const float n = 0.1f, f = 100.0f, y = 1.0f / std::tan(fovY / 2);
    mat4<float> proj(y * float(h) / float(w), 0, 0, 0, 0, y, 0, 0, 0, 0, f / (f - n), 1, 0, 0, -n * f / (f - n), 0);
    dc.ViewMatrix(view);
    dc.ProjMatrix(proj);
    dc.Viewport(w, h);
}

} // namespace GLTest
