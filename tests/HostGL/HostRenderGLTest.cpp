// The host's documents drawn through the scene library: the demo, a known part's colour, edits
// seen at the next frame, and documents saved and opened again.
#include <Brio/Types/BBox.h>
#include <Brio/Types/Point3f.h>
#include <Host/Host.h>
#include <Lumo/Devices/TextureInstance.h>
#include <Lumo/Devices/TextureLoader.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Scene/Environment/Camera.h>
#include <ZoGe/ZoGe.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string OutDir() {
    if (const char* dir = std::getenv("BRIO_TEST_IMAGES")) {
        fs::create_directories(dir);
        return dir;
    }
    const fs::path dir = fs::temp_directory_path() / "brio-hostgl";
    fs::create_directories(dir);
    return dir.string();
}

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

/// A written PNG read back.
struct Image {
    int w = 0, h = 0;
    std::vector<Rgb> px;
    std::vector<int> alpha;
    Rgb at(int x, int y) const { return px[std::size_t(y * w + x)]; }
};

Image Read(const std::string& path) {
    Image img;
    Lumo::Objects::AutoPtr<Lumo::Devices::TextureInstance> t(Lumo::Devices::TextureLoader::LoadUtf8(path));
    if (!t)
        return img;
    Lumo::Devices::SLockedLevel l = t->LockLevel(0);
    img.w = l.width;
    img.h = l.height;
    for (int y = 0; y < l.height; ++y)
        for (int x = 0; x < l.width; ++x) {
            const std::uint8_t* p = l.data + y * l.rowPitch + x * 4;
            img.px.push_back({p[0], p[1], p[2]});
            img.alpha.push_back(p[3]);
        }
    t->UnlockLevel(0);
    return img;
}

Image Render(Host::Document& doc, const std::string& name, Host::RenderOptions o = {}) {
    o.output = OutDir() + "/" + name + ".png";
    o.width = 160;
    o.height = 120;
    o.msaa = false;
    std::string error;
    EXPECT_TRUE(Host::RenderDocument(doc, o, error)) << error;
    return Read(o.output);
}

/// Pixels that differ from the top-left corner's, and their centre.
struct Coverage {
    int count = 0;
    double cx = 0, cy = 0;
};
Coverage Cover(const Image& img) {
    Coverage c;
    const Rgb bg = img.at(0, 0);
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x)
            if (!(img.at(x, y) == bg)) {
                ++c.count;
                c.cx += x;
                c.cy += y;
            }
    if (c.count) {
        c.cx /= c.count;
        c.cy /= c.count;
    }
    return c;
}

Host::RenderOptions Plain() {
    Host::RenderOptions o;
    o.environment = "none";
    o.style = "shaded";
    o.view = "front";
    return o;
}

TEST(HostRender, TheDemoFillsTheMiddleOfTheImage) {
    Host::Document doc("Demo");
    Host::BuildDemoAssembly(doc.model());
    const Image img = Render(doc, "demo", Plain());
    ASSERT_EQ(img.w, 160);
    const Coverage c = Cover(img);
    EXPECT_GT(c.count, 160 * 120 / 5) << "the model covers a good part of the picture";
    EXPECT_NEAR(c.cx, 80, 16);
    EXPECT_NEAR(c.cy, 60, 16);
    // Background all round the border where the model is not.
    EXPECT_EQ(img.at(159, 0), img.at(0, 0));
    EXPECT_EQ(img.at(0, 119), img.at(0, 0));
    EXPECT_EQ(img.at(159, 119), img.at(0, 0));
    // The default look draws too, and differently.
    const Image look = Render(doc, "demo-default", {});
    EXPECT_GT(Cover(look).count, 0);
    EXPECT_NE(look.px, img.px);
    EXPECT_EQ(look.alpha[0], 255);
    // A transparent background: clear where nothing is drawn, opaque on the model.
    Host::RenderOptions clear;
    clear.transparent = true;
    const Image cut = Render(doc, "demo-transparent", clear);
    EXPECT_EQ(cut.alpha[0], 0);
    EXPECT_EQ(cut.alpha[std::size_t(cut.w * cut.h - 1)], 0);
    EXPECT_EQ(cut.alpha[std::size_t(cut.w * int(c.cy) + int(c.cx))], 255);
}

/// One red block seen from the front fills the middle of the view.
struct OneBlock {
    Host::Document doc{"Block"};
    Host::Component* part = doc.model().addComponent("Part");
    Host::Body* body = part->addBody("Block", Host::Shapes::Block({1, 1, 1}), {"Red", 0.9f, 0.1f, 0.1f, 1});
    Host::Instance* placed = doc.model().root().addInstance(*part, Host::mat4d::Identity());
};

bool Reddish(Rgb p) {
    return p.r > p.g + 60 && p.r > p.b + 60;
}
bool Bluish(Rgb p) {
    return p.b > p.r + 60 && p.b > p.g + 30;
}

TEST(HostRender, EditsShowInTheNextFrame) {
    OneBlock m;
    Image img = Render(m.doc, "block-red", Plain());
    EXPECT_TRUE(Reddish(img.at(80, 60))) << img.at(80, 60).r << "," << img.at(80, 60).g << "," << img.at(80, 60).b;
    // The material changes...
    m.body->material({"Blue", 0.1f, 0.2f, 0.9f, 1});
    img = Render(m.doc, "block-blue", Plain());
    EXPECT_TRUE(Bluish(img.at(80, 60)));
    // ...a placement's colour beats it...
    m.placed->colour(Host::Rgba{0.9f, 0.1f, 0.1f, 1});
    img = Render(m.doc, "block-override", Plain());
    EXPECT_TRUE(Reddish(img.at(80, 60)));
    // ...and a hidden placement leaves the background.
    m.placed->visible(false);
    img = Render(m.doc, "block-hidden", Plain());
    EXPECT_EQ(img.at(80, 60), img.at(0, 0));
    EXPECT_EQ(Cover(img).count, 0);
    m.placed->visible(true);
    img = Render(m.doc, "block-shown", Plain());
    EXPECT_TRUE(Reddish(img.at(80, 60)));
}

TEST(HostRender, AMovedPlacementMovesInThePicture) {
    OneBlock m;
    m.placed->transform(Host::mat4d::Scale(0.3));
    Host::RenderOptions o = Plain();
    Image before = Render(m.doc, "moved-before", o);
    const double x0 = Cover(before).cx;
    // The camera stays; the block moves right.
    o.view = "saved";
    m.placed->transform(Host::mat4d::Scale(0.3) * Host::mat4d::Translation({0.5, 0, 0}));
    Image after = Render(m.doc, "moved-after", o);
    EXPECT_GT(Cover(after).cx, x0 + 10);
}

TEST(HostRender, ASavedDocumentOpensToTheSamePicture) {
    Host::Document doc("Saved");
    Host::BuildDemoAssembly(doc.model());
    Host::AimCamera(doc, "iso");
    doc.camera().zoom(0.7); // a camera of the user's own, not a fitted one
    const std::string path = OutDir() + "/saved.brio";
    std::string error;
    ASSERT_TRUE(doc.save(path, error)) << error;
    Host::RenderOptions o = Plain();
    o.view = "saved";
    const Image first = Render(doc, "saved-first", o);

    std::unique_ptr<Host::Document> back = Host::Document::open(path, error);
    ASSERT_TRUE(back) << error;
    EXPECT_TRUE(back->hasCamera());
    EXPECT_EQ(back->model().counts().triangles, doc.model().counts().triangles);
    const Image second = Render(*back, "saved-second", o);
    EXPECT_EQ(first.px, second.px);
}

} // namespace

namespace {
// Placements far from their part's own origin are drawn: nothing culls them by the part's box.
TEST(HostRender, PlacementsFarFromThePartsOriginAreDrawn) {
    Host::Document doc("Far");
    Host::Component* part = doc.model().addComponent("Part");
    part->addBody("Block", Host::Shapes::Block({1, 1, 1}), {"Red", 0.9f, 0.1f, 0.1f, 1});
    doc.model().root().addInstance(*part, Host::mat4d::Translation({100, 0, 0}));
    doc.model().root().addInstance(*part, Host::mat4d::Translation({104, 0, 0}));
    const Image img = Render(doc, "far", Plain());
    const Coverage c = Cover(img);
    EXPECT_GT(c.count, 160 * 120 / 8);
    EXPECT_NEAR(c.cx, 80, 8) << "both blocks, not one";
}
} // namespace

namespace {
// A view of one placement of a part whose other placement is far out of view: frame after
// frame, the one in view is drawn (the part's shared node is boxed per placement).
TEST(HostRender, APlacementInViewIsDrawnWhileAnotherIsOutOfView) {
    Host::Document doc("Two");
    Host::Component* part = doc.model().addComponent("Part");
    part->addBody("Block", Host::Shapes::Block({1, 1, 1}), {"Red", 0.9f, 0.1f, 0.1f, 1});
    doc.model().root().addInstance(*part, Host::mat4d::Identity());
    doc.model().root().addInstance(*part, Host::mat4d::Translation({100, 0, 0}));
    Brio::Scene::Camera& camera = doc.camera();
    camera.projection(Brio::Scene::Camera::ePerspective);
    camera.target(ZoGePoint3d(0, 0, 0));
    camera.position(ZoGePoint3d(0, 0, 10));
    camera.up(ZoGeVector3d(0, 1, 0));
    camera.fit(Brio::BBox(Brio::Point3f(-1.5f, -1.5f, -1.5f), Brio::Point3f(1.5f, 1.5f, 1.5f)));
    Host::RenderOptions o = Plain();
    o.view = "saved";
    for (int frame = 0; frame < 3; ++frame) {
        const Image img = Render(doc, "one-of-two", o);
        EXPECT_TRUE(Reddish(img.at(80, 60))) << "frame " << frame;
    }
}
} // namespace
