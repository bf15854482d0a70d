// Conversions between screen, camera, world and model space, checked against a real camera's
// matrices: round trips, the eye's plane of a perspective projection, and lengths at a depth.
#include "../Environment/CameraTestSupport.h"

#include <Scene/View/ViewFragmentTransformer.h>
#include <ZoGe/ZoGeMatrix3d.h>

#include <gtest/gtest.h>

#include <vector>

using Brio::Scene::Camera;
using Brio::Scene::ViewFragmentTransformer;
using CameraTest::ExpectPoint;

namespace {

constexpr double kWidth = 200.0, kHeight = 100.0, kTol = 1e-7;

/// Device space [-1, 1] x [-1, 1] onto a kWidth x kHeight window; depth kept.
ZoGeMatrix3d ViewportMatrix() {
    ZoGeMatrix3d m;
    m.entry[0][0] = kWidth / 2;
    m.entry[0][3] = kWidth / 2;
    m.entry[1][1] = kHeight / 2;
    m.entry[1][3] = kHeight / 2;
    return m;
}

/// A camera at (0, 0, 10) looking at the origin, up +y, clipping from 1 to 100.
ViewFragmentTransformer Transformer(Camera::EProjection projection) {
    auto camera = CameraTest::MakeCamera({0, 0, 10}, {0, 0, 0}, {0, 1, 0});
    camera->projection(projection);
    camera->clipNear(1.0);
    camera->clipFar(100.0);
    if (projection == Camera::ePerspective) {
        camera->extentsWidth(Camera::s_normalPersLens);
        camera->extentsHeight(Camera::s_normalPersLens);
    }
    return ViewFragmentTransformer(camera->getViewMatrix(), camera->getProjectionMatrix(kWidth / kHeight),
                                   ViewportMatrix());
}

const std::vector<ZoGePoint3d> kWorldPoints = {{0, 0, 0}, {1, 2, -3}, {-2.5, 0.5, 4}, {0.25, -1, -40}};

} // namespace

TEST(ViewFragmentTransformerTest, WorldPointsComeBackFromTheScreen) {
    for (Camera::EProjection projection : {Camera::ePerspective, Camera::eParallel}) {
        SCOPED_TRACE(projection == Camera::ePerspective ? "perspective" : "parallel");
        const ViewFragmentTransformer t = Transformer(projection);
        ZoGePoint3d centre;
        t.worldToScreen({0, 0, 0}, centre);
        EXPECT_NEAR(centre.x, kWidth / 2, kTol);
        EXPECT_NEAR(centre.y, kHeight / 2, kTol);
        for (const ZoGePoint3d& p : kWorldPoints) {
            ZoGePoint3d screen, back, camera;
            t.worldToScreen(p, screen);
            t.screenToWorld(screen, back);
            ExpectPoint(back, p.x, p.y, p.z, 1e-6);
            t.screenToCamera(screen, camera);
            const ZoGePoint3d expected = t.viewMatrix() * p;
            ExpectPoint(camera, expected.x, expected.y, expected.z, 1e-6);
        }
    }
}

TEST(ViewFragmentTransformerTest, ModelPointsGoThroughTheModelMatrix) {
    const ViewFragmentTransformer t = Transformer(Camera::ePerspective);
    const ZoGeMatrix3d model = ZoGeMatrix3d::translation({1, 2, 3}) * ZoGeMatrix3d::scaling(2.0);
    for (const ZoGePoint3d& p : {ZoGePoint3d(0.5, 0.5, 0.5), ZoGePoint3d(-1, 0, -2)}) {
        ZoGePoint3d screen, viaWorld, back;
        t.modelToScreen(p, screen, model);
        t.worldToScreen(model * p, viaWorld);
        ExpectPoint(screen, viaWorld.x, viaWorld.y, viaWorld.z);
        t.screenToModel(screen, back, model);
        ExpectPoint(back, p.x, p.y, p.z, 1e-6);
    }
}

TEST(ViewFragmentTransformerTest, APointOnTheEyesPlaneLandsWhereTheOriginDoes) {
    const ViewFragmentTransformer t = Transformer(Camera::ePerspective);
    ZoGePoint3d screen;
    t.cameraToScreen({3, -2, 0}, screen); // w = 0
    ExpectPoint(screen, kWidth / 2, kHeight / 2, 0);
}

TEST(ViewFragmentTransformerTest, PixelLengthsGrowWithDepthUnderPerspectiveOnly) {
    const ViewFragmentTransformer perspective = Transformer(Camera::ePerspective);
    // x pixels at depth d cover x * 2 d / (P00 * width) in the world.
    const double p00 = perspective.projMatrix().entry[0][0];
    EXPECT_NEAR(perspective.screenToWorld(10.0, 10.0), 10.0 * 2 * 10.0 / (p00 * kWidth), 1e-6);
    EXPECT_NEAR(perspective.screenToWorld(10.0, 20.0), 2 * perspective.screenToWorld(10.0, 10.0), 1e-6);
    EXPECT_NEAR(perspective.screenToWorld(0.0, 20.0), 0.0, 1e-9);

    const ViewFragmentTransformer parallel = Transformer(Camera::eParallel);
    const double q00 = parallel.projMatrix().entry[0][0];
    EXPECT_NEAR(parallel.screenToWorld(10.0, 5.0), 10.0 * 2 / (q00 * kWidth), 1e-6);
    EXPECT_NEAR(parallel.screenToWorld(10.0, 50.0), parallel.screenToWorld(10.0, 5.0), 1e-6);

    // A model drawn twice its size spans half as much of its own length.
    const ZoGeMatrix3d model = ZoGeMatrix3d::scaling(2.0) * ZoGeMatrix3d::translation({5, 0, 0});
    EXPECT_NEAR(perspective.screenToModel(10.0, 10.0, model), perspective.screenToWorld(10.0, 10.0) / 2, 1e-6);
}
