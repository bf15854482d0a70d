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
                    renderer->interactive(navigator.dragging());
                }
                break;
            case ButtonRelease:
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
