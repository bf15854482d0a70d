// A view drawn into a real X11 window reads back as the same view drawn into an image.
#include "SceneGLSupport.h"

#include <Brio/Base/MemoryImageResource.h>
#include <Brio/DataModel/Asset.h>
#include <Brio/DataModel/Segment.h>
#include <Brio/Types/BBox.h>
#include <Brio/Types/Point3f.h>
#include <Scene/Diagnostics/FPSRateMetric.h>
#include <Scene/Environment/Camera.h>
#include <Scene/Environment/Viewport.h>
#include <Scene/View/GraphicsOptionGroup.h>
#include <Scene/View/Provider.h>
#include <Scene/View/RenderEngine.h>
#include <Scene/View/ViewFragment.h>
#include <Scene/View/ViewNodeData.h>
#include <Scene/View/ViewNodes.h>
#include <Scene/View/ViewRendererForImage.h>
#include <Scene/View/ViewRendererForWindow.h>
#include <ZoGe/ZoGe.h>

#include "X11TestWindow.h"

namespace {

using namespace SceneGL;
using namespace Brio::Scene;
using Brio::StrongRef;

constexpr int kW = 80, kH = 60;

/// A view of a sphere lit by the device's rig, with a flat-coloured quad behind it.
struct View {
    StrongRef<Brio::Asset> asset = Brio::Asset::make(L"Window");
    Brio::Segment* segment = asset->createSegment(L"View");
    AutoPtr<Lumo::Graphics::GroupNode> node{makeViewNode(nullptr)};
    AutoPtr<Lumo::Graphics::GroupNode> root = Group();
    StrongRef<ViewFragment> fragment = ViewFragment::make(segment);

    View() {
        StrongRef<Viewport> window = Viewport::make(segment);
        window->set(0, kW, 0, kH);
        viewNodeData(node)->viewport(window);
        AutoPtr<Lumo::Devices::SimpleMesh> ball(Sphere(0.8f));
        const vec4<float> orange(0.9f, 0.5f, 0.2f, 1.0f);
        root->AddChild(Leaf(ball, kFaces, &orange));
        StrongRef<Camera> camera = Camera::make(segment);
        camera->projection(Camera::ePerspective);
        camera->position(ZoGePoint3d(0, 0, 4));
        camera->target(ZoGePoint3d(0, 0, 0));
        camera->up(ZoGeVector3d(0, 1, 0));
        camera->fit(Brio::BBox(Brio::Point3f(-1, -1, -1), Brio::Point3f(1, 1, 1)));
        fragment->camera(camera);
        AutoPtr<RenderParams> params = RenderParams::make();
        params->renderer(eRendererLayer);
        params->transparentCollectionEnabled(false);
        fragment->scene(root, params);
        node->AddChild(fragment->viewFragmentNode());
    }
    ~View() { node->RemoveChild(fragment->viewFragmentNode()); }
};

TEST(ViewRendererForWindowTest, WindowShowsWhatTheImageRendererDraws) {
    TestWindow win(kW, kH);
    if (!win.display)
        GTEST_SKIP() << "no X display";
    EnsureLibrary();
    GraphicsOptionGroup::get()->MSAA(false);
    GraphicsOptionGroup::get()->FXAA(false);
    View view;

    ViewRenderer* image = Provider::provider()->requestViewRenderer(view.node, nullptr);
    ViewRenderer* window =
        Provider::provider()->requestViewRenderer(view.node, reinterpret_cast<void*>(std::uintptr_t(win.window)));
    ASSERT_NE(dynamic_cast<ViewRendererForImage*>(image), nullptr);
    ASSERT_NE(dynamic_cast<ViewRendererForWindow*>(window), nullptr);

    image->render(ViewRenderer::eInvalidateAll);
    StrongRef<Brio::MemoryImageResource> expected = image->readImage();
    ASSERT_TRUE(expected);
    window->render(ViewRenderer::eInvalidateAll);
    XSync(win.display, False);
    XImage* shot = XGetImage(win.display, win.window, 0, 0, kW, kH, AllPlanes, ZPixmap);
    ASSERT_NE(shot, nullptr);
    auto channel = [](unsigned long p, unsigned long mask) {
        int shift = 0;
        while (mask && !(mask & 1)) {
            mask >>= 1;
            ++shift;
        }
        return int((p >> shift) & mask);
    };
    int differing = 0, lit = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const unsigned long p = XGetPixel(shot, x, y);
            const std::uint8_t* e = expected->pixel(x, y);
            const int r = channel(p, shot->red_mask), g = channel(p, shot->green_mask), b = channel(p, shot->blue_mask);
            if (std::abs(r - e[0]) > 2 || std::abs(g - e[1]) > 2 || std::abs(b - e[2]) > 2)
                ++differing;
            if (r > e[2] + 60)
                ++lit; // the orange ball
        }
    XDestroyImage(shot);
    EXPECT_EQ(differing, 0);
    EXPECT_GT(lit, kW * kH / 10) << "the ball fills a good part of the window";

    // Window frames are measured; image frames are not.
    EXPECT_GT(FPSRateMetric::frameRate().measurements(), 0);
    Provider::provider()->releaseViewRenderer(window);
    Provider::provider()->releaseViewRenderer(image);
    Provider::provider()->releaseViewRenderer(nullptr); // nothing happens
}

} // namespace
