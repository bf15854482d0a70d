#include <Host/Document/Document.h>
#include <Host/Document/Navigator.h>
#include <Host/Document/Render.h>

#include <Scene/Environment/Camera.h>
#include <ZoGe/ZoGe.h>

#include <algorithm>

namespace Host {

using Brio::Scene::Camera;

Camera& Navigator::camera() const {
    return m_doc->camera();
}

void Navigator::press(Button button, bool shift, int x, int y) {
    m_x = x;
    m_y = y;
    if (button == Button::Middle || (button == Button::Left && shift))
        m_mode = Mode::Pan;
    else if (button == Button::Left)
        m_mode = Mode::Orbit;
}

void Navigator::release() {
    m_mode = Mode::Still;
}

double Navigator::unitsPerPixel() const {
    const Camera& c = camera();
    const double h = double(std::max(1, m_height));
    // Perspective extents are a lens (size over distance); parallel ones are model sizes.
    if (c.projection() == Camera::ePerspective)
        return c.extentsHeight() * (c.position() - c.target()).length() / h;
    return c.extentsHeight() / h;
}

bool Navigator::move(int x, int y) {
    const int dx = x - m_x, dy = y - m_y;
    m_x = x;
    m_y = y;
    if (m_mode == Mode::Orbit)
        camera().orbit(dx, dy);
    else if (m_mode == Mode::Pan) {
        // The model follows the pointer: the camera moves the other way (screen y grows down).
        Camera& c = camera();
        const ZoGeVector3d right = c.right(), up = right.crossProduct(c.direction()).normal();
        c.dolly((right * -double(dx) + up * double(dy)) * unitsPerPixel());
    }
    return m_mode != Mode::Still;
}

void Navigator::wheel(bool in) {
    camera().zoom(in ? 0.85 : 1 / 0.85);
}

void Navigator::fit() {
    AimCamera(*m_doc, "iso");
}

} // namespace Host
