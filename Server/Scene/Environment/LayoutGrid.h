#pragma once
#include <Lumo/Objects/AutoPtr.h>
#include <ZoGe/ZoGePoint2d.h>
#include <ZoGe/ZoGePoint3d.h>
#include <ZoGe/ZoGeVector3d.h>

#include <vector>

namespace Lumo::Devices {
class SimpleMesh;
}
namespace Lumo::Graphics {
class ARenderNode;
class GroupNode;
} // namespace Lumo::Graphics
namespace Lumo::Objects {
class SBox3;
class SharedMatrix;
} // namespace Lumo::Objects

namespace Brio::Scene {

class Camera;
class Environment;

/// The reference grid of a modelling view: major and minor lines on the scene plane that faces
/// the camera, sized to the model, an origin marker and optional reference numbers. Its
/// environment gives its colour and scale factor; the view calls setup before drawing.
class LayoutGrid {
public:
    explicit LayoutGrid(Environment* environment);
    virtual ~LayoutGrid();
    LayoutGrid(const LayoutGrid&) = delete;
    LayoutGrid& operator=(const LayoutGrid&) = delete;

    /// The group the grid lives under (made with the grid).
    Lumo::Graphics::GroupNode* getRootNode() const { return m_root; }
    Lumo::Graphics::ARenderNode* gridNode() const { return m_gridNode; }
    Lumo::Graphics::ARenderNode* originNode() const { return m_originNode; }
    Lumo::Graphics::GroupNode* textGroup() const { return m_textGroup; }

    void setSnapIncrement(float increment);
    float snapIncrement() const { return m_snapIncrement; }
    void setUnitConversionFactor(double factor) { m_unitFactor = factor; }
    double unitConversionFactor() const { return m_unitFactor; }
    void setVisible(bool visible);
    bool visible() const { return m_visible; }
    void setSubdivisions(int subdivisions);
    int subdivisions() const { return m_subdivisions; }
    void setActivatedViewHandle(void* handle) { m_viewHandle = handle; }
    void* activatedViewHandle() const { return m_viewHandle; }
    void setEnvironmentTransf(Lumo::Objects::SharedMatrix* transform);
    /// The scene's axes: a becomes the third (the plane normal of the default view), b and c
    /// the first and second.
    void setSceneDir(const ZoGeVector3d& a, const ZoGeVector3d& b, const ZoGeVector3d& c);

    /// Builds or refreshes the grid for the camera and the model box; rebuilds only what the
    /// camera or box made stale.
    void setup(Camera* camera, const Lumo::Objects::SBox3& modelBox, void* viewHandle);
    /// Removes the grid node.
    void clear();

    /// Where the grid's first major line lies relative to the centre, per grid direction,
    /// and how many major blocks it spans.
    const ZoGePoint2d& gridOrigin() const { return m_origin; }
    int majorBlockCount(int direction) const { return m_blocks[direction & 1]; }
    /// The half size of the last setup.
    double halfSize() const { return m_halfSize; }
    /// How often the grid mesh was built (for callers that watch rebuilds).
    int buildCount() const { return m_builds; }

    /// Covers [c - s, c + s] with major blocks of size b: the first major line (relative to
    /// c) and the block count.
    static void calcMajorBlockCount(double c, double s, double b, double& first, int& count);
    /// 0 lies strictly inside both intervals of the half size about the centre.
    static bool isOriginVisible(double halfSize, double cx, double cy);

private:
    void changeCamera(Camera* camera);
    bool computeGridPosition(double halfSize, double cx, double cy);
    Lumo::Devices::SimpleMesh* createGridMesh(double cx, double cy) const;
    Lumo::Devices::SimpleMesh* createOriginMesh() const;
    void createTextGroup(double cx, double cy);
    void removeGridNode();
    void ensureRoot();
    /// The grid's unit axes: 0 and 1 in its plane, 2 its normal.
    ZoGeVector3d axis(int i) const;
    /// Grid plane coordinates to scene coordinates.
    ZoGePoint3d toScene(double u, double v) const;

    Environment* m_environment;
    bool m_visible = true;
    float m_snapIncrement = 1.0f;
    double m_unitFactor = 1.0;
    int m_subdivisions = 5;
    ZoGeVector3d m_lastDirection{0, 0, 0};
    int m_lastProjection = 1;
    ZoGePoint2d m_origin{0, 0};
    int m_blocks[2] = {0, 0};
    ZoGeVector3d m_dirs[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    int m_axis[3] = {0, 1, 2}; // the scene axes the grid uses: two in its plane, then the normal
    Lumo::Objects::AutoPtr<Lumo::Objects::SharedMatrix> m_envTransform;
    void* m_viewHandle = nullptr;
    double m_halfSize = 0;
    double m_centre[2] = {0, 0};
    double m_plane = 0; // the grid plane's offset along the third axis
    int m_builds = 0;
    Lumo::Objects::AutoPtr<Lumo::Graphics::GroupNode> m_root;
    Lumo::Objects::AutoPtr<Lumo::Graphics::ARenderNode> m_gridNode;
    Lumo::Objects::AutoPtr<Lumo::Graphics::ARenderNode> m_originNode;
    Lumo::Objects::AutoPtr<Lumo::Graphics::GroupNode> m_textGroup;
};

} // namespace Brio::Scene
