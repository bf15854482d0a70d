#include <Lumo/Devices/DrawManager.h>
#include <Lumo/Devices/RenderTarget.h>
#include <Lumo/Devices/WindowTarget.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>

namespace Lumo::Devices {

LUMO_DEFINE_CLASS(WindowTarget, Lumo::Objects::ARefCounted)

WindowTarget* WindowTarget::Make(void* display, unsigned long window, std::string* error) {
    auto fail = [&](const char* why) -> WindowTarget* {
        if (error)
            *error = why;
        return nullptr;
    };
    Display* d = static_cast<Display*>(display);
    bool owns = false;
    if (!d) {
        d = XOpenDisplay(nullptr);
        if (!d)
            return fail("cannot open the X display");
        owns = true;
    }
    XWindowAttributes attrs{};
    if (!window || !XGetWindowAttributes(d, Window(window), &attrs)) {
        if (owns)
            XCloseDisplay(d);
        return fail("no such window");
    }
    if (!attrs.visual || attrs.visual->c_class != TrueColor || (attrs.depth != 24 && attrs.depth != 32)) {
        if (owns)
            XCloseDisplay(d);
        return fail("the window has no 24- or 32-bit true-colour visual");
    }
    auto* t = new WindowTarget;
    t->m_display = d;
    t->m_ownsDisplay = owns;
    t->m_window = window;
    t->m_visual = attrs.visual;
    t->m_depth = attrs.depth;
    t->m_gc = XCreateGC(d, Window(window), 0, nullptr);
    return t;
}

WindowTarget::~WindowTarget() {
    auto* d = static_cast<Display*>(m_display);
    if (!d)
        return;
    if (m_gc)
        XFreeGC(d, static_cast<GC>(m_gc));
    if (m_ownsDisplay)
        XCloseDisplay(d);
}

int WindowTarget::Width() const {
    XWindowAttributes attrs{};
    return XGetWindowAttributes(static_cast<Display*>(m_display), Window(m_window), &attrs) ? attrs.width : 0;
}

int WindowTarget::Height() const {
    XWindowAttributes attrs{};
    return XGetWindowAttributes(static_cast<Display*>(m_display), Window(m_window), &attrs) ? attrs.height : 0;
}

bool WindowTarget::Present(DrawManager& draw, RenderTarget* image) {
    if (!image || !draw.ReadPixels(image, m_rgba))
        return false;
    const int w = image->Width(), h = image->Height();
    auto* visual = static_cast<Visual*>(m_visual);
    m_bgrx.resize(size_t(w) * size_t(h) * 4);
    // Pack by the visual's masks (usually 0xff0000, 0xff00, 0xff) into 32-bit pixels.
    auto shift = [](unsigned long mask) {
        int s = 0;
        while (mask && !(mask & 1)) {
            mask >>= 1;
            ++s;
        }
        return s;
    };
    const int rs = shift(visual->red_mask), gs = shift(visual->green_mask), bs = shift(visual->blue_mask);
    auto* out = reinterpret_cast<std::uint32_t*>(m_bgrx.data());
    for (size_t i = 0; i < size_t(w) * size_t(h); ++i) {
        const std::uint8_t* p = &m_rgba[i * 4];
        out[i] = (std::uint32_t(p[0]) << rs) | (std::uint32_t(p[1]) << gs) | (std::uint32_t(p[2]) << bs);
    }
    auto* d = static_cast<Display*>(m_display);
    XImage* img = XCreateImage(d, visual, unsigned(m_depth), ZPixmap, 0, reinterpret_cast<char*>(m_bgrx.data()),
                               unsigned(w), unsigned(h), 32, w * 4);
    if (!img)
        return false;
    XPutImage(d, Window(m_window), static_cast<GC>(m_gc), img, 0, 0, 0, 0, unsigned(w), unsigned(h));
    img->data = nullptr; // ours, not Xlib's to free
    XDestroyImage(img);
    // Done when the server has it: what is read from the window next is this frame.
    XSync(d, False);
    return true;
}

} // namespace Lumo::Devices
