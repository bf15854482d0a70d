#include <Scene/Environment/LayoutGrid.h>

#include <Brio/Types/Color.h>
#include <Lumo/Devices/IndexBufferBuilder.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Devices/VertexBufferBuilder.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Objects/SharedMatrix.h>
#include <Scene/Change/GeometryConversion.h>
#include <Scene/Change/NodeChange.h>
#include <Scene/Environment/Camera.h>
#include <Scene/Environment/Environment.h>
#include <Scene/Environment/EnvironmentManager.h>
#include <Scene/Nodes/TextNode.h>
#include <Scene/View/GraphicsOptionGroup.h>
#include <ZoGe/ZoGeMatrix3d.h>
#include <ZoGe/ZoGeTol.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace Brio::Scene {

using Lumo::Graphics::ARenderNode;
using Lumo::Graphics::GroupNode;
using Lumo::Objects::AutoPtr;

namespace {

constexpr double kDefaultHalfSize = 25.0;
constexpr float kOriginAlpha = 0.415f;

double tol3() {
    return 3.0 * ZoGeTol::global().equalVector();
}

ZoGeTol wideTol() {
    return ZoGeTol(3.0 * ZoGeTol::global().equalPoint(), tol3());
}

/// Colour of the grid: the environment's, or a neutral grey without one.
Brio::Color gridColour(Environment* env) {
    return env ? env->layoutgridColor() : Brio::Color(0.55f, 0.55f, 0.6f, 1.0f);
}

} // namespace

LayoutGrid::LayoutGrid(Environment* environment) : m_environment(environment) {}

LayoutGrid::~LayoutGrid() = default;

void LayoutGrid::setSnapIncrement(float increment) {
    if (!(increment > 0.0f) || !std::isfinite(increment) || increment == m_snapIncrement)
        return; // a grid needs a positive spacing
    m_snapIncrement = increment;
    removeGridNode();
}

void LayoutGrid::setSubdivisions(int subdivisions) {
    if (subdivisions < 1 || subdivisions == m_subdivisions)
        return;
    m_subdivisions = subdivisions;
    removeGridNode();
}

void LayoutGrid::setVisible(bool visible) {
    m_visible = visible;
    if (!visible)
        removeGridNode();
}

void LayoutGrid::setEnvironmentTransf(Lumo::Objects::SharedMatrix* transform) {
    m_envTransform = transform;
    removeGridNode();
}

void LayoutGrid::setSceneDir(const ZoGeVector3d& a, const ZoGeVector3d& b, const ZoGeVector3d& c) {
    m_dirs[2] = a;
    m_dirs[0] = b;
    m_dirs[1] = c;
    m_axis[0] = 0;
    m_axis[1] = 1;
    m_axis[2] = 2;
    removeGridNode();
}

ZoGeVector3d LayoutGrid::axis(int i) const {
    ZoGeVector3d v = m_dirs[m_axis[i]];
    return v.isZeroLength() ? v : v.normalize();
}

void LayoutGrid::calcMajorBlockCount(double c, double s, double b, double& first, int& count) {
    const double line = std::floor((c - s) / b) * b;
    count = int(std::ceil(((c + s) - line) / b));
    first = line - c;
}

bool LayoutGrid::isOriginVisible(double halfSize, double cx, double cy) {
    return cx - halfSize < 0.0 && 0.0 < cx + halfSize && cy - halfSize < 0.0 && 0.0 < cy + halfSize;
}

void LayoutGrid::ensureRoot() {
    if (m_root)
        return;
    NodeChange change;
    m_root = change.createGroupNode(nullptr, Lumo::Graphics::eRenderListWorld);
}

void LayoutGrid::removeGridNode() {
    if (!m_root)
        return;
    NodeChange change(m_root, false);
    if (m_gridNode)
        change.removeChild(m_gridNode);
    if (m_originNode)
        change.removeChild(m_originNode);
    if (m_textGroup)
        change.removeChild(m_textGroup);
    m_gridNode = nullptr;
    m_originNode = nullptr;
    m_textGroup = nullptr;
    m_blocks[0] = m_blocks[1] = 0; // the next setup lays the grid out afresh
}

void LayoutGrid::clear() {
    removeGridNode();
}

void LayoutGrid::changeCamera(Camera* camera) {
    if (!camera)
        return;
    ZoGeVector3d dir = camera->direction();
    if (!dir.isZeroLength())
        dir.normalize();
    const bool orthoFaces = GraphicsOptionGroup::get()->cameraPerspWithOrthoFaces();
    if ((dir - m_lastDirection).length() > tol3() && (m_lastProjection == Camera::eParallel || orthoFaces)) {
        bool rebuild = m_lastDirection.isZeroLength();
        for (const ZoGeVector3d& axis : m_dirs)
            rebuild = rebuild || m_lastDirection.isParallelTo(axis, wideTol()) || dir.isParallelTo(axis, wideTol());
        if (rebuild)
            removeGridNode();
    }
    // The plane that faces the camera: the scene axis nearest the view direction is its normal.
    int normal = 2;
    double best = -1.0;
    for (int i = 0; i < 3; ++i) {
        ZoGeVector3d axis = m_dirs[i];
        const double d = std::abs(axis.normalize().dotProduct(dir));
        if (d > best + 1e-9) {
            best = d;
            normal = i;
        }
    }
    if (!dir.isZeroLength() && normal != m_axis[2]) {
        // Another scene plane faces the camera now: the grid moves there.
        m_axis[2] = normal;
        m_axis[0] = (normal + 1) % 3;
        m_axis[1] = (normal + 2) % 3;
        if (normal == 2) {
            m_axis[0] = 0;
            m_axis[1] = 1;
        }
        removeGridNode();
    }
    m_lastDirection = dir;
    m_lastProjection = camera->projection();
}

bool LayoutGrid::computeGridPosition(double halfSize, double cx, double cy) {
    const double block = double(m_subdivisions) * double(m_snapIncrement);
    double first[2];
    int count[2];
    calcMajorBlockCount(cx, halfSize, block, first[0], count[0]);
    calcMajorBlockCount(cy, halfSize, block, first[1], count[1]);
    const ZoGePoint2d position(first[0], first[1]);
    if (m_gridNode && position.isEqualTo(m_origin) && count[0] == m_blocks[0] && count[1] == m_blocks[1] &&
        std::abs(cx - m_centre[0]) <= ZoGeTol::global().equalPoint() &&
        std::abs(cy - m_centre[1]) <= ZoGeTol::global().equalPoint())
        return false;
    removeGridNode();
    m_origin = position;
    m_centre[0] = cx;
    m_centre[1] = cy;
    m_blocks[0] = m_blocks[1] = std::max(count[0], count[1]);
    return true;
}

ZoGePoint3d LayoutGrid::toScene(double u, double v) const {
    const ZoGePoint3d p = ZoGePoint3d::kOrigin + axis(0) * u + axis(1) * v + axis(2) * m_plane;
    if (!m_envTransform)
        return p;
    const auto placed = m_envTransform->Matrix().Cast<double>().TransformPoint(toVec3d(p));
    return ZoGePoint3d(placed.x, placed.y, placed.z);
}

Lumo::Devices::SimpleMesh* LayoutGrid::createGridMesh(double cx, double cy) const {
    using namespace Lumo::Devices;
    // Lines at every snap increment across the block range; every subdivisions-th is major
    // and fully opaque, the others fainter.
    const Brio::Color c = gridColour(m_environment);
    const Lumo::Objects::vec4<float> major{c.red(), c.green(), c.blue(), c.alpha()};
    const Lumo::Objects::vec4<float> minor{c.red(), c.green(), c.blue(), c.alpha() * 0.35f};
    VertexBufferBuilder vb(eVertexPosition | eVertexColor);
    IndexBufferBuilder ib;
    const int lines = m_blocks[0] * m_subdivisions; // the same count both ways
    const double step = m_snapIncrement;
    const double u0 = cx + m_origin.x, v0 = cy + m_origin.y;
    const double u1 = u0 + lines * step, v1 = v0 + lines * step;
    auto add = [&](double ua, double va, double ub, double vb2, bool isMajor) {
        vb.Color(isMajor ? major : minor);
        const int ia = vb.AddVertex(toVec3f(toScene(ua, va)));
        const int ibb = vb.AddVertex(toVec3f(toScene(ub, vb2)));
        ib.AddLine(std::uint32_t(ia), std::uint32_t(ibb));
    };
    for (int i = 0; i <= lines; ++i) {
        const bool isMajor = i % m_subdivisions == 0;
        add(u0 + i * step, v0, u0 + i * step, v1, isMajor);
        add(u0, v0 + i * step, u1, v0 + i * step, isMajor);
    }
    return SimpleMesh::Make(vb, ib, ePrimLineList);
}

Lumo::Devices::SimpleMesh* LayoutGrid::createOriginMesh() const {
    using namespace Lumo::Devices;
    // A unit quad on the grid plane round the origin, textured with the origin marker.
    VertexBufferBuilder vb(eVertexPosition | eVertexTexCoord);
    IndexBufferBuilder ib;
    const double h = 0.5;
    const double corners[4][2] = {{-h, -h}, {h, -h}, {h, h}, {-h, h}};
    const float uv[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
    for (int i = 0; i < 4; ++i) {
        vb.AddVertex(toVec3f(toScene(corners[i][0], corners[i][1])), {uv[i][0], uv[i][1]});
    }
    ib.AddQuad(0, 1, 2, 3);
    return SimpleMesh::Make(vb, ib, ePrimTriangleList);
}

void LayoutGrid::createTextGroup(double cx, double cy) {
    NodeChange groupChange;
    m_textGroup = groupChange.createGroupNode(nullptr, Lumo::Graphics::eRenderListWorld);
    const double block = double(m_subdivisions) * double(m_snapIncrement);
    const Brio::Color c = gridColour(m_environment);
    for (int axis = 0; axis < 2; ++axis) {
        for (int i = 0; i <= m_blocks[0]; ++i) {
            const double along = (axis == 0 ? cx + m_origin.x : cy + m_origin.y) + i * block;
            if (std::abs(along) < 1e-12)
                continue; // the origin marker stands there
            wchar_t text[32];
            std::swprintf(text, 32, L"%g", along * m_unitFactor);
            const ZoGePoint3d at = axis == 0 ? toScene(along, 0.0) : toScene(0.0, along);
            AutoPtr<ARenderNode> label;
            {
                NodeChange change;
                label = change.createTextNode(nullptr);
                change.textData(text);
                change.colorEffect(c);
                change.selectability(false, 0, nullptr);
                change.billBoard(at, Lumo::Scene::BillBoardAttribute::eScreen, ZoGeVector3d(0, 0, 1));
                change.pixelScale(12.0, 1.0, at);
            }
            groupChange.addChild(label);
        }
    }
}

void LayoutGrid::setup(Camera* camera, const Lumo::Objects::SBox3& modelBox, void* viewHandle) {
    GraphicsOptionGroup* options = GraphicsOptionGroup::get();
    if (viewHandle)
        m_viewHandle = viewHandle;
    if (!options->showLayoutGrid() || !m_visible) {
        removeGridNode();
        return;
    }
    ensureRoot();
    changeCamera(camera);

    // The grid frame: rows are the scene axes, so a point's grid coordinates are its
    // components along them.
    double half = kDefaultHalfSize;
    double cx = 0.0, cy = 0.0;
    if (!modelBox.IsEmpty()) {
        const auto mn = modelBox.Min(), mx = modelBox.Max();
        const ZoGePoint3d centre((mn.x + mx.x) / 2, (mn.y + mx.y) / 2, (mn.z + mx.z) / 2);
        const double radius = ZoGeVector3d(mx.x - mn.x, mx.y - mn.y, mx.z - mn.z).length() / 2;
        const ZoGeVector3d u = axis(0), v = axis(1), w = axis(2);
        cx = centre.asVector().dotProduct(u);
        cy = centre.asVector().dotProduct(v);
        // The grid lies under the model: on the plane through the box's lowest point.
        double low = 0.0;
        for (int i = 0; i < 8; ++i) {
            const ZoGeVector3d corner((i & 1) ? mx.x : mn.x, (i & 2) ? mx.y : mn.y, (i & 4) ? mx.z : mn.z);
            low = i == 0 ? corner.dotProduct(w) : std::min(low, corner.dotProduct(w));
        }
        if (std::abs(low - m_plane) > ZoGeTol::global().equalPoint()) {
            m_plane = low;
            removeGridNode();
        }
        if (radius > kDefaultHalfSize)
            half = radius * (m_environment ? m_environment->layoutGridScaleFactor() : 1.0f);
    }
    if (options->cameraPerspWithOrthoFaces())
        half *= 3.0;
    m_halfSize = half;

    const bool moved = computeGridPosition(half, cx, cy);
    if (!moved && m_gridNode)
        return; // nothing changed: keep what is there

    NodeChange rootChange(m_root, false);
    {
        NodeChange change;
        m_gridNode = change.createGeometryNode(nullptr);
        AutoPtr<Lumo::Devices::SimpleMesh> mesh = createGridMesh(cx, cy);
        change.geometry(mesh, Lumo::Graphics::GeometryNode::kGeometryLevel);
        change.selectability(false, 0, nullptr);
        change.colorEffect(gridColour(m_environment));
        change.depthPriority(1);
    }
    rootChange.addChild(m_gridNode);
    ++m_builds;

    if (isOriginVisible(half, cx, cy)) {
        NodeChange change;
        m_originNode = change.createGeometryNode(nullptr);
        AutoPtr<Lumo::Devices::SimpleMesh> mesh = createOriginMesh();
        change.geometry(mesh, Lumo::Graphics::GeometryNode::kGeometryLevel);
        const std::filesystem::path texture =
            EnvironmentManager::getEnvManager()->resourceDirectory() / "LayoutGrid" / "Origin.png";
        Brio::Color white(1.0f, 1.0f, 1.0f, kOriginAlpha);
        change.textureEffect(texture.wstring(), white);
        change.selectability(false, 0, nullptr);
        change.depthPriority(1);
        change.pixelScale(10.0, 1.0, toScene(0.0, 0.0));
    }
    if (m_originNode)
        rootChange.addChild(m_originNode);

    if (options->showGridRefNumbers()) {
        createTextGroup(cx, cy);
        rootChange.addChild(m_textGroup);
    }
}

} // namespace Brio::Scene
