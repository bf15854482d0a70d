#pragma once
// A mapped window of the display ($DISPLAY; the window tests run under Xvfb).
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace GLTest {

struct TestWindow {
    Display* display = XOpenDisplay(nullptr);
    Window window = 0;
    TestWindow(int w, int h) {
        if (!display)
            return;
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, unsigned(w), unsigned(h), 0, 0, 0);
        XMapWindow(display, window);
        XSync(display, False);
    }
    ~TestWindow() {
        if (!display)
            return;
        XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
};

} // namespace GLTest
