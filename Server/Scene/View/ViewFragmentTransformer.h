#pragma once
#include <ZoGe/ZoGeMatrix3d.h>
#include <ZoGe/ZoGePoint3d.h>

namespace Brio::Scene {

/// Carries points and lengths of one view fragment between screen (pixels, depth in z),
/// camera, world and model space, from the fragment's view, projection and viewport matrices
/// (column vectors, as the host's geometry).
class ViewFragmentTransformer {
public:
    ViewFragmentTransformer();
    ViewFragmentTransformer(const ZoGeMatrix3d& view, const ZoGeMatrix3d& projection, const ZoGeMatrix3d& viewport);
    ViewFragmentTransformer(const ViewFragmentTransformer& other);
    ViewFragmentTransformer& operator=(const ViewFragmentTransformer& other);

    /// World to camera.
    const ZoGeMatrix3d& viewMatrix() const { return m_view; }
    void viewMatrix(const ZoGeMatrix3d& m) { m_view = m; }
    /// Camera to normalised device space.
    const ZoGeMatrix3d& projMatrix() const { return m_proj; }
    void projMatrix(const ZoGeMatrix3d& m) { m_proj = m; }
    /// Normalised device space to screen pixels.
    const ZoGeMatrix3d& viewportMatrix() const { return m_viewport; }
    void viewportMatrix(const ZoGeMatrix3d& m) { m_viewport = m; }

    void screenToCamera(const ZoGePoint3d& screen, ZoGePoint3d& out) const;
    void screenToWorld(const ZoGePoint3d& screen, ZoGePoint3d& out) const;
    /// model places the model in the world.
    void screenToModel(const ZoGePoint3d& screen, ZoGePoint3d& out, const ZoGeMatrix3d& model) const;
    /// A point on the eye's plane of a perspective projection lands where the origin does.
    void cameraToScreen(const ZoGePoint3d& camera, ZoGePoint3d& out) const;
    void worldToScreen(const ZoGePoint3d& world, ZoGePoint3d& out) const;
    void modelToScreen(const ZoGePoint3d& point, ZoGePoint3d& out, const ZoGeMatrix3d& model) const;

    /// The world length that `length` pixels cover at camera depth `depth`.
    double screenToWorld(double length, double depth) const;
    /// The same in model space.
    double screenToModel(double length, double depth, const ZoGeMatrix3d& model) const;

private:
    bool perspective() const { return m_proj.entry[3][3] == 0.0; }

    ZoGeMatrix3d m_view;
    ZoGeMatrix3d m_proj;
    ZoGeMatrix3d m_viewport;
};

} // namespace Brio::Scene
