#include "CameraTestSupport.h"

#include <Brio/Types/BRect.h>
#include <Scene/Environment/Viewport.h>

using Brio::BRect;
using Brio::Scene::Viewport;
using CameraTest::TestSegment;

TEST(ViewportTest, ANewViewportCoversTheWholeWindow) {
    auto v = Viewport::make(TestSegment());
    EXPECT_EQ(v->space(), Viewport::eRelative);
    double l, r, b, t;
    v->get(l, r, b, t);
    EXPECT_EQ(l, 0.0);
    EXPECT_EQ(r, 1.0);
    EXPECT_EQ(b, 0.0);
    EXPECT_EQ(t, 1.0);
    EXPECT_EQ(v->windowRect(BRect(10, 20, 110, 70)), BRect(10, 20, 110, 70));

    v->set(0.5, 1, 0, 1);
    EXPECT_EQ(v->width(), 0.5);
    EXPECT_EQ(v->height(), 1.0);
}

TEST(ViewportTest, RectanglesComeOutNormalised) {
    auto v = Viewport::make(TestSegment());
    v->space(Viewport::eAbsolute);
    v->set(BRect(10, 20, 50, 80));
    EXPECT_EQ(v->left(), 10.0);
    EXPECT_EQ(v->right(), 50.0);
    EXPECT_EQ(v->bottom(), 20.0) << "the smaller y";
    EXPECT_EQ(v->top(), 80.0);
    BRect r;
    v->get(r);
    EXPECT_EQ(r, BRect(10, 20, 50, 80));

    v->set(50, 10, 80, 20); // reversed both ways
    EXPECT_EQ(v->width(), -40.0);
    v->get(r);
    EXPECT_EQ(r, BRect(10, 20, 50, 80));
    EXPECT_EQ(v->windowRect(BRect(0, 0, 640, 480)), BRect(10, 20, 50, 80)) << "absolute: window pixels";
}

TEST(ViewportTest, RelativeViewportsScaleTheWindowFromItsMinimumCorner) {
    auto v = Viewport::make(TestSegment());
    v->set(0.25, 0.75, 0.5, 1.0);
    EXPECT_EQ(v->windowRect(BRect(100, 40, 500, 240)), BRect(200, 140, 400, 240));
    v->set(0.0, 1.0 / 3.0, 0.0, 1.0);
    EXPECT_EQ(v->windowRect(BRect(0, 0, 100, 10)), BRect(0, 0, 33, 10)) << "rounded to pixels";

    v->space(Viewport::ESpace(7));
    EXPECT_EQ(v->windowRect(BRect(1, 2, 3, 4)), BRect(1, 2, 3, 4)) << "unknown spaces cover the window";

    v->space(Viewport::eAbsolute);
    v->set(-1e300, 1e300, 0, 1);
    BRect r;
    v->get(r);
    EXPECT_LT(r.left(), 0);
    EXPECT_GT(r.right(), 0) << "out-of-range values are clamped, not wrapped";
}
