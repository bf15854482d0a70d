#include "GLTestSupport.h"

#include <Lumo/Devices/WindowTarget.h>

#include "X11TestWindow.h"

using namespace GLTest;
using namespace Lumo::Devices;

namespace {

TEST(WindowTargetTest, FramesAppearInTheWindow) {
    TestWindow win(64, 48);
    if (!win.display)
        GTEST_SKIP() << "no X display";
    ASSERT_NE(Device(), nullptr);
    std::string error;
    AutoPtr<WindowTarget> target(WindowTarget::Make(win.display, win.window, &error));
    ASSERT_TRUE(target) << error;
    EXPECT_EQ(target->Width(), 64);
    EXPECT_EQ(target->Height(), 48);
    AutoPtr<RenderTarget> color(RenderTarget::Make(64, 48, eTargetRGBA8, Device()->MultisampleCount()));
    ASSERT_TRUE(Device()->Draw().BindTargets(color, nullptr));
    Device()->Draw().Clear(eClearColor, {1, 0, 0, 1});
    ASSERT_TRUE(target->Present(Device()->Draw(), color));
    XSync(win.display, False);
    XImage* shot = XGetImage(win.display, win.window, 0, 0, 64, 48, AllPlanes, ZPixmap);
    ASSERT_NE(shot, nullptr);
    const unsigned long p = XGetPixel(shot, 32, 24);
    EXPECT_EQ(p & shot->red_mask, shot->red_mask);
    EXPECT_EQ(p & shot->green_mask, 0u);
    EXPECT_EQ(p & shot->blue_mask, 0u);
    XDestroyImage(shot);
}

TEST(WindowTargetTest, BadWindowsAreRefused) {
    TestWindow win(8, 8);
    if (!win.display)
        GTEST_SKIP() << "no X display";
    std::string error;
    EXPECT_FALSE(WindowTarget::Make(win.display, 0, &error));
    EXPECT_EQ(error, "no such window");
}

} // namespace
