#pragma once
// Shared by the camera tests: a site that records every camera event, and tolerant
// comparisons of geometry.
#include <Brio/DataModel/Segment.h>
#include <Scene/Environment/Camera.h>
#include <Scene/Environment/CameraEvent.h>
#include <Scene/Environment/CameraEventSite.h>
#include <Scene/Environment/CameraEventSource.h>

#include <gtest/gtest.h>

#include <vector>

namespace CameraTest {

constexpr double kTol = 1e-9;

/// Subscribed for its lifetime; records the change kinds in order.
class EventLog : public Brio::Scene::CameraEventSite {
public:
    EventLog() { Brio::Scene::CameraEventSource::get()->subscribe(this); }
    ~EventLog() override { Brio::Scene::CameraEventSource::get()->unsubscribe(this); }
    void cameraChanged(Brio::Scene::CameraEvent* e) override {
        changes.push_back(e->change());
        cameras.push_back(e->camera().getTarget());
    }
    void clear() {
        changes.clear();
        cameras.clear();
    }
    std::vector<int> changes;
    std::vector<Brio::Scene::Camera*> cameras;
};

inline void ExpectPoint(const ZoGePoint3d& p, double x, double y, double z, double tol = kTol) {
    EXPECT_NEAR(p.x, x, tol);
    EXPECT_NEAR(p.y, y, tol);
    EXPECT_NEAR(p.z, z, tol);
}

inline void ExpectVector(const ZoGeVector3d& v, double x, double y, double z, double tol = kTol) {
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
}

/// A transient segment outside any document, for entities the tests make; released at exit,
/// after the tests, with its entities still in it.
inline Brio::Segment* TestSegment() {
    static Brio::StrongRef<Brio::Segment> segment = Brio::Segment::makeStandalone(L"Environment tests", true);
    return segment.getTarget();
}

/// A camera placed without recording events.
inline Brio::StrongRef<Brio::Scene::Camera> MakeCamera(const ZoGePoint3d& eye, const ZoGePoint3d& target,
                                                       const ZoGeVector3d& up) {
    auto c = Brio::Scene::Camera::make(TestSegment());
    c->position(eye);
    c->target(target);
    c->up(up);
    return c;
}

} // namespace CameraTest
