// Which camera operations announce what, delivery on the user-interface thread, and the
// transcript line of a camera.
#include "CameraTestSupport.h"

#include <Brio/Base/DelayedEventBase.h>
#include <Brio/Base/TranscriptMgr.h>
#include <Scene/Environment/TranscriptCameraTrigger.h>

#include <thread>

using namespace Brio::Scene;
using namespace CameraTest;

namespace {
constexpr int kProj = CameraEvent::eProjectionChanged, kMove = CameraEvent::eMoved;
using Changes = std::vector<int>;
} // namespace

TEST(CameraEventTest, OnlyEyeTargetUpAndProjectionSettersAnnounce) {
    auto c = Camera::make(TestSegment());
    EventLog log;
    c->pivot(ZoGePoint3d(1, 1, 1));
    c->pivotEnabled(true);
    c->clipNear(0.1);
    c->clipFar(9.0);
    c->extentsWidth(3.0);
    c->extentsHeight(4.0);
    EXPECT_TRUE(log.changes.empty());

    c->position(ZoGePoint3d(0, 0, 2));
    c->target(ZoGePoint3d(0, 0, 1));
    c->up(ZoGeVector3d(1, 0, 0));
    c->projection(Camera::ePerspective);
    EXPECT_EQ(log.changes, (Changes{kMove, kMove, kMove, kProj}));
    for (Camera* from : log.cameras)
        EXPECT_EQ(from, c.getTarget());

    // A site that is not a camera site hears nothing, and sites may unsubscribe.
    struct Other : Brio::EventSite {
    } other;
    CameraEventSource::get()->Brio::EventSource::subscribe(&other);
    CameraEventSource::get()->unsubscribe(&log);
    c->position(ZoGePoint3d(0, 0, 3));
    EXPECT_EQ(log.changes.size(), 4u);
    CameraEventSource::get()->Brio::EventSource::unsubscribe(&other);
    EXPECT_EQ(CameraEventSource::get()->name(), L"CameraEventSource");
}

TEST(CameraEventTest, ChangesOffTheUIThreadArriveLaterAndKeepTheCameraAlive) {
    Brio::DelayedEventBase::processDelayedEvents();
    EventLog log;
    struct Reader : CameraEventSite {
        std::vector<double> seenZ;
        std::vector<std::thread::id> threads;
        void cameraChanged(CameraEvent* e) override {
            seenZ.push_back(e->camera()->position().z);
            threads.push_back(std::this_thread::get_id());
        }
    } reader;
    CameraEventSource::get()->subscribe(&reader);

    auto c = Camera::make(nullptr); // held by nothing but this reference and the events
    Camera* raw = c.getTarget();
    std::thread([&] {
        c->position(ZoGePoint3d(0, 0, 7));
        c->toggleProjection(Camera::ePerspective);
        c.reset(); // the last reference outside the queued events
    }).join();
    EXPECT_TRUE(log.changes.empty()) << "nothing reaches the sites on the worker";

    EXPECT_EQ(Brio::DelayedEventBase::processDelayedEvents(), 3u);
    EXPECT_EQ(log.changes, (Changes{kMove, kMove, kProj}));
    EXPECT_EQ(log.cameras, (std::vector<Camera*>{raw, raw, raw}));
    ASSERT_EQ(reader.seenZ.size(), 3u);
    EXPECT_NEAR(reader.seenZ.back(), 10.0 / Camera::s_normalPersLens, 1e-9) << "the camera as it is now";
    EXPECT_EQ(reader.threads.front(), std::this_thread::get_id());
    CameraEventSource::get()->unsubscribe(&reader);
}

TEST(CameraEventTest, TranscriptRecordsTheWholeCameraWhenAsked) {
    Brio::TranscriptMgr* mgr = Brio::TranscriptMgr::get();
    mgr->clear();
    auto c = MakeCamera({1.5, -2, 0.1}, {0, 0, 0}, {0, 0, 1});
    c->clipFar(1e-20);
    mgr->recordCamera(false);
    TranscriptCameraTrigger{c.getTarget()};
    EXPECT_TRUE(mgr->entries().empty()) << "camera recording is off";

    mgr->recordCamera(true);
    TranscriptCameraTrigger{c.getTarget()};
    TranscriptCameraTrigger{nullptr};
    mgr->recordCamera(false);
    ASSERT_EQ(mgr->entries().size(), 1u);
    EXPECT_EQ(mgr->entries()[0], L"Camera.Set 1.5,-2,0.1 0,0,0 0,0,1 0 1e-20 10 10 1");
    mgr->clear();
}
