// The sample host's window: one view of one fragment drawn by the window renderer, the camera
// moved by the mouse as CAD users expect.
#include "Viewer.h"

#include <Brio/Brio.h>
#include <Host/Host.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Scene/Scene.h>
#include <ZoGe/ZoGe.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string PathOf(const Host::PickHit& h) {
    std::string path;
    for (const std::string& p : h.path)
        path += (path.empty() ? "" : " / ") + p;
    return path;
}

/// Selects what lies under the pointer (the background clears the selection) and prints it.
/// True when the picture changes.
bool Select(const Host::Picker& picker, Host::Highlighter& highlighter, int x, int y) {
    const std::vector<Host::PickHit> hits = picker.point(x, y, 3);
    if (hits.empty())
        return false;
    const Host::PickHit& h = hits.front();
    if (h.kind == "background")
        std::printf("Selected nothing (the background at %.4g, %.4g, %.4g)\n", h.point[0], h.point[1], h.point[2]);
    else
        std::printf("Selected %s %d of %s at (%.4g, %.4g, %.4g)\n", h.kind.c_str(), h.id, PathOf(h).c_str(), h.point[0],
                    h.point[1], h.point[2]);
    std::fflush(stdout);
    return h.body ? highlighter.select(h) : highlighter.clearSelection();
}

/// Prehighlights what lies under the pointer; says so when that changes. True when the picture
/// changes.
bool Hover(const Host::Picker& picker, Host::Highlighter& highlighter, int x, int y) {
    const std::vector<Host::PickHit> hits = picker.point(x, y, 3);
    if (hits.empty() || !hits.front().body)
        return highlighter.clearPrehighlight();
    if (!highlighter.prehighlight(hits.front()))
        return false;
    if (highlighter.prehighlighted())
        std::printf("Under the pointer: %s\n", PathOf(hits.front()).c_str());
    std::fflush(stdout);
    return true;
}

/// Sends the window an event as the server would deliver it, for scripted runs.
void Send(Display* display, Window window, int type, int x, int y) {
    XEvent c{};
    long mask = 0;
    if (type == MotionNotify) {
        c.xmotion.type = type;
        c.xmotion.display = display;
        c.xmotion.window = window;
        c.xmotion.x = x;
        c.xmotion.y = y;
        c.xmotion.same_screen = True;
        mask = PointerMotionMask;
    } else {
        c.xbutton.type = type;
        c.xbutton.display = display;
        c.xbutton.window = window;
        c.xbutton.button = Button1;
        c.xbutton.x = x;
        c.xbutton.y = y;
        c.xbutton.same_screen = True;
        mask = type == ButtonPress ? ButtonPressMask : ButtonReleaseMask;
    }
    XSendEvent(display, window, False, mask, &c);
}

} // namespace

int RunViewer(Host::Document& doc, const ViewerOptions& o) {
    using namespace Brio::Scene;
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "brioscene: cannot open the X display (is DISPLAY set?)\n");
        return 1;
    }
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, unsigned(o.width), unsigned(o.height), 0, 0, 0);
    const std::string title = "brioscene: " + doc.model().name();
    XStoreName(display, window, title.c_str());
    XSelectInput(display, window,
                 ExposureMask | StructureNotifyMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask |
                     PointerMotionMask | LeaveWindowMask);
    Atom closeAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &closeAtom, 1);
    XMapWindow(display, window);
    XSync(display, False);

    Provider::provider()->initialize();
    if (!doc.hasCamera())
        Host::AimCamera(doc, "iso");
    doc.showModel();
    Brio::Segment* segment = doc.asset().transientSegment();
    Brio::StrongRef<ViewFragment> fragment = ViewFragment::make(segment);
    fragment->camera(&doc.camera());
    fragment->scene(&doc.adapter());
    Lumo::Objects::AutoPtr<Lumo::Graphics::GroupNode> view(makeViewNode(nullptr));
    Brio::StrongRef<Viewport> viewport = Viewport::make(segment);
    int width = o.width, height = o.height;
    viewport->set(0, width, 0, height);
    viewNodeData(view)->viewport(viewport);
    view->AddChild(fragment->viewFragmentNode());
    ViewRenderer* renderer =
        Provider::provider()->requestViewRenderer(view, reinterpret_cast<void*>(std::uintptr_t(window)));

    Host::Navigator navigator(doc, height);
    // One picker for the window's size, following the camera: hovering picks at every move.
    auto picker = std::make_unique<Host::Picker>(doc, width, height, "saved");
    Host::Highlighter highlighter(doc);
    int clickX = 0, clickY = 0, hoverX = 0, hoverY = 0;
    bool clicking = false, hovering = false;
    int frames = 0;
    bool dirty = true, running = true;
    while (running) {
        // Take every waiting event, then pick and draw once: motion comes faster than frames.
        while (running && (XPending(display) || (!dirty && !hovering))) {
            XEvent e;
            XNextEvent(display, &e);
            switch (e.type) {
            case Expose:
                dirty = true;
                break;
            case ConfigureNotify:
                if (e.xconfigure.width != width || e.xconfigure.height != height) {
                    width = e.xconfigure.width;
                    height = e.xconfigure.height;
                    viewport->set(0, width, 0, height);
                    navigator.viewportHeight(height);
                    picker = std::make_unique<Host::Picker>(doc, width, height, "saved");
                    dirty = true;
                }
                break;
            case ClientMessage:
                if (Atom(e.xclient.data.l[0]) == closeAtom)
                    running = false;
                break;
            case KeyPress: {
                const KeySym key = XLookupKeysym(&e.xkey, 0);
                if (key == XK_q || key == XK_Escape)
                    running = false;
                else if (key == XK_f) {
                    navigator.fit();
                    dirty = true;
                }
                break;
            }
            case ButtonPress:
                if (e.xbutton.button == Button4 || e.xbutton.button == Button5) {
                    navigator.wheel(e.xbutton.button == Button4);
                    dirty = true;
                } else if (e.xbutton.button <= Button3) {
                    using B = Host::Navigator::Button;
                    const B button = e.xbutton.button == Button1   ? B::Left
                                     : e.xbutton.button == Button2 ? B::Middle
                                                                   : B::Right;
                    navigator.press(button, e.xbutton.state & ShiftMask, e.xbutton.x, e.xbutton.y);
                    clickX = e.xbutton.x;
                    clickY = e.xbutton.y;
                    clicking = button == B::Left && !(e.xbutton.state & ShiftMask);
                    renderer->interactive(navigator.dragging());
                    hovering = false;
                    dirty = highlighter.clearPrehighlight() || dirty; // not while the view moves
                }
                break;
            case ButtonRelease:
                // A click (a press and release in place) selects what lies under the pointer.
                if (clicking && std::abs(e.xbutton.x - clickX) < 3 && std::abs(e.xbutton.y - clickY) < 3) {
                    navigator.release();
                    dirty = Select(*picker, highlighter, clickX, clickY) || dirty;
                }
                clicking = false;
                if (navigator.dragging()) {
                    navigator.release();
                    renderer->interactive(false);
                    dirty = true; // the still frame with every effect
                }
                break;
            case MotionNotify:
                if (navigator.dragging() || (e.xmotion.state & (Button1Mask | Button2Mask | Button3Mask))) {
                    dirty = navigator.move(e.xmotion.x, e.xmotion.y) || dirty;
                } else {
                    hoverX = e.xmotion.x;
                    hoverY = e.xmotion.y;
                    hovering = true;
                }
                break;
            case LeaveNotify:
                hovering = false;
                dirty = highlighter.clearPrehighlight() || dirty;
                break;
            default:
                break;
            }
        }
        // Only the last position of a burst of motion is picked; a redraw only when what is
        // under the pointer changed.
        if (running && hovering) {
            hovering = false;
            dirty = Hover(*picker, highlighter, hoverX, hoverY) || dirty;
        }
        if (running && dirty) {
            renderer->render(ViewRenderer::eInvalidateAll);
            dirty = false;
            // Through the server, as real pointer events come: moves after the first frame,
            // clicks after the frame that shows them.
            if (frames == 0)
                for (const auto& [hx, hy] : o.hovers)
                    Send(display, window, MotionNotify, hx, hy);
            if (frames == (o.hovers.empty() ? 0 : 1))
                for (const auto& [cx, cy] : o.clicks)
                    for (int type : {ButtonPress, ButtonRelease})
                        Send(display, window, type, cx, cy);
            if (o.frames > 0) {
                running = ++frames < o.frames;
                dirty = true; // a scripted run draws frame after frame without waiting for input
            }
        }
    }
    Provider::provider()->releaseViewRenderer(renderer);
    view->RemoveChild(fragment->viewFragmentNode());
    XDestroyWindow(display, window);
    XCloseDisplay(display);
    return 0;
}
