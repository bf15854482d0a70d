// Navigation checked by where eye, target and up end up, what stays fixed on screen, and
// which events are announced.
#include "CameraTestSupport.h"

#include <Brio/Types/BBox.h>

#include <cmath>
#include <numbers>

using namespace Brio::Scene;
using namespace CameraTest;
using std::numbers::pi;

namespace {
constexpr int kProj = CameraEvent::eProjectionChanged, kZoom = CameraEvent::eZoomed, kMove = CameraEvent::eMoved;
using Changes = std::vector<int>;

/// Screen position (normalised device x, y) of a world point.
std::pair<double, double> Screen(const Camera& c, const ZoGePoint3d& p) {
    ZoGePoint3d s = c.getProjectionMatrix(1.0) * (c.getViewMatrix() * p);
    return {s.x, s.y};
}
} // namespace

TEST(CameraNavigationTest, ToggleProjectionKeepsTheApparentSize) {
    auto c = Camera::make(TestSegment());
    c->extentsWidth(4.0);
    c->extentsHeight(6.0);
    EventLog log;
    const double lens = Camera::s_normalPersLens;

    c->toggleProjection(Camera::ePerspective);
    EXPECT_EQ(c->projection(), Camera::ePerspective);
    ExpectPoint(c->position(), 0, 0, 6.0 / lens);
    EXPECT_DOUBLE_EQ(c->extentsWidth(), lens);
    EXPECT_DOUBLE_EQ(c->extentsHeight(), lens);
    EXPECT_EQ(log.changes, (Changes{kMove, kProj}));

    log.clear();
    c->toggleProjection(Camera::ePerspective);
    EXPECT_TRUE(log.changes.empty()) << "no change, no event";

    c->toggleProjection(Camera::eParallel);
    EXPECT_EQ(c->projection(), Camera::eParallel);
    EXPECT_NEAR(c->extentsWidth(), 6.0, 1e-12) << "the larger extent before the round trip";
    EXPECT_NEAR(c->extentsHeight(), 6.0, 1e-12);
    EXPECT_EQ(log.changes, Changes{kProj});

    // Other pairs change nothing but are still announced.
    log.clear();
    c->toggleProjection(Camera::eNoProjection);
    EXPECT_EQ(c->projection(), Camera::eParallel);
    EXPECT_EQ(log.changes, Changes{kProj});
}

TEST(CameraNavigationTest, ZoomScalesParallelExtentsWithinLimits) {
    auto c = Camera::make(TestSegment());
    EventLog log;
    c->zoom(0.5);
    EXPECT_DOUBLE_EQ(c->extentsWidth(), 5.0);
    EXPECT_DOUBLE_EQ(c->extentsHeight(), 5.0);
    // The eye keeps its direction and backs off to ten times the larger extent.
    ExpectPoint(c->position(), 0, 0, 5.0 / double(0.1f));
    ExpectPoint(c->target(), 0, 0, 0);
    EXPECT_EQ(log.changes, (Changes{kMove, kMove, kMove, kZoom}));

    c->extentsWidth(1.0);
    c->extentsHeight(2.0);
    const ZoGePoint3d before = c->position();
    log.clear();
    c->zoom(0.0099);
    c->zoom(0.0);
    c->zoom(-1.0);
    c->zoom(std::nan(""));
    EXPECT_TRUE(log.changes.empty()) << "refused zooms announce nothing";
    EXPECT_EQ(c->extentsWidth(), 1.0);
    ExpectPoint(c->position(), before.x, before.y, before.z);

    c->zoom(0.01); // exactly the smallest extent
    EXPECT_DOUBLE_EQ(c->extentsWidth(), 0.01);
    EXPECT_DOUBLE_EQ(c->extentsHeight(), 0.02);
    EXPECT_EQ(log.changes.back(), kZoom);
}

TEST(CameraNavigationTest, ZoomMovesAPerspectiveEyeTowardsTheTarget) {
    auto c = MakeCamera({0, 0, 10}, {0, 0, 0}, {0, 1, 0});
    c->projection(Camera::ePerspective);
    c->extentsWidth(0.6);
    c->extentsHeight(0.6);
    EventLog log;
    c->zoom(0.5);
    ExpectPoint(c->position(), 0, 0, 5);
    EXPECT_EQ(c->extentsWidth(), 0.6) << "perspective extents are per unit of distance";
    EXPECT_EQ(log.changes, (Changes{kMove, kMove, kMove, kZoom}));

    // 0.6 x the new distance must stay at least 0.01.
    log.clear();
    c->zoom(0.003); // 0.6 * 0.015 < 0.01
    ExpectPoint(c->position(), 0, 0, 5);
    EXPECT_TRUE(log.changes.empty());
}

TEST(CameraNavigationTest, ZoomAboutAPointKeepsItOnTheSameScreenSpot) {
    for (Camera::EProjection kind : {Camera::eParallel, Camera::ePerspective}) {
        auto c = MakeCamera({2, -3, 8}, {1, 0, 0}, {0, 1, 0});
        c->toggleProjection(kind);
        c->clipNear(0.5);
        c->clipFar(40.0);
        const ZoGePoint3d cursor(2.5, 1.0, -0.5);
        const auto before = Screen(*c, cursor);
        const ZoGeVector3d direction = c->direction();
        const double distance = c->position().distanceTo(c->target());
        c->zoom(0.5, cursor);
        const auto after = Screen(*c, cursor);
        EXPECT_NEAR(after.first, before.first, 1e-9) << "projection " << kind;
        EXPECT_NEAR(after.second, before.second, 1e-9) << "projection " << kind;
        ExpectVector(c->direction(), direction.x, direction.y, direction.z);
        if (kind == Camera::ePerspective)
            EXPECT_NEAR(c->position().distanceTo(c->target()), 0.5 * distance, 1e-9);
        else
            EXPECT_NEAR(c->extentsWidth(), 5.0, 1e-12);
    }

    // A cursor on the target zooms straight in.
    auto c = Camera::make(TestSegment());
    c->zoom(0.5, ZoGePoint3d(0, 0, 0));
    ExpectPoint(c->target(), 0, 0, 0);

    // A collapsed clip range must not poison the camera.
    c->clipNear(1.0);
    c->clipFar(1.0);
    c->zoom(0.5, ZoGePoint3d(1, 1, 0));
    EXPECT_TRUE(std::isfinite(c->target().x) && std::isfinite(c->position().z));
}

TEST(CameraNavigationTest, DollyYawPitchAndRollTurnAboutTheTarget) {
    auto c = Camera::make(TestSegment());
    EventLog log;
    c->dolly(ZoGeVector3d(1, 2, 3));
    ExpectPoint(c->position(), 1, 2, 4);
    ExpectPoint(c->target(), 1, 2, 3);
    EXPECT_EQ(log.changes, (Changes{kMove, kMove}));
    c->dolly(ZoGeVector3d(-1, -2, -3));

    c->yaw(pi / 2); // counterclockwise about +y through the target
    ExpectPoint(c->position(), 1, 0, 0);
    ExpectVector(c->up(), 0, 1, 0);

    c = Camera::make(TestSegment());
    c->pitch(pi / 2); // about right = +x: the eye goes below, up turns to +z
    ExpectPoint(c->position(), 0, -1, 0);
    ExpectVector(c->up(), 0, 0, 1);
    ExpectVector(c->right(), 1, 0, 0);

    c = Camera::make(TestSegment());
    log.clear();
    c->roll(pi / 2); // about the view direction (-z): up turns from +y to +x
    ExpectPoint(c->position(), 0, 0, 1);
    ExpectVector(c->up(), 1, 0, 0);
    EXPECT_EQ(log.changes, (Changes{kMove, kMove}));

    // Rolling about a centre goes there and back again: eye and target end where they began.
    c = Camera::make(TestSegment());
    log.clear();
    c->roll(pi / 2, ZoGePoint3d(3, 4, 0));
    ExpectPoint(c->position(), 0, 0, 1);
    ExpectPoint(c->target(), 0, 0, 0);
    ExpectVector(c->up(), 1, 0, 0);
    EXPECT_EQ(log.changes.size(), 6u);

    c->up(ZoGeVector3d(0, 3, 0));
    c->pitch(0.3);
    EXPECT_NEAR(c->up().length(), 1.0, kTol) << "pitch leaves up normalised";
}

TEST(CameraNavigationTest, OrbitTurnsByHalfATurnPer640Pixels) {
    auto c = Camera::make(TestSegment());
    EventLog log;
    c->orbit(320, 0); // yaw by -pi/2
    ExpectPoint(c->position(), -1, 0, 0);
    EXPECT_EQ(log.changes, (Changes{kMove, kMove}));

    log.clear();
    c->orbit(0, 0);
    EXPECT_EQ(log.changes, Changes{kMove}) << "always one closing event";

    c = Camera::make(TestSegment());
    c->orbit(0, 320); // pitch by pi/2
    ExpectPoint(c->position(), 0, -1, 0);

    // Without a pivot, orbitAroundPivot is orbit without its closing event.
    auto a = MakeCamera({1, 2, 3}, {0, 1, 0}, {0, 0, 1});
    auto b = MakeCamera({1, 2, 3}, {0, 1, 0}, {0, 0, 1});
    b->pivot(ZoGePoint3d(9, 9, 9));
    log.clear();
    a->orbit(57, -91);
    const std::size_t orbitEvents = log.changes.size();
    log.clear();
    b->orbitAroundPivot(57, -91);
    EXPECT_EQ(log.changes.size(), orbitEvents - 1);
    ExpectPoint(b->position(), a->position().x, a->position().y, a->position().z);
    ExpectVector(b->up(), a->up().x, a->up().y, a->up().z);
}

TEST(CameraNavigationTest, OrbitAroundAPivotTurnsTheCameraRigidlyAboutIt) {
    auto c = Camera::make(TestSegment());
    c->pivot(ZoGePoint3d(1, 0, 0));
    c->pivotEnabled(true);
    c->orbitAroundPivot(320, 0); // a quarter turn clockwise about +y through the pivot
    ExpectPoint(c->position(), 0, 0, -1);
    ExpectPoint(c->target(), 1, 0, -1);
    ExpectVector(c->up(), 0, 1, 0);

    auto d = MakeCamera({4, -1, 2}, {0, 1, 0}, {0, 0, 1});
    const ZoGePoint3d pivot(1, 2, -1);
    d->pivot(pivot);
    d->pivotEnabled(true);
    const ZoGePoint3d seen = d->getViewMatrix() * pivot;
    const double eyeToTarget = d->position().distanceTo(d->target());
    d->orbitAroundPivot(-140, 75);
    const ZoGePoint3d seenAfter = d->getViewMatrix() * pivot;
    ExpectPoint(seenAfter, seen.x, seen.y, seen.z, 1e-9);
    EXPECT_NEAR(d->position().distanceTo(d->target()), eyeToTarget, 1e-9);
    EXPECT_TRUE(d->pivotEnabled());
}

TEST(CameraNavigationTest, ConstrainedOrbitKeepsTheAxisUpright) {
    auto c = Camera::make(TestSegment());
    EventLog log;
    c->constrainedOrbit(160, false, ZoGeVector3d(0, 1, 0), ZoGePoint3d(0, 0, 0)); // a quarter turn
    ExpectPoint(c->position(), 1, 0, 0);
    ExpectPoint(c->target(), 0, 0, 0);
    ExpectVector(c->up(), 0, 1, 0);
    EXPECT_EQ(log.changes, (Changes{kMove, kMove, kMove, kMove}));

    // An axis pointing against up is turned round first.
    auto d = Camera::make(TestSegment());
    d->constrainedOrbit(160, false, ZoGeVector3d(0, -1, 0), ZoGePoint3d(0, 0, 0));
    ExpectPoint(d->position(), 1, 0, 0);

    // About a centre off the target both move; up becomes the axis as seen on screen.
    auto e = MakeCamera({0, -5, 5}, {0, 0, 0}, {0, 1, 1});
    e->constrainedOrbit(160, false, ZoGeVector3d(0, 0, 1), ZoGePoint3d(1, 0, 0));
    ExpectPoint(e->position(), 6, -1, 5);
    ExpectPoint(e->target(), 1, -1, 0);
    EXPECT_NEAR(e->up().dotProduct(e->direction()), 0.0, kTol);
    EXPECT_GT(e->up().z, 0.0);

    // Looking along the axis, up is used instead.
    auto f = Camera::make(TestSegment());
    f->constrainedOrbit(160, false, ZoGeVector3d(0, 0, 1), ZoGePoint3d(0, 0, 0));
    ExpectPoint(f->position(), 1, 0, 0);

    // Nothing to turn about: view, up and axis all parallel.
    auto g = MakeCamera({0, 0, 1}, {0, 0, 0}, {0, 0, 1});
    log.clear();
    g->constrainedOrbit(160, false, ZoGeVector3d(0, 0, 1), ZoGePoint3d(0, 0, 0));
    ExpectPoint(g->position(), 0, 0, 1);
    EXPECT_TRUE(log.changes.empty());
}

TEST(CameraNavigationTest, ConstrainedOrbitWithKeepSideKeepsScreenRight) {
    // Half a turn: without keepSide up stays and right reverses; with it right stays.
    auto free = Camera::make(TestSegment());
    free->constrainedOrbit(320, false, ZoGeVector3d(0, 1, 0), ZoGePoint3d(0, 0, 0));
    ExpectPoint(free->position(), 0, 0, -1);
    ExpectVector(free->up(), 0, 1, 0);
    ExpectVector(free->right(), -1, 0, 0);

    auto kept = Camera::make(TestSegment());
    kept->constrainedOrbit(320, true, ZoGeVector3d(0, 1, 0), ZoGePoint3d(0, 0, 0));
    ExpectPoint(kept->position(), 0, 0, -1);
    ExpectVector(kept->up(), 0, -1, 0);
    ExpectVector(kept->right(), 1, 0, 0);
}

TEST(CameraNavigationTest, FitFramesTheBoxFromTheCurrentDirection) {
    const double lens = Camera::s_normalPersLens;
    auto c = Camera::make(TestSegment());
    c->pivotEnabled(true);
    EventLog log;
    c->fit(Brio::BBox({0, 0, 0}, {2, 4, 0}));
    const double grow = 0.025 * std::sqrt(20.0);
    ExpectPoint(c->target(), 1, 2, 0, 1e-6);
    ExpectPoint(c->position(), 1, 2, (4 + 2 * grow) / lens, 1e-6);
    EXPECT_NEAR(c->extentsWidth(), 2 + 2 * grow, 1e-6);
    EXPECT_NEAR(c->extentsHeight(), 4 + 2 * grow, 1e-6);
    EXPECT_FALSE(c->pivotEnabled());
    EXPECT_EQ(log.changes, (Changes{kMove, kMove, kMove}));

    // Perspective: seen from the side along x, the box spans y and z; extents stay the lens.
    auto p = MakeCamera({10, 0, 0}, {0, 0, 0}, {0, 0, 1});
    p->projection(Camera::ePerspective);
    p->fit(Brio::BBox({-1, -1, -3}, {1, 1, 3}));
    const double g = 0.025 * std::sqrt(4.0 + 4.0 + 36.0);
    ExpectPoint(p->target(), 0, 0, 0, 1e-6);
    ExpectPoint(p->position(), (6 + 2 * g) / lens, 0, 0, 1e-5);
    EXPECT_DOUBLE_EQ(p->extentsWidth(), lens);

    // An empty box changes nothing; a single point is centred and keeps the distance.
    log.clear();
    auto e = Camera::make(TestSegment());
    e->fit(Brio::BBox());
    ExpectPoint(e->position(), 0, 0, 1);
    EXPECT_TRUE(log.changes.empty());
    e->fit(Brio::BBox({3, 3, 3}, {3, 3, 3}));
    ExpectPoint(e->target(), 3, 3, 3, 1e-6);
    ExpectPoint(e->position(), 3, 3, 4, 1e-6);
    EXPECT_EQ(e->extentsWidth(), 10.0);
}

TEST(CameraNavigationTest, AssignmentCopiesTheViewButNotThePivot) {
    auto source = MakeCamera({1, 2, 3}, {4, 5, 6}, {0, 0, 1});
    source->projection(Camera::ePerspective);
    source->clipNear(0.25);
    source->clipFar(99.0);
    source->extentsWidth(0.7);
    source->extentsHeight(0.8);
    source->pivot(ZoGePoint3d(7, 7, 7));
    source->pivotEnabled(true);

    auto copy = Camera::make(TestSegment());
    copy->pivot(ZoGePoint3d(-1, -1, -1));
    EventLog log;
    *copy = *source;
    EXPECT_EQ(log.changes, (Changes{kProj, kMove, kMove, kMove}));
    EXPECT_EQ(copy->projection(), Camera::ePerspective);
    ExpectPoint(copy->position(), 1, 2, 3);
    ExpectPoint(copy->target(), 4, 5, 6);
    ExpectVector(copy->up(), 0, 0, 1);
    EXPECT_EQ(copy->clipNear(), 0.25);
    EXPECT_EQ(copy->clipFar(), 99.0);
    EXPECT_EQ(copy->extentsWidth(), 0.7);
    EXPECT_EQ(copy->extentsHeight(), 0.8);
    ExpectPoint(copy->pivot(), -1, -1, -1);
    EXPECT_FALSE(copy->pivotEnabled());
}
