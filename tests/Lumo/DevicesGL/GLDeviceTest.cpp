#include "GLTestSupport.h"

#include <Lumo/Devices/ABlendState.h>
#include <Lumo/Devices/ADepthStencilState.h>
#include <Lumo/Devices/ARasterizerState.h>
#include <Lumo/Devices/BasicMaterialEffectInstance.h>
#include <Lumo/Devices/GLInternal.h>
#include <Lumo/Devices/LayeredEffectInstance.h>
#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Devices/SolidEffectInstance.h>
#include <Lumo/Devices/StockEffects.h>
#include <Lumo/Devices/TargetCache.h>
#include <Lumo/Devices/TextureInstance.h>
#include <Lumo/Objects/SharedMatrix.h>

#include <filesystem>

using namespace GLTest;
using namespace Lumo::Devices;

namespace {

class GLDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(Device(), nullptr);
        color = RenderTarget::Make(64, 64, eTargetRGBA8, 1);
        depth = RenderTarget::Make(64, 64, eTargetDepthStencil, 1);
        dc = ADrawContext::Make(Device());
        OrthoView(*dc);
        Bind();
    }
    void Bind() {
        ASSERT_TRUE(Device()->Draw().BindTargets(color, depth));
        Device()->Draw().Clear(eClearColor | eClearDepth | eClearStencil, {0, 0, 0, 1});
        Device()->Draw().BaseStates(nullptr);
    }
    AutoPtr<SolidEffectInstance> Solid(vec4<float> c, bool lit = false) {
        AutoPtr<SolidEffectInstance> e(SolidEffectInstance::Make(Device()));
        e->Color(c);
        e->Lighting(lit);
        return e;
    }
    void DrawNow(SimpleMesh* mesh, EffectInstance* e, const mat4<float>* world = nullptr) {
        AutoPtr<Lumo::Objects::SharedMatrix> m;
        if (world)
            m = Lumo::Objects::SharedMatrix::Make(*world);
        AutoPtr<RenderItem> item(RenderItem::Make(mesh, e, m.get()));
        Device()->Draw().Draw(item);
        Device()->Draw().Flush(*dc);
    }
    AutoPtr<RenderTarget> color, depth;
    AutoPtr<ADrawContext> dc;
};

TEST_F(GLDeviceTest, ReportsItselfAndClearsExactly) {
    EXPECT_EQ(Device()->Name(), Lumo::Objects::Intern(L"VirtualDeviceGL"));
    if (Device()->RendererName().find("llvmpipe") != std::string::npos) {
        EXPECT_EQ(Device()->DeviceType(), eDeviceSoftware);
    }
    EXPECT_GE(Device()->MaxSamples(), 1);
    EXPECT_GE(Device()->FeatureLevel(), 30);
    Device()->Draw().Clear(eClearColor, {0.2f, 0.4f, 0.6f, 1.0f});
    Image img = Read(color);
    for (int y : {0, 31, 63})
        for (int x : {0, 40, 63}) {
            Pixel p = img.At(x, y);
            EXPECT_EQ(p.r, 51);
            EXPECT_EQ(p.g, 102);
            EXPECT_EQ(p.b, 153);
            EXPECT_EQ(p.a, 255);
        }
}

TEST_F(GLDeviceTest, SolidColourFillsExactlyItsShapeWithTopRowsFirst) {
    AutoPtr<SimpleMesh> quad(Quad(0.5f, 1.0f));
    mat4<float> up = mat4<float>::Translation({0, 0.5f, 0}); // upper half of the view, centred
    DrawNow(quad, Solid({1, 0, 0, 1}), &up);
    Image img = Read(color);
    // Covers x in [16, 48) and, with rows top first, y in [0, 32).
    EXPECT_TRUE(Near(img.At(32, 8), 255, 0, 0, 0)) << Str(img.At(32, 8));
    EXPECT_TRUE(Near(img.At(17, 30), 255, 0, 0, 0));
    EXPECT_TRUE(Near(img.At(32, 40), 0, 0, 0, 0)) << "lower half stays clear";
    EXPECT_TRUE(Near(img.At(8, 8), 0, 0, 0, 0));
}

TEST_F(GLDeviceTest, DepthTestKeepsTheNearerWhicheverComesFirst) {
    AutoPtr<SimpleMesh> nearQuad(Quad(0.5f, 1.0f)), farQuad(Quad(0.8f, 3.0f));
    for (int order = 0; order < 2; ++order) {
        Bind();
        AutoPtr<RenderItem> a(RenderItem::Make(nearQuad, Solid({0, 1, 0, 1}))),
            b(RenderItem::Make(farQuad, Solid({0, 0, 1, 1})));
        Device()->Draw().Draw(order ? b.get() : a.get());
        Device()->Draw().Draw(order ? a.get() : b.get());
        Device()->Draw().Flush(*dc);
        Image img = Read(color);
        EXPECT_TRUE(Near(img.At(32, 32), 0, 255, 0, 0)) << "order " << order << " " << Str(img.At(32, 32));
        EXPECT_TRUE(Near(img.At(10, 32), 0, 0, 255, 0)) << "order " << order;
    }
}

TEST_F(GLDeviceTest, TransparentItemsDrawAfterOpaqueOnesAndBlend) {
    AutoPtr<SimpleMesh> front(Quad(0.5f, 1.0f)), back(Quad(0.8f, 3.0f));
    AutoPtr<SolidEffectInstance> glass = Solid({1, 0, 0, 1});
    glass->Opacity(0.5f);
    // Queued first, but drawn over the opaque part behind it.
    AutoPtr<RenderItem> t(RenderItem::Make(front, glass)), o(RenderItem::Make(back, Solid({0, 0, 1, 1})));
    Device()->Draw().Draw(t);
    Device()->Draw().Draw(o);
    Device()->Draw().Flush(*dc);
    Image img = Read(color);
    EXPECT_TRUE(Near(img.At(32, 32), 128, 0, 128, 2)) << Str(img.At(32, 32));
    EXPECT_TRUE(Near(img.At(10, 32), 0, 0, 255, 0));
}

// A pass that swaps effects ends its override before its items are flushed: each item keeps the
// effect it was queued with, and the override is kept alive until then.
TEST_F(GLDeviceTest, ItemsKeepTheOverrideTheyWereQueuedWith) {
    AutoPtr<SimpleMesh> left(Quad(0.25f, 1.0f)), right(Quad(0.25f, 1.0f));
    const mat4<float> l = mat4<float>::Translation({-0.5f, 0, 0}), r = mat4<float>::Translation({0.5f, 0, 0});
    AutoPtr<Lumo::Objects::SharedMatrix> lm(Lumo::Objects::SharedMatrix::Make(l)),
        rm(Lumo::Objects::SharedMatrix::Make(r));
    AutoPtr<RenderItem> a(RenderItem::Make(left, Solid({1, 0, 0, 1}), lm)),
        b(RenderItem::Make(right, Solid({1, 0, 0, 1}), rm));
    {
        AutoPtr<SolidEffectInstance> wash = Solid({0, 0, 1, 0.5f});
        Device()->Draw().OverrideEffect(wash);
        Device()->Draw().Draw(a);
    }
    Device()->Draw().OverrideEffect(nullptr);
    Device()->Draw().Draw(b);
    Device()->Draw().Flush(*dc);
    Image img = Read(color);
    EXPECT_TRUE(Near(img.At(16, 32), 0, 0, 128, 2)) << "the override, blended: " << Str(img.At(16, 32));
    EXPECT_TRUE(Near(img.At(48, 32), 255, 0, 0, 0)) << "its own effect: " << Str(img.At(48, 32));
}

TEST_F(GLDeviceTest, PerVertexColoursAreInterpolated) {
    AutoPtr<VertexFormat> f(VertexFormat::Make(eVertexPosition | eVertexColor));
    VertexBufferBuilder vb(f);
    vb.Color({1, 0, 0, 1});
    vb.AddVertex({-1, -1, 1});
    vb.AddVertex({1, -1, 1});
    vb.Color({0, 0, 1, 1});
    vb.AddVertex({1, 1, 1});
    vb.AddVertex({-1, 1, 1});
    IndexBufferBuilder ib;
    ib.AddTriangle(0, 1, 2);
    ib.AddTriangle(0, 2, 3);
    AutoPtr<SimpleMesh> quad(SimpleMesh::Make(vb, ib, ePrimTriangleList));
    AutoPtr<SolidEffectInstance> e = Solid({1, 1, 1, 1});
    e->ColorSource(StockEffects::eColorVertex);
    DrawNow(quad, e);
    Image img = Read(color);
    EXPECT_TRUE(Near(img.At(32, 62), 255, 0, 0, 8)) << "bottom red: " << Str(img.At(32, 62));
    EXPECT_TRUE(Near(img.At(32, 1), 0, 0, 255, 8)) << "top blue: " << Str(img.At(32, 1));
    const Pixel mid = img.At(32, 32);
    EXPECT_TRUE(std::abs(mid.r - mid.b) < 12 && mid.r > 100) << "blended between: " << Str(mid);
}

TEST_F(GLDeviceTest, LitSphereIsBrightOnTheLitSideAndNeverBlack) {
    AutoPtr<SimpleMesh> sphere(Sphere(0.8f));
    SDrawLight right;
    right.viewSpace = false;
    right.direction = {-1, 0, 0}; // travels left: comes from the right
    right.color = {0.8f, 0.8f, 0.8f};
    right.specular = {0, 0, 0};
    dc->Lights().push_back(right);
    AutoPtr<BasicMaterialEffectInstance> m(BasicMaterialEffectInstance::Make(Device()));
    m->Diffuse({0.8f, 0.8f, 0.8f});
    m->Ambient({0.8f, 0.8f, 0.8f});
    DrawNow(sphere, m);
    Image img = Read(color);
    const int rightSide = img.Luma(52, 32), leftSide = img.Luma(12, 32), centre = img.Luma(32, 32);
    EXPECT_GT(rightSide, leftSide + 80) << rightSide << " vs " << leftSide;
    EXPECT_GT(rightSide, centre);
    EXPECT_GT(leftSide, 20) << "ambient keeps the dark side readable";
    EXPECT_TRUE(Near(img.At(2, 2), 0, 0, 0, 0)) << "outside the sphere";
}

TEST_F(GLDeviceTest, DefaultRigShadesEverySide) {
    AutoPtr<SimpleMesh> sphere(Sphere(0.8f));
    AutoPtr<BasicMaterialEffectInstance> m(BasicMaterialEffectInstance::Make(Device()));
    m->Diffuse({0.7f, 0.7f, 0.7f});
    m->Ambient({0.7f, 0.7f, 0.7f});
    DrawNow(sphere, m);
    Image img = Read(color);
    for (auto [x, y] : {std::pair{32, 32}, {10, 32}, {54, 32}, {32, 10}, {32, 54}}) {
        EXPECT_GT(img.Luma(x, y), 40) << x << "," << y;
        EXPECT_LT(img.Luma(x, y), 250) << x << "," << y;
    }
}

TEST_F(GLDeviceTest, TexturedQuadSamplesItsTextureThroughTheTransform) {
    // 2 x 2 texels: red, green / blue, white (rows top first).
    const std::uint8_t px[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    AutoPtr<TextureInstance> tex(TextureInstance::Make(2, 2, px));
    tex->Sampling(eFilterNearest, eAddressClamp);
    AutoPtr<SolidEffectInstance> e(SolidEffectInstance::Make(Device(), true));
    e->Texture(tex);
    e->Lighting(false);
    AutoPtr<SimpleMesh> quad(Quad(1.0f, 1.0f, true));
    DrawNow(quad, e);
    Image img = Read(color);
    EXPECT_TRUE(Near(img.At(16, 16), 255, 0, 0, 0)) << Str(img.At(16, 16));
    EXPECT_TRUE(Near(img.At(48, 16), 0, 255, 0, 0)) << Str(img.At(48, 16));
    EXPECT_TRUE(Near(img.At(16, 48), 0, 0, 255, 0)) << Str(img.At(16, 48));
    EXPECT_TRUE(Near(img.At(48, 48), 255, 255, 255, 0));
    // A transform that mirrors u swaps left and right.
    mat4<float> mirror = mat4<float>::Scale(vec3<float>(-1, 1, 1)) * mat4<float>::Translation({1, 0, 0});
    e->TextureTransform(mirror);
    Bind();
    DrawNow(quad, e);
    img = Read(color);
    EXPECT_TRUE(Near(img.At(16, 16), 0, 255, 0, 0)) << Str(img.At(16, 16));
}

TEST_F(GLDeviceTest, LayeredEffectDrawsItsLayersInOrderWithTheirStates) {
    AutoPtr<LayeredEffectInstance> layered(LayeredEffectInstance::Make(Device()));
    AutoPtr<SolidEffectInstance> first = Solid({1, 0, 0, 1}), second = Solid({0, 1, 0, 1});
    AutoPtr<ABlendState> add(ABlendState::Make(eBlendModeAdd));
    AutoPtr<ADepthStencilState> equal(ADepthStencilState::Make(true, false, eCompareEqual));
    second->OverrideState(add.get());
    second->OverrideState(equal.get());
    layered->AddLayer(first);
    layered->AddLayer(second);
    AutoPtr<SimpleMesh> quad(Quad(0.5f, 1.0f));
    DrawNow(quad, layered);
    Image img = Read(color);
    EXPECT_TRUE(Near(img.At(32, 32), 255, 255, 0, 0)) << Str(img.At(32, 32));
}

TEST_F(GLDeviceTest, ClippingPlaneCutsAwayItsNegativeSide) {
    dc->ClippingPlanes().push_back({1, 0, 0, 0}); // keeps x >= 0
    AutoPtr<SimpleMesh> quad(Quad(1.0f, 1.0f));
    DrawNow(quad, Solid({1, 1, 1, 1}));
    Image img = Read(color);
    EXPECT_TRUE(Near(img.At(10, 32), 0, 0, 0, 0)) << Str(img.At(10, 32));
    EXPECT_TRUE(Near(img.At(50, 32), 255, 255, 255, 0));
    dc->ClippingPlanes().clear();
    Bind();
    DrawNow(quad, Solid({1, 1, 1, 1}));
    EXPECT_TRUE(Near(Read(color).At(10, 32), 255, 255, 255, 0)) << "planes are the draw context's, per flush";
}

TEST_F(GLDeviceTest, MultisamplingSmoothsAnEdge) {
    // A triangle whose long edge crosses pixels diagonally.
    using namespace Lumo::Devices;
    AutoPtr<VertexFormat> f(VertexFormat::Make(eVertexPosition));
    VertexBufferBuilder vb(f);
    vb.AddVertex({-1, -1, 1});
    vb.AddVertex({1, -0.3f, 1});
    vb.AddVertex({-1, 1, 1});
    AutoPtr<SimpleMesh> tri(SimpleMesh::Make(vb, ePrimTriangleList));
    auto partial = [&](int samples) {
        AutoPtr<RenderTarget> c(RenderTarget::Make(64, 64, eTargetRGBA8, samples));
        AutoPtr<RenderTarget> d(RenderTarget::Make(64, 64, eTargetDepthStencil, samples));
        EXPECT_TRUE(Device()->Draw().BindTargets(c, d));
        Device()->Draw().Clear(eClearColor | eClearDepth, {0, 0, 0, 1});
        DrawNow(tri, Solid({1, 1, 1, 1}));
        Image img = Read(c);
        int n = 0;
        for (int i = 0; i < 64 * 64; ++i) {
            const int v = img.rgba[size_t(i) * 4];
            n += v > 10 && v < 245;
        }
        return n;
    };
    EXPECT_EQ(partial(1), 0) << "one sample: every pixel is in or out";
    if (Device()->MaxSamples() >= 4) {
        EXPECT_GT(partial(4), 40) << "four samples: the edge gets intermediate shades";
    }
}

TEST_F(GLDeviceTest, ReadBacksOfDepthAndMultisampledColourDoNotDisturbEachOther) {
    AutoPtr<RenderTarget> c(RenderTarget::Make(16, 16, eTargetRGBA8, 4)),
        d(RenderTarget::Make(16, 16, eTargetDepthStencil, 4));
    ASSERT_TRUE(Device()->Draw().BindTargets(c, d));
    Device()->Draw().Clear(eClearColor | eClearDepth, {0, 1, 0, 1}, 0.25f);
    std::vector<float> depth;
    ASSERT_TRUE(Device()->Draw().ReadDepth(d, depth));
    EXPECT_NEAR(depth[0], 0.25f, 1e-5);
    std::vector<std::uint8_t> rgba;
    ASSERT_TRUE(Device()->Draw().ReadPixels(c, rgba));
    EXPECT_EQ(rgba[1], 255) << "the colour after a depth read-back";
    EXPECT_EQ(rgba[0], 0);
    // A refused binding keeps what was bound.
    AutoPtr<RenderTarget> other(RenderTarget::Make(8, 8, eTargetRGBA8, 1));
    EXPECT_FALSE(Device()->Draw().BindTargets(other, d));
    EXPECT_EQ(Device()->Draw().ColorTarget(), c.get());
}

TEST_F(GLDeviceTest, MeshBuffersAreMadeOnceAndRemadeWhenTheMeshChanges) {
    AutoPtr<SimpleMesh> quad(Quad(0.5f, 1.0f));
    DrawNow(quad, Solid({1, 1, 1, 1}));
    auto* gm = static_cast<GLMeshData*>(quad->BackendData());
    ASSERT_NE(gm, nullptr);
    const GLuint vbo = gm->vbo;
    DrawNow(quad, Solid({1, 1, 1, 1}));
    EXPECT_EQ(static_cast<GLMeshData*>(quad->BackendData())->vbo, vbo);
    std::vector<float> data(quad->VertexData(), quad->VertexData() + quad->VertexCount() * quad->Format()->Stride());
    for (size_t i = 0; i < data.size(); i += size_t(quad->Format()->Stride()))
        data[i] += 2.0f; // moves it off to the right, half out of view
    quad->SetVertices(data);
    Bind();
    DrawNow(quad, Solid({1, 1, 1, 1}));
    Image img = Read(color);
    EXPECT_TRUE(Near(img.At(32, 32), 0, 0, 0, 0)) << "the old buffer is not drawn";
}

TEST_F(GLDeviceTest, DrawSortsByEffectAndMesh) {
    AutoPtr<SimpleMesh> a(Quad(0.2f, 1.0f)), b(Quad(0.2f, 2.0f));
    AutoPtr<SolidEffectInstance> red = Solid({1, 0, 0, 1}), blue = Solid({0, 0, 1, 1});
    std::vector<AutoPtr<RenderItem>> items;
    for (int i = 0; i < 20; ++i)
        items.emplace_back(RenderItem::Make(i % 2 ? a.get() : b.get(), i % 4 < 2 ? red.get() : blue.get()));
    Device()->Draw().ResetStats();
    for (auto& item : items)
        Device()->Draw().Draw(item);
    Device()->Draw().Flush(*dc);
    const SDrawStats& s = Device()->Draw().Stats();
    EXPECT_EQ(s.drawCalls, 20u);
    EXPECT_EQ(s.effectChanges, 2u);
    EXPECT_LE(s.meshChanges, 4u);
    EXPECT_EQ(Device()->Draw().Pending(), 0);
}

TEST_F(GLDeviceTest, TargetsAreCachedAndPngsWritten) {
    TargetCache& cache = Device()->Targets();
    AutoPtr<RenderTarget> t = cache.Acquire(32, 16, eTargetRGBA8, 1);
    ASSERT_TRUE(t);
    RenderTarget* raw = t.get();
    cache.Release(t);
    t = nullptr;
    EXPECT_EQ(cache.Acquire(32, 16, eTargetRGBA8, 1).get(), raw);
    EXPECT_FALSE(cache.Acquire(0, 16, eTargetRGBA8, 1));
    EXPECT_FALSE(Device()->Draw().BindTargets(depth, nullptr)) << "a depth target is no colour target";
    const auto path = std::filesystem::temp_directory_path() / "brio-gl-device-test.png";
    Device()->Draw().Clear(eClearColor, {1, 0, 0, 1});
    EXPECT_TRUE(Device()->Draw().SavePng(color, path.string()));
    EXPECT_GT(std::filesystem::file_size(path), 50u);
    std::filesystem::remove(path);
    EXPECT_FALSE(Device()->Draw().SavePng(depth, path.string()));
}

} // namespace
