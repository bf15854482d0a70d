// View and projection matrices checked against points whose images are known by geometry,
// and against the device conventions the traversal state places billboards and pixel scales by.
#include "../TestSupport.h"
#include "CameraTestSupport.h"

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/VirtualDevice.h>
#include <Scene/Attributes/BillBoardAttribute.h>
#include <Scene/Attributes/PixelScaleAttribute.h>
#include <Scene/Attributes/TraversalState.h>

#include <cmath>

using namespace Brio::Scene;
using namespace CameraTest;
using Lumo::Objects::mat4;
using Lumo::Objects::vec3;
using Lumo::Objects::vec4;

namespace {
/// Clip coordinates of a world point through the host's column-vector matrices.
vec4<double> ClipRH(const ZoGeMatrix3d& view, const ZoGeMatrix3d& proj, const ZoGePoint3d& p) {
    ZoGeMatrix3d m = proj * view;
    vec4<double> r;
    for (int i = 0; i < 4; ++i)
        r[i] = m.entry[i][0] * p.x + m.entry[i][1] * p.y + m.entry[i][2] * p.z + m.entry[i][3];
    return r;
}

/// Normalised device coordinates after the divide.
ZoGePoint3d Ndc(const ZoGeMatrix3d& view, const ZoGeMatrix3d& proj, const ZoGePoint3d& p) {
    vec4<double> c = ClipRH(view, proj, p);
    return {c.x / c.w, c.y / c.w, c.z / c.w};
}
} // namespace

TEST(CameraMatrixTest, ANewCameraLooksDownTheZAxisInParallel) {
    auto c = Camera::make(TestSegment());
    ExpectPoint(c->position(), 0, 0, 1);
    ExpectPoint(c->target(), 0, 0, 0);
    ExpectVector(c->up(), 0, 1, 0);
    EXPECT_EQ(c->projection(), Camera::eParallel);
    EXPECT_EQ(c->extentsWidth(), 10.0);
    EXPECT_EQ(c->extentsHeight(), 10.0);
    EXPECT_EQ(c->clipNear(), 0.0);
    EXPECT_EQ(c->clipFar(), 2.0);
    EXPECT_FALSE(c->pivotEnabled());
    ExpectVector(c->direction(), 0, 0, -1);
    ExpectVector(c->right(), 1, 0, 0);

    c->target(c->position());
    ExpectVector(c->direction(), 0, 0, 0);
}

TEST(CameraMatrixTest, ViewMatrixPutsTheEyeAtTheOriginLookingDownMinusZ) {
    // Eye on +x looking at (0, 2, 0) with z up: screen right is +y... of the world seen from +x.
    auto c = MakeCamera({5, 2, 0}, {0, 2, 0}, {0, 0, 3});
    ExpectVector(c->right(), 0, 1, 0);
    const ZoGeMatrix3d v = c->getViewMatrix();
    ExpectPoint(v * ZoGePoint3d(5, 2, 0), 0, 0, 0);
    ExpectPoint(v * ZoGePoint3d(0, 2, 0), 0, 0, -5);
    ExpectPoint(v * ZoGePoint3d(0, 3, 0), 1, 0, -5);
    ExpectPoint(v * ZoGePoint3d(0, 2, 1), 0, 1, -5);
    EXPECT_NEAR(v.det(), 1.0, kTol) << "a rigid, right-handed change of frame";

    // An up vector that is not perpendicular to the view still gives an orthonormal frame.
    auto tilted = MakeCamera({0, 0, 0}, {0, 0, -1}, {0, 1, 1});
    ExpectPoint(tilted->getViewMatrix() * ZoGePoint3d(0, 1, -1), 0, 1, -1);

    auto none = Camera::make(TestSegment());
    none->projection(Camera::eNoProjection);
    EXPECT_TRUE(none->getViewMatrix().isIdentity());
    EXPECT_TRUE(none->getProjectionMatrix(2.0).isIdentity());
}

TEST(CameraMatrixTest, DegenerateCamerasStillGiveARigidView) {
    auto alongUp = MakeCamera({0, 0, 0}, {0, 5, 0}, {0, 1, 0});
    const ZoGeMatrix3d v = alongUp->getViewMatrix();
    EXPECT_NEAR(v.det(), 1.0, kTol);
    ExpectPoint(v * ZoGePoint3d(0, 5, 0), 0, 0, -5);

    auto coincident = MakeCamera({1, 1, 1}, {1, 1, 1}, {0, 1, 0});
    ExpectPoint(coincident->getViewMatrix() * ZoGePoint3d(1, 1, 0), 0, 0, -1);
}

TEST(CameraMatrixTest, ParallelProjectionFitsTheExtentsToTheAspect) {
    auto c = Camera::make(TestSegment());
    c->clipNear(1.0);
    c->clipFar(3.0);
    const ZoGeMatrix3d v = c->getViewMatrix();
    // Wider than tall: the width grows to 20 so that the height of 10 stays.
    ZoGeMatrix3d p = c->getProjectionMatrix(2.0);
    ExpectPoint(Ndc(v, p, {10, 5, 0}), 1, 1, 0);      // z = 0 is eye depth 1: the near plane
    ExpectPoint(Ndc(v, p, {-10, -5, -2}), -1, -1, 1); // eye depth 3: the far plane
    // Taller than wide: the height grows to 20.
    p = c->getProjectionMatrix(0.5);
    ExpectPoint(Ndc(v, p, {5, 10, 0}), 1, 1, 0);
    // A zero aspect counts as square; zero height counts as 1 before fitting.
    EXPECT_TRUE(c->getProjectionMatrix(0.0).isEqualTo(c->getProjectionMatrix(1.0)));
    c->extentsHeight(0.0);
    c->extentsWidth(1.0);
    ExpectPoint(Ndc(v, c->getProjectionMatrix(2.0), {1, 0.5, 0}), 1, 1, 0);

    // Equal clip distances fall back to near 1 and far -1.
    c->clipNear(0.5);
    c->clipFar(0.5);
    p = c->getProjectionMatrix(1.0);
    EXPECT_DOUBLE_EQ(p.entry[2][2], 0.5);
    EXPECT_DOUBLE_EQ(p.entry[2][3], 0.5);
}

TEST(CameraMatrixTest, PerspectiveProjectionSpansTheLensPerUnitOfDistance) {
    auto c = MakeCamera({0, 0, 10}, {0, 0, 0}, {0, 1, 0});
    c->toggleProjection(Camera::ePerspective);
    c->clipNear(1.0);
    c->clipFar(100.0);
    ASSERT_EQ(c->projection(), Camera::ePerspective);
    const double lens = Camera::s_normalPersLens;
    const ZoGeMatrix3d v = c->getViewMatrix();
    const ZoGeMatrix3d p = c->getProjectionMatrix(1.5);
    const double eye = c->position().z;
    // At eye depth d the view is lens * d tall and 1.5 times as wide.
    const double d = 20.0;
    ExpectPoint(Ndc(v, p, {0.75 * lens * d, 0.5 * lens * d, eye - d}), 1, 1, Ndc(v, p, {0, 0, eye - d}).z);
    EXPECT_NEAR(Ndc(v, p, {0, 0, eye - 1}).z, 0.0, kTol);
    EXPECT_NEAR(Ndc(v, p, {0, 0, eye - 100}).z, 1.0, kTol);
    EXPECT_NEAR(ClipRH(v, p, {3, 4, eye - d}).w, d, kTol) << "w is the eye depth";
}

TEST(CameraMatrixTest, DeviceMatricesLookAlongPlusZAndProjectTheSame) {
    auto c = MakeCamera({3, -2, 7}, {1, 1, 1}, {0, 0, 1});
    c->clipNear(0.5);
    c->clipFar(50.0);
    for (Camera::EProjection kind : {Camera::eParallel, Camera::ePerspective}) {
        c->toggleProjection(kind);
        const mat4<double> view = c->getDeviceViewMatrix(), proj = c->getDeviceProjectionMatrix(1.25);
        const double distance = c->position().distanceTo(c->target());
        const vec3<double> t = view.TransformPoint({1, 1, 1});
        EXPECT_NEAR(t.x, 0, kTol);
        EXPECT_NEAR(t.y, 0, kTol);
        EXPECT_NEAR(t.z, distance, kTol) << "the target lies ahead, at +z";
        EXPECT_NEAR(view.Determinant(), -1.0, kTol) << "left-handed";

        for (const ZoGePoint3d& p : {ZoGePoint3d(0, 0, 0), ZoGePoint3d(2, 5, -1), ZoGePoint3d(-4, 3, 2)}) {
            const vec4<double> dev = (view * proj).Transform({p.x, p.y, p.z, 1.0});
            const vec4<double> rh = ClipRH(c->getViewMatrix(), c->getProjectionMatrix(1.25), p);
            for (int i = 0; i < 4; ++i)
                EXPECT_NEAR(dev[i], rh[i], 1e-9) << "component " << i;
            if (kind == Camera::ePerspective) {
                EXPECT_NEAR(dev.w, view.TransformPoint({p.x, p.y, p.z}).z, 1e-9) << "w is the eye depth";
            }
        }
    }
    c->projection(Camera::eNoProjection);
    EXPECT_TRUE(c->getDeviceViewMatrix().IsIdentity());
    EXPECT_TRUE(c->getDeviceProjectionMatrix(2.0).IsIdentity());
}

TEST(CameraMatrixTest, TraversalStatePlacesBillboardsAndPixelScalesByTheCamera) {
    SceneTest::LiveObjectGuard guard;
    using namespace Lumo::Scene;
    // Eye on +x looking at the origin, z up: screen right is +y, screen up +z, and +x faces
    // the viewer. Parallel, 20 units across 200 pixels: 10 pixels per unit.
    auto c = MakeCamera({5, 0, 0}, {0, 0, 0}, {0, 0, 1});
    c->extentsWidth(20.0);
    c->extentsHeight(20.0);
    c->clipNear(1.0);
    c->clipFar(10.0);
    SceneTest::AutoPtr<Lumo::Devices::VirtualDevice> device = Lumo::Devices::VirtualDevice::Make(nullptr);
    SceneTest::AutoPtr<Lumo::Devices::ADrawContext> dc = Lumo::Devices::ADrawContext::Make(device);
    dc->ViewMatrix(c->getDeviceViewMatrix().Cast<float>());
    dc->ProjMatrix(c->getDeviceProjectionMatrix(1.0).Cast<float>());
    dc->Viewport(200, 200);

    auto state = [](Attribute* a) {
        SceneTest::AutoPtr<Lumo::Scene::TraversalState> s = Lumo::Scene::TraversalState::Make();
        SceneTest::AutoPtr<AttributeSet> set = AttributeSet::Make(nullptr, 0);
        set->SetAttribute(a);
        s->MergeAttributes(set);
        return s;
    };
    mat4<float> m;
    ASSERT_TRUE(state(BillBoardAttribute::Make({0, 0, 0}, BillBoardAttribute::eScreen, {0, 0, 0}))
                    ->GetAccumulatedTransform(dc, m, nullptr));
    auto near = [](const vec3<float>& v, float x, float y, float z) {
        EXPECT_NEAR(v.x, x, 1e-5f);
        EXPECT_NEAR(v.y, y, 1e-5f);
        EXPECT_NEAR(v.z, z, 1e-5f);
    };
    near(m.TransformPoint({1, 0, 0}), 0, 1, 0); // model x along screen right
    near(m.TransformPoint({0, 1, 0}), 0, 0, 1); // model y along screen up
    near(m.TransformPoint({0, 0, 1}), 1, 0, 0); // model z toward the viewer

    // 50 pixels for one unit at 10 pixels per unit: scaled 5 times about the centre.
    mat4<float> s;
    ASSERT_TRUE(state(PixelScaleAttribute::Make(50.0, 1.0, {0, 0, 0}))->GetAccumulatedTransform(dc, s, nullptr));
    near(s.TransformPoint({0, 1, 0}), 0, 5, 0);
}
