#include <Scene/View/ViewFragmentTransformer.h>

namespace Brio::Scene {

namespace {

/// p as (x, y, z, 1) through m, without dividing by w.
void homogeneous(const ZoGeMatrix3d& m, const ZoGePoint3d& p, double out[4]) {
    for (int r = 0; r < 4; ++r)
        out[r] = m.entry[r][0] * p.x + m.entry[r][1] * p.y + m.entry[r][2] * p.z + m.entry[r][3];
}

} // namespace

ViewFragmentTransformer::ViewFragmentTransformer() = default;

ViewFragmentTransformer::ViewFragmentTransformer(const ZoGeMatrix3d& view, const ZoGeMatrix3d& projection,
                                                 const ZoGeMatrix3d& viewport)
    : m_view(view), m_proj(projection), m_viewport(viewport) {}

ViewFragmentTransformer::ViewFragmentTransformer(const ViewFragmentTransformer& other) = default;
ViewFragmentTransformer& ViewFragmentTransformer::operator=(const ViewFragmentTransformer& other) = default;

void ViewFragmentTransformer::screenToCamera(const ZoGePoint3d& screen, ZoGePoint3d& out) const {
    if (!perspective()) {
        out = (m_viewport * m_proj).inverse() * screen;
        return;
    }
    // The device point has lost w; the projection's depth row gives it back from the depth.
    const ZoGePoint3d p = m_viewport.inverse() * screen;
    const double t = m_proj.entry[2][3] / (p.z + m_proj.entry[2][2]);
    const double clip[4] = {t * p.x, t * p.y, t * p.z, t};
    const ZoGeMatrix3d inverse = m_proj.inverse();
    double c[3];
    for (int r = 0; r < 3; ++r)
        c[r] = inverse.entry[r][0] * clip[0] + inverse.entry[r][1] * clip[1] + inverse.entry[r][2] * clip[2] +
               inverse.entry[r][3] * clip[3];
    out = ZoGePoint3d(c[0], c[1], c[2]);
}

void ViewFragmentTransformer::screenToWorld(const ZoGePoint3d& screen, ZoGePoint3d& out) const {
    ZoGePoint3d camera;
    screenToCamera(screen, camera);
    out = m_view.inverse() * camera;
}

void ViewFragmentTransformer::screenToModel(const ZoGePoint3d& screen, ZoGePoint3d& out,
                                            const ZoGeMatrix3d& model) const {
    ZoGePoint3d camera;
    screenToCamera(screen, camera);
    out = model.inverse() * (m_view.inverse() * camera);
}

void ViewFragmentTransformer::cameraToScreen(const ZoGePoint3d& camera, ZoGePoint3d& out) const {
    double h[4];
    homogeneous(m_proj, camera, h);
    if (h[3] == 0.0)
        out = m_viewport * ZoGePoint3d::kOrigin;
    else
        out = m_viewport * ZoGePoint3d(h[0] / h[3], h[1] / h[3], h[2] / h[3]);
}

void ViewFragmentTransformer::worldToScreen(const ZoGePoint3d& world, ZoGePoint3d& out) const {
    cameraToScreen(m_view * world, out);
}

void ViewFragmentTransformer::modelToScreen(const ZoGePoint3d& point, ZoGePoint3d& out,
                                            const ZoGeMatrix3d& model) const {
    cameraToScreen(m_view * (model * point), out);
}

double ViewFragmentTransformer::screenToWorld(double length, double depth) const {
    ZoGePoint3d atDepth;
    cameraToScreen(ZoGePoint3d(0.0, 0.0, -depth), atDepth);
    ZoGePoint3d a, b;
    screenToWorld(ZoGePoint3d(0.0, 0.0, atDepth.z), a);
    screenToWorld(ZoGePoint3d(length, 0.0, atDepth.z), b);
    return a.distanceTo(b);
}

double ViewFragmentTransformer::screenToModel(double length, double depth, const ZoGeMatrix3d& model) const {
    ZoGePoint3d atDepth;
    cameraToScreen(ZoGePoint3d(0.0, 0.0, -depth), atDepth);
    ZoGePoint3d a, b;
    screenToWorld(ZoGePoint3d(0.0, 0.0, atDepth.z), a);
    screenToWorld(ZoGePoint3d(length, 0.0, atDepth.z), b);
    const ZoGeMatrix3d toModel = model.inverse();
    return (toModel * a).distanceTo(toModel * b);
}

} // namespace Brio::Scene
