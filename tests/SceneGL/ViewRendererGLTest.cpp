// Views drawn through the view renderers: fragments, viewports, passes, caching and the
// switches of the text commands.
#include "SceneGLSupport.h"

#include <Brio/Base/MemoryImageResource.h>
#include <Brio/Base/StringConversion.h>
#include <Brio/Base/TextCommand.h>
#include <Brio/DataModel/Asset.h>
#include <Brio/DataModel/Segment.h>
#include <Brio/Types/BBox.h>
#include <Brio/Types/Point3f.h>
#include <Scene/Attributes/OpacityAttribute.h>
#include <Scene/Environment/Camera.h>
#include <Scene/Environment/Viewport.h>
#include <Scene/View/GraphicsOptionGroup.h>
#include <Scene/View/RenderEngine.h>
#include <Scene/View/SceneRenderSettings.h>
#include <Scene/View/ViewFragment.h>
#include <Scene/View/ViewFragmentNodeData.h>
#include <Scene/View/ViewFragmentPassRenderer.h>
#include <Scene/View/ViewNodeData.h>
#include <Scene/View/ViewNodes.h>
#include <Scene/View/ViewRendererForImage.h>
#include <Scene/View/ViewRendererForWindow.h>
#include <ZoGe/ZoGe.h>

#include <cstdio>
#include <filesystem>

namespace SceneGL {
namespace {

using namespace Brio::Scene;
using Brio::StrongRef;

constexpr int kW = 96, kH = 64;

struct Pix {
    int r, g, b, a;
};
Pix At(const Brio::MemoryImageResource& image, int x, int y) {
    const std::uint8_t* p = image.pixel(x, y);
    return {p[0], p[1], p[2], p[3]};
}
bool Near(Pix p, int r, int g, int b, int tol = 4) {
    return std::abs(p.r - r) <= tol && std::abs(p.g - g) <= tol && std::abs(p.b - b) <= tol;
}
std::string S(Pix p) {
    return std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b) + "," + std::to_string(p.a);
}

/// An image renderer that counts its hooks.
class CountingImageRenderer : public ViewRendererForImage {
public:
    using ViewRendererForImage::ViewRendererForImage;
    int pre = 0, post = 0;
    void onPreRender() override { ++pre; }
    void onPostRender() override { ++post; }
};

class ViewRendererGL : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureLibrary();
        SceneRenderSettings::reset();
        GraphicsOptionGroup* o = GraphicsOptionGroup::get();
        o->MSAA(false);
        o->FXAA(false);
        o->transparentBackground(false);
        o->optimizedRendering(false);
        o->cachingRenderingResult(false);
        asset = Brio::Asset::make(L"Views");
        segment = asset->createSegment(L"View");
        view = makeViewNode(nullptr);
        StrongRef<Viewport> window = Viewport::make(segment);
        window->set(0, kW, 0, kH);
        viewNodeData(view)->viewport(window);
    }
    void TearDown() override {
        while (view->ChildCount())
            view->RemoveChild(view->Child(0));
        SceneRenderSettings::reset();
        GraphicsOptionGroup* o = GraphicsOptionGroup::get();
        o->optimizedRendering(false);
        o->cachingRenderingResult(false);
        o->FXAA(false);
    }

    /// A camera looking down -z at the origin, parallel, 2 units high.
    StrongRef<Camera> FrontCamera() {
        StrongRef<Camera> c = Camera::make(segment);
        c->projection(Camera::eParallel);
        c->position(ZoGePoint3d(0, 0, 5));
        c->target(ZoGePoint3d(0, 0, 0));
        c->up(ZoGeVector3d(0, 1, 0));
        c->fit(Brio::BBox(Brio::Point3f(-1, -1, -1), Brio::Point3f(1, 1, 1)));
        return c;
    }

    /// A root holding a quad of half size s at height z, facing +z (towards the camera).
    AutoPtr<Lumo::Graphics::GroupNode> QuadScene(float s, float z, vec4<float> color) {
        using namespace Lumo::Devices;
        AutoPtr<VertexFormat> format(VertexFormat::Make(eVertexPosition | eVertexNormal));
        VertexBufferBuilder vb(format);
        vb.Normal({0, 0, 1});
        for (auto [x, y] : {std::pair{-s, -s}, {s, -s}, {s, s}, {-s, s}})
            vb.AddVertex({x, y, z});
        IndexBufferBuilder ib;
        ib.AddTriangle(0, 1, 2);
        ib.AddTriangle(0, 2, 3);
        AutoPtr<Lumo::Graphics::GroupNode> root = Group();
        AutoPtr<SimpleMesh> quad(SimpleMesh::Make(vb, ib, ePrimTriangleList));
        root->AddChild(Leaf(quad, kFaces, &color));
        return root;
    }

    /// A fragment drawing root with plain parameters, added to the view.
    StrongRef<ViewFragment> AddFragment(Lumo::Graphics::GroupNode* root, StrongRef<Camera> camera,
                                        RenderParams* params = nullptr) {
        StrongRef<ViewFragment> f = ViewFragment::make(segment);
        f->camera(camera);
        AutoPtr<RenderParams> own;
        if (!params) {
            own = RenderParams::make();
            own->renderer(eRendererLayer);
            own->transparentCollectionEnabled(false);
            params = own;
        }
        f->scene(root, params);
        view->AddChild(f->viewFragmentNode());
        return f;
    }

    StrongRef<Brio::MemoryImageResource> Draw(ViewRenderer& r, unsigned type = 1) {
        r.render(type);
        StrongRef<Brio::MemoryImageResource> image = r.readImage();
        if (const char* dir = std::getenv("BRIO_TEST_IMAGES"); dir && image) {
            static int n = 0;
            const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
            r.writeImage(
                Brio::Utility::toWide(std::string(dir) + "/view-" + info->name() + "-" + std::to_string(n++) + ".png"));
        }
        return image;
    }

    StrongRef<Brio::Asset> asset;
    Brio::Segment* segment = nullptr;
    AutoPtr<Lumo::Graphics::GroupNode> view;
};

TEST_F(ViewRendererGL, EmptyViewShowsTheBackgroundCommandsColour) {
    ViewRendererForImage r(view);
    ASSERT_NE(r.engine().device(), nullptr);
    StrongRef<Brio::MemoryImageResource> image = Draw(r);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), kW);
    EXPECT_EQ(image->height(), kH);
    for (auto [x, y] : {std::pair{0, 0}, {kW - 1, kH - 1}, {kW / 2, kH / 2}})
        EXPECT_TRUE(Near(At(*image, x, y), 233, 233, 233, 1)) << S(At(*image, x, y));

    std::wstring reply;
    ASSERT_TRUE(Brio::TextCommand::run(L"Scene.Background 0.2 0.4 0.6", reply));
    EXPECT_EQ(reply, L"Background:  /novary 0.2000 0.4000 0.6000");
    image = Draw(r);
    EXPECT_TRUE(Near(At(*image, 5, 5), 51, 102, 153, 1)) << S(At(*image, 5, 5));
    EXPECT_EQ(At(*image, 5, 5).a, 255);

    GraphicsOptionGroup::get()->transparentBackground(true);
    image = Draw(r);
    EXPECT_EQ(At(*image, 5, 5).a, 0) << "images may have a transparent background";
    GraphicsOptionGroup::get()->transparentBackground(false);

    // Cycling moves the red channel on frame after frame.
    ASSERT_TRUE(Brio::TextCommand::run(L"Scene.Background /vary", reply));
    const int red1 = At(*Draw(r), 5, 5).r;
    const int red2 = At(*Draw(r), 5, 5).r;
    EXPECT_NE(red1, red2);
}

TEST_F(ViewRendererGL, ModelIsDrawnWhereTheCameraSays) {
    AutoPtr<Lumo::Graphics::GroupNode> root = QuadScene(0.5f, 0, {0.9f, 0.1f, 0.1f, 1});
    AddFragment(root, FrontCamera());
    ViewRendererForImage r(view);
    StrongRef<Brio::MemoryImageResource> image = Draw(r);
    ASSERT_TRUE(image);
    const Pix centre = At(*image, kW / 2, kH / 2);
    EXPECT_GT(centre.r, 120) << S(centre);
    EXPECT_LT(centre.g, 60) << S(centre);
    EXPECT_TRUE(Near(At(*image, 2, 2), 233, 233, 233, 1)) << "outside the quad: " << S(At(*image, 2, 2));

    // Panning the camera right moves the quad left in the picture.
    StrongRef<Camera> camera = viewFragmentNodeData(static_cast<Lumo::Graphics::GroupNode*>(view->Child(0)))->camera();
    // Picks look through the camera the fragment was drawn with.
    const auto* rc = viewFragmentNodeData(static_cast<Lumo::Graphics::GroupNode*>(view->Child(0)))->renderCamera();
    const auto dv = camera->getDeviceViewMatrix();
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(rc->ViewMatrix().m[i][j], dv.m[i][j], 1e-5);
    camera->position(ZoGePoint3d(0.6, 0, 5));
    camera->target(ZoGePoint3d(0.6, 0, 0));
    image = Draw(r);
    EXPECT_TRUE(Near(At(*image, kW / 2 + kW / 4, kH / 2), 233, 233, 233, 1)) << S(At(*image, kW / 2 + kW / 4, kH / 2));
    EXPECT_GT(At(*image, kW / 2 - kW / 8, kH / 2).r, 120);
}

TEST_F(ViewRendererGL, RelativeViewportPlacesAnInsetAndDependentFragmentsShareTheCamera) {
    AutoPtr<Lumo::Graphics::GroupNode> big = QuadScene(2.0f, 0, {0.1f, 0.1f, 0.9f, 1});
    StrongRef<ViewFragment> main = AddFragment(big, FrontCamera());
    // The inset: bottom-right quarter, filled with green.
    AutoPtr<Lumo::Graphics::GroupNode> inset = QuadScene(3.0f, 0, {0.1f, 0.8f, 0.1f, 1});
    StrongRef<ViewFragment> corner = AddFragment(inset, FrontCamera());
    StrongRef<Viewport> quarter = Viewport::make(segment);
    quarter->space(Viewport::eRelative);
    quarter->set(0.5, 1.0, 0.0, 0.5);
    corner->viewport(quarter);
    // A dependent fragment draws a small red quad in front, through the main camera.
    AutoPtr<Lumo::Graphics::GroupNode> marker = QuadScene(0.2f, 0.5f, {0.9f, 0.1f, 0.1f, 1});
    StrongRef<ViewFragment> overlay = AddFragment(marker, StrongRef<Camera>());
    overlay->dependentFragment(main);

    ViewRendererForImage r(view);
    StrongRef<Brio::MemoryImageResource> image = Draw(r);
    ASSERT_TRUE(image);
    // Rows are top first: the bottom-right quarter is x >= kW/2, y >= kH/2.
    const Pix topLeft = At(*image, kW / 4, kH / 4), bottomRight = At(*image, kW - 5, kH - 5);
    const Pix topRight = At(*image, kW - 5, 5), bottomLeft = At(*image, 5, kH - 5);
    EXPECT_GT(topLeft.b, 120) << S(topLeft);
    EXPECT_GT(topRight.b, 120) << S(topRight);
    EXPECT_GT(bottomLeft.b, 120) << S(bottomLeft);
    EXPECT_GT(bottomRight.g, 120) << S(bottomRight);
    EXPECT_LT(bottomRight.b, 60) << S(bottomRight);
    // The red marker sits in the centre, as the main camera sees it.
    const Pix centre = At(*image, kW / 2 - 2, kH / 2 - 2);
    EXPECT_GT(centre.r, 120) << S(centre);
    EXPECT_LT(centre.b, 60) << S(centre);
    EXPECT_EQ(r.engine().fragmentsDrawn(), 3);
}

TEST_F(ViewRendererGL, AutocamIsLeftOutOfImagesButNotWindows) {
    AutoPtr<Lumo::Graphics::GroupNode> root = QuadScene(2.0f, 0, {0.1f, 0.8f, 0.1f, 1});
    StrongRef<ViewFragment> f = AddFragment(root, FrontCamera());
    f->name(L"Autocam");
    ViewRendererForImage image(view);
    StrongRef<Brio::MemoryImageResource> picture = Draw(image);
    EXPECT_TRUE(Near(At(*picture, kW / 2, kH / 2), 233, 233, 233, 1)) << S(At(*picture, kW / 2, kH / 2));
    EXPECT_EQ(image.engine().fragmentsDrawn(), 0);
    f->name(L"autocam"); // names are compared exactly
    picture = Draw(image);
    EXPECT_GT(At(*picture, kW / 2, kH / 2).g, 120);
    f->name(L"Autocam");

    // A window renderer draws it (without a display the frame still draws off screen).
    ViewRendererForWindow window(view, reinterpret_cast<void*>(std::uintptr_t(1)));
    picture = Draw(window);
    ASSERT_TRUE(picture);
    EXPECT_GT(At(*picture, kW / 2, kH / 2).g, 120) << S(At(*picture, kW / 2, kH / 2));
}

TEST_F(ViewRendererGL, NothingHappensWhileRenderingIsOff) {
    AutoPtr<Lumo::Graphics::GroupNode> root = QuadScene(0.5f, 0, {0.9f, 0.1f, 0.1f, 1});
    AddFragment(root, FrontCamera());
    CountingImageRenderer r(view);
    std::wstring reply;
    ASSERT_TRUE(Brio::TextCommand::run(L"Scene.Rendering /off", reply));
    EXPECT_EQ(reply, L"The rendering is: Off");
    r.render(ViewRenderer::eInvalidateAll);
    EXPECT_EQ(r.pre, 0);
    EXPECT_EQ(r.post, 0);
    EXPECT_FALSE(r.readImage()) << "no frame was drawn";
    EXPECT_FALSE(r.saveAsImage()) << "nor by saving";
    ASSERT_TRUE(Brio::TextCommand::run(L"Scene.Rendering /on /off", reply));
    EXPECT_EQ(reply, L"The rendering is: Off") << "off wins";
    ASSERT_TRUE(Brio::TextCommand::run(L"Scene.Rendering /on", reply));
    r.render(ViewRenderer::eInvalidateAll);
    EXPECT_EQ(r.pre, 1);
    EXPECT_EQ(r.post, 1);
    EXPECT_TRUE(r.readImage());
}

TEST_F(ViewRendererGL, SavingDrawsWithoutFXAAAndInteractiveFramesDropQuality) {
    AutoPtr<Lumo::Graphics::GroupNode> root = QuadScene(0.5f, 0, {0.9f, 0.1f, 0.1f, 1});
    AddFragment(root, FrontCamera());
    GraphicsOptionGroup::get()->FXAA(true);
    GraphicsOptionGroup::get()->MSAA(true);
    ViewRendererForImage r(view);
    r.render(ViewRenderer::eInvalidateAll);
    EXPECT_TRUE(r.engine().fxaa());
    EXPECT_TRUE(r.engine().multisampling());
    EXPECT_GT(r.engine().sampleCount(), 1);

    StrongRef<Brio::MemoryImageResource> saved = r.saveAsImage();
    ASSERT_TRUE(saved);
    EXPECT_FALSE(r.engine().fxaa()) << "saving draws without FXAA";
    EXPECT_FALSE(r.savingImage());
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "brio-view-save.png";
    EXPECT_TRUE(r.saveAsImage(file.wstring()));
    EXPECT_GT(std::filesystem::file_size(file), 100u);
    std::filesystem::remove(file);

    r.interactive(true);
    r.render(ViewRenderer::eInvalidateAll);
    EXPECT_FALSE(r.engine().fxaa());
    EXPECT_FALSE(r.engine().multisampling());
    EXPECT_EQ(r.engine().sampleCount(), 1);
    GraphicsOptionGroup::get()->MSAA(false);
}

TEST_F(ViewRendererGL, CachingLevelFollowsOptionsFrameRateAndInvalidation) {
    AutoPtr<Lumo::Graphics::GroupNode> root = QuadScene(0.5f, 0, {0.9f, 0.1f, 0.1f, 1});
    AutoPtr<RenderParams> params = RenderParams::make();
    params->renderer(eRendererLayer);
    params->transparentCollectionEnabled(false);
    params->cacheTarget(true);
    params->cacheSceneType(1);
    AddFragment(root, FrontCamera(), params);
    ViewRendererForImage r(view);
    GraphicsOptionGroup* o = GraphicsOptionGroup::get();
    o->minFPS(100); // every frame counts as slow: 60 fps is below it

    r.render(0u);
    EXPECT_EQ(r.engine().cachingLevel(), 0) << "caching is off in the options";
    o->optimizedRendering(true);
    o->cachingRenderingResult(true);
    r.render(0u);
    EXPECT_EQ(r.engine().cachingLevel(), 2);
    r.render(2u);
    EXPECT_EQ(r.engine().cachingLevel(), 1);
    r.render(4u);
    EXPECT_EQ(r.engine().cachingLevel(), 1);
    r.render(1u);
    EXPECT_EQ(r.engine().cachingLevel(), 0) << "a full redraw";
    r.interactive(true);
    r.render(0u);
    EXPECT_EQ(r.engine().cachingLevel(), 0) << "while the view moves";
    r.interactive(false);
    o->minFPS(30);
    r.render(0u);
    EXPECT_EQ(r.engine().cachingLevel(), 0) << "fast enough";
    o->minFPS(100);

    // An unchanged view reuses the model pass; a changed scene draws it again.
    r.render(0u);
    StrongRef<Brio::MemoryImageResource> first = r.readImage();
    r.render(0u);
    EXPECT_EQ(r.engine().cachedPasses(), 1);
    StrongRef<Brio::MemoryImageResource> second = r.readImage();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->pixels(), second->pixels());
    Lumo::Scene::GetAttributeSet(root->Child(0))
        ->SetAttribute(AutoPtr<Lumo::Scene::Attribute>(Lumo::Scene::ColorEffectAttribute::Make({0.1f, 0.1f, 0.9f, 1})));
    r.render(0u);
    EXPECT_EQ(r.engine().cachedPasses(), 0);
    StrongRef<Brio::MemoryImageResource> third = r.readImage();
    EXPECT_GT(At(*third, kW / 2, kH / 2).b, 120) << S(At(*third, kW / 2, kH / 2));
    // A new background invalidates too.
    std::wstring reply;
    Brio::TextCommand::run(L"Scene.Background 0 0 0", reply);
    r.render(0u);
    EXPECT_EQ(r.engine().cachedPasses(), 0);
    EXPECT_TRUE(Near(At(*r.readImage(), 2, 2), 0, 0, 0, 1));
}

TEST_F(ViewRendererGL, GroundShadowMapIsKeptWhileOnlyTheCameraMoves) {
    AutoPtr<Lumo::Graphics::GroupNode> root = QuadScene(0.5f, 0, {0.9f, 0.1f, 0.1f, 1});
    // Stand the quad up on the ground (y = 0 is its lowest edge), looked at from above.
    AutoPtr<RenderParams> params = RenderParams::make();
    params->renderer(eRendererVisualEffect);
    params->transparentCollectionEnabled(false);
    params->groundPlaneEnabled(true);
    params->groundShadowEnabled(true);
    StrongRef<Camera> camera = FrontCamera();
    camera->position(ZoGePoint3d(0, 4, 3));
    AddFragment(root, camera, params);
    ViewRendererForImage r(view);
    auto& passes = r.engine().passRenderer();
    StrongRef<Brio::MemoryImageResource> first = Draw(r);
    ASSERT_TRUE(first);
    EXPECT_EQ(passes.shadowMapsDrawn(), 1);
    camera->position(ZoGePoint3d(1, 4, 3));
    StrongRef<Brio::MemoryImageResource> moved = Draw(r);
    EXPECT_EQ(passes.shadowMapsDrawn(), 1) << "the light did not move";
    EXPECT_NE(first->pixels(), moved->pixels());
    // A changed model draws the map again.
    Lumo::Scene::GetAttributeSet(root->Child(0))
        ->SetAttribute(AutoPtr<Lumo::Scene::Attribute>(Lumo::Scene::ColorEffectAttribute::Make({0.1f, 0.9f, 0.1f, 1})));
    Draw(r);
    EXPECT_EQ(passes.shadowMapsDrawn(), 2);
}

TEST_F(ViewRendererGL, CollectedTransparencyIsResolvedBeforeTheNextOpaquePass) {
    // A half-transparent white quad over an opaque blue one, in two passes of one fragment.
    AutoPtr<Lumo::Graphics::GroupNode> glass = QuadScene(0.6f, 0.5f, {1, 1, 1, 1});
    Lumo::Scene::GetAttributeSet(glass->Child(0))
        ->SetAttribute(AutoPtr<Lumo::Scene::Attribute>(Lumo::Scene::OpacityAttribute::Make(0.5f, false)));
    AutoPtr<Lumo::Graphics::GroupNode> back = QuadScene(1.0f, 0, {0.1f, 0.1f, 0.9f, 1});
    AutoPtr<RenderParams> collecting = RenderParams::make();
    collecting->renderer(eRendererLayer);
    collecting->transparentCollectionEnabled(true);
    StrongRef<ViewFragment> f = AddFragment(back, FrontCamera(), collecting);
    f->addLayerPass(ViewFragmentPass(glass, nullptr, false, collecting));
    std::vector<ViewFragmentPass> passes;
    viewFragmentNodeData(f->viewFragmentNode())->viewFragmentRenderingPass(passes);
    ASSERT_EQ(passes.size(), 3u);
    EXPECT_EQ(passes[2].renderParams->renderer(), 10) << "the resolve pass ends the list";

    ViewRendererForImage r(view);
    StrongRef<Brio::MemoryImageResource> image = Draw(r);
    const Pix mixed = At(*image, kW / 2, kH / 2);
    EXPECT_GT(mixed.r, 90) << "white blended over blue: " << S(mixed);
    EXPECT_GT(mixed.b, 150) << S(mixed);
    EXPECT_LT(mixed.r, 220) << S(mixed);
}

TEST_F(ViewRendererGL, PerspectiveClipRangeKeepsTheNearFarRatio) {
    AutoPtr<Lumo::Graphics::GroupNode> root = QuadScene(0.5f, 0, {0.9f, 0.1f, 0.1f, 1});
    StrongRef<Camera> camera = FrontCamera();
    camera->projection(Camera::ePerspective);
    AddFragment(root, camera);
    std::wstring reply;
    ASSERT_TRUE(Brio::TextCommand::run(L"Scene.MaxNearFarRatio 50", reply));
    EXPECT_EQ(reply, L"Perspective max near/far ratio: 50.0000");
    EXPECT_FALSE(Brio::TextCommand::run(L"Scene.MaxNearFarRatio 0.5", reply)) << reply;
    ViewRendererForImage r(view);
    StrongRef<Brio::MemoryImageResource> image = Draw(r);
    EXPECT_GT(camera->clipNear(), 0.0);
    EXPECT_GE(camera->clipNear() * 50.0, camera->clipFar() * 0.999);
    EXPECT_GT(At(*image, kW / 2, kH / 2).r, 120) << "the quad lies inside the clip range";
}

} // namespace
} // namespace SceneGL
