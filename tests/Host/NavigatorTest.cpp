// Mouse navigation of a document's camera: orbit keeps the distance, pan makes the model follow
// the pointer pixel for pixel, the wheel zooms, fit sees everything.
#include <Host/Host.h>
#include <Scene/Environment/Camera.h>
#include <ZoGe/ZoGe.h>

#include <gtest/gtest.h>

namespace {

constexpr int kW = 800, kH = 600;

/// Where a model point lands in the window, in pixels (y down).
Lumo::Objects::vec3<double> Pixel(const Brio::Scene::Camera& c, const ZoGePoint3d& p) {
    const auto m = c.getDeviceViewMatrix() * c.getDeviceProjectionMatrix(double(kW) / kH);
    const auto q = m.Transform(Lumo::Objects::vec4<double>(p.x, p.y, p.z, 1));
    return {(q.x / q.w + 1) / 2 * kW, (1 - q.y / q.w) / 2 * kH, q.w};
}

struct Scene {
    Host::Document doc{"Nav"};
    Scene() {
        Host::BuildDemoAssembly(doc.model());
        Host::AimCamera(doc, "iso");
    }
};

TEST(HostNavigator, OrbitTurnsAboutTheTargetAtTheSameDistance) {
    Scene s;
    Host::Navigator nav(s.doc, kH);
    Brio::Scene::Camera& c = s.doc.camera();
    const ZoGePoint3d target = c.target(), before = c.position();
    const double distance = (before - target).length();
    nav.press(Host::Navigator::Button::Left, false, 100, 100);
    EXPECT_TRUE(nav.move(260, 100)); // a quarter turn
    nav.release();
    EXPECT_FALSE(nav.move(400, 100)) << "no drag after release";
    EXPECT_NEAR((c.position() - target).length(), distance, 1e-9 * distance);
    EXPECT_GT((c.position() - before).length(), distance * 0.5);
    EXPECT_TRUE(c.target().isEqualTo(target));
}

TEST(HostNavigator, PanMakesTheModelFollowThePointer) {
    Scene s;
    for (bool parallel : {false, true}) {
        Brio::Scene::Camera& c = s.doc.camera();
        if (parallel)
            c.projection(Brio::Scene::Camera::eParallel);
        Host::Navigator nav(s.doc, kH);
        const ZoGePoint3d point = c.target();
        const auto a = Pixel(c, point);
        nav.press(Host::Navigator::Button::Middle, false, 10, 10);
        nav.move(50, -20); // 40 right, 30 up
        nav.release();
        const auto b = Pixel(c, point);
        EXPECT_NEAR(b.x - a.x, 40, 1.0) << (parallel ? "parallel" : "perspective");
        EXPECT_NEAR(b.y - a.y, -30, 1.0) << (parallel ? "parallel" : "perspective");
        // Shift and left pans too.
        nav.press(Host::Navigator::Button::Left, true, 0, 0);
        nav.move(-40, 0);
        nav.release();
        EXPECT_NEAR(Pixel(c, point).x, a.x, 1.0);
    }
}

TEST(HostNavigator, WheelZoomsAndFitSeesEverything) {
    Scene s;
    Host::Navigator nav(s.doc, kH);
    Brio::Scene::Camera& c = s.doc.camera();
    const double perPixel = nav.unitsPerPixel();
    nav.wheel(true);
    EXPECT_LT(nav.unitsPerPixel(), perPixel) << "closer: a pixel covers less";
    nav.wheel(false);
    nav.wheel(false);
    EXPECT_GT(nav.unitsPerPixel(), perPixel);
    // After wandering off, fit brings every corner of the model into the window.
    nav.press(Host::Navigator::Button::Middle, false, 0, 0);
    nav.move(5000, 0);
    nav.release();
    nav.fit();
    double lo[3], hi[3];
    ASSERT_TRUE(s.doc.model().bounds(lo, hi));
    for (int k = 0; k < 8; ++k) {
        const auto p = Pixel(c, ZoGePoint3d(k & 1 ? hi[0] : lo[0], k & 2 ? hi[1] : lo[1], k & 4 ? hi[2] : lo[2]));
        EXPECT_GT(p.x, 0);
        EXPECT_LT(p.x, kW);
        EXPECT_GT(p.y, 0);
        EXPECT_LT(p.y, kH);
        EXPECT_GT(p.z, 0) << "in front of the eye";
    }
}

} // namespace
