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
#include <string>
#include <vector>

namespace {

/// Prints the nearest thing under a window pixel, as `brioscene pick` would.
void Select(Host::Document& doc, int width, int height, int x, int y) {
    Host::Picker picker(doc, width, height, "saved");
    const std::vector<Host::PickHit> hits = picker.point(x, y, 3);
    if (hits.empty())
        return;
    const Host::PickHit& h = hits.front();
    std::string path;
    for (const std::string& p : h.path)
        path += (path.empty() ? "" : " / ") + p;
    if (h.kind == "background")
        std::printf("Selected nothing (the background at %.4g, %.4g, %.4g)\n", h.point[0], h.point[1], h.point[2]);
    else
        std::printf("Selected %s %d of %s at (%.4g, %.4g, %.4g)\n", h.kind.c_str(), h.id, path.c_str(), h.point[0],
                    h.point[1], h.point[2]);
    std::fflush(stdout);
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
                     PointerMotionMask);
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
    int clickX = 0, clickY = 0;
    bool clicking = false;
    int frames = 0;
    bool dirty = true, running = true;
    while (running) {
        // Take every waiting event, then draw once: motion comes faster than frames.
        while (running && (XPending(display) || !dirty)) {
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
                }
                break;
            case ButtonRelease:
                // A click (a press and release in place) selects what lies under the pointer.
                if (clicking && std::abs(e.xbutton.x - clickX) < 3 && std::abs(e.xbutton.y - clickY) < 3) {
                    navigator.release();
                    Select(doc, width, height, clickX, clickY);
                }
                clicking = false;
                if (navigator.dragging()) {
                    navigator.release();
                    renderer->interactive(false);
                    dirty = true; // the still frame with every effect
                }
                break;
            case MotionNotify:
                dirty = navigator.move(e.xmotion.x, e.xmotion.y) || dirty;
                break;
            default:
                break;
            }
        }
        if (running && dirty) {
            renderer->render(ViewRenderer::eInvalidateAll);
            dirty = false;
            if (frames == 0)
                for (const auto& [cx, cy] : o.clicks) // through the server, as real clicks come
                    for (int type : {ButtonPress, ButtonRelease}) {
                        XEvent c{};
                        c.xbutton.type = type;
                        c.xbutton.display = display;
                        c.xbutton.window = window;
                        c.xbutton.button = Button1;
                        c.xbutton.x = cx;
                        c.xbutton.y = cy;
                        c.xbutton.same_screen = True;
                        XSendEvent(display, window, False, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask,
                                   &c);
                    }
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
