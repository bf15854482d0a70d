// Selections and prehighlights drawn through the scene library's selection passes: the picked
// placement takes the highlight, the other placements of the same part do not, clearing gives
// the picture back, and the prehighlight looks different from the selection.
#include <Host/Host.h>
#include <Lumo/Devices/TextureInstance.h>
#include <Lumo/Devices/TextureLoader.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Scene/Environment/Camera.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kW = 160, kH = 120;

struct Rgb {
    int r = 0, g = 0, b = 0;
};

struct Image {
    int w = 0, h = 0;
    std::vector<Rgb> px;
    Rgb at(int x, int y) const { return px[std::size_t(y * w + x)]; }
};

std::string OutPath(const std::string& name) {
    const char* env = std::getenv("BRIO_TEST_IMAGES");
    const fs::path dir = env ? fs::path(env) : fs::temp_directory_path() / "brio-hostgl";
    fs::create_directories(dir);
    return (dir / (name + ".png")).string();
}

Image Render(Host::Document& doc, const std::string& name, const std::string& view) {
    Host::RenderOptions o;
    o.output = OutPath(name);
    o.width = kW;
    o.height = kH;
    o.msaa = false;
    o.view = view;
    std::string error;
    EXPECT_TRUE(Host::RenderDocument(doc, o, error)) << error;
    Image img;
    Lumo::Objects::AutoPtr<Lumo::Devices::TextureInstance> t(Lumo::Devices::TextureLoader::LoadUtf8(o.output));
    if (!t)
        return img;
    Lumo::Devices::SLockedLevel l = t->LockLevel(0);
    img.w = l.width;
    img.h = l.height;
    for (int y = 0; y < l.height; ++y)
        for (int x = 0; x < l.width; ++x) {
            const std::uint8_t* p = l.data + y * l.rowPitch + x * 4;
            img.px.push_back({p[0], p[1], p[2]});
        }
    t->UnlockLevel(0);
    return img;
}

/// The largest channel difference between two images.
int MaxDiff(const Image& a, const Image& b) {
    if (a.px.size() != b.px.size())
        return 256;
    int d = 0;
    for (std::size_t i = 0; i < a.px.size(); ++i)
        d = std::max(
            {d, std::abs(a.px[i].r - b.px[i].r), std::abs(a.px[i].g - b.px[i].g), std::abs(a.px[i].b - b.px[i].b)});
    return d;
}

/// The image pixel (y down) of a model point, as the view shows it.
std::pair<int, int> PixelOf(Host::Document& doc, double x, double y, double z) {
    const Brio::Scene::Camera& c = doc.camera();
    const auto m = c.getDeviceViewMatrix() * c.getDeviceProjectionMatrix(double(kW) / kH);
    const auto q = m.Transform(Lumo::Objects::vec4<double>(x, y, z, 1));
    return {int((q.x / q.w + 1) / 2 * kW), int((1 - q.y / q.w) / 2 * kH)};
}

/// One red part placed twice, side by side, seen from the front.
struct Pair {
    Host::Document doc{"Highlight"};
    Host::Component* part = doc.model().addComponent("Block");
    Host::Body* body = part->addBody("Solid", Host::Shapes::Block({1, 1, 1}), {"Red", 0.8f, 0.15f, 0.12f, 1});
    Host::Instance* left = doc.model().root().addInstance(*part, Host::mat4d::Translation({-2, 0, 0}));
    Host::Instance* right = doc.model().root().addInstance(*part, Host::mat4d::Translation({2, 0, 0}));
};

TEST(HostHighlight, SelectionShowsOnThePickedPlacementOnlyAndClears) {
    Pair p;
    const Image before = Render(p.doc, "highlight-before", "front");
    ASSERT_EQ(before.w, kW);
    const auto [rx, ry] = PixelOf(p.doc, 2.3, 0.2, 1);
    const auto [lx, ly] = PixelOf(p.doc, -2.3, 0.2, 1);

    Host::Highlighter highlighter(p.doc);
    {
        Host::Picker picker(p.doc, kW, kH, "front");
        const auto hits = picker.point(rx, ry, 0);
        ASSERT_FALSE(hits.empty());
        ASSERT_EQ(hits[0].instance, p.right);
        EXPECT_TRUE(highlighter.select(hits[0]));
        EXPECT_FALSE(highlighter.select(hits[0])) << "the same thing again changes nothing";
        EXPECT_EQ(highlighter.selected(), p.body);
    }
    const Image selected = Render(p.doc, "highlight-selected", "front");
    const Rgb a = before.at(rx, ry), s = selected.at(rx, ry);
    // SkyRoom's selection: a light blue wash.
    EXPECT_GT(s.b - a.b, 40) << "the selected block is washed blue: " << s.r << " " << s.g << " " << s.b;
    EXPECT_LT(s.r, a.r) << "and less red";
    const Rgb la = before.at(lx, ly), ls = selected.at(lx, ly);
    EXPECT_LE(std::abs(la.r - ls.r) + std::abs(la.g - ls.g) + std::abs(la.b - ls.b), 3)
        << "the other placement of the same part stays as it was";

    // The selection's edges are drawn in the line colour: near the right block's outer edge
    // some pixel is a strong blue.
    const auto [ex, ey] = PixelOf(p.doc, 3, 0, 1);
    bool line = false;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            const Rgb c = selected.at(ex + dx, ey + dy);
            line = line || (c.b > 180 && c.r < 90 && c.b - c.g > 60);
        }
    EXPECT_TRUE(line) << "no edge in the selection's line colour";

    // A background hit clears, and the picture is as before.
    Host::PickHit background;
    background.kind = "background";
    EXPECT_TRUE(highlighter.select(background));
    EXPECT_EQ(highlighter.selected(), nullptr);
    EXPECT_LE(MaxDiff(Render(p.doc, "highlight-cleared", "front"), before), 2);
}

TEST(HostHighlight, PrehighlightDiffersFromSelectionAndYieldsToIt) {
    Pair p;
    const Image before = Render(p.doc, "prehighlight-before", "front");
    const auto [rx, ry] = PixelOf(p.doc, 2.3, 0.2, 1);
    const auto [lx, ly] = PixelOf(p.doc, -2.3, 0.2, 1);
    Host::Picker picker(p.doc, kW, kH, "front");
    const auto right = picker.point(rx, ry, 0), left = picker.point(lx, ly, 0);
    ASSERT_FALSE(right.empty());
    ASSERT_FALSE(left.empty());
    ASSERT_EQ(left[0].instance, p.left);

    Host::Highlighter highlighter(p.doc);
    highlighter.select(right[0]);
    EXPECT_TRUE(highlighter.prehighlight(left[0]));
    const Image both = Render(p.doc, "prehighlight-and-selection", "front");
    const Rgb sel = both.at(rx, ry), pre = both.at(lx, ly), base = before.at(lx, ly);
    // SkyRoom's prehighlight: an amber wash, warmer than the blue selection.
    EXPECT_GT(pre.g - base.g, 15) << pre.r << " " << pre.g << " " << pre.b;
    EXPECT_GT(sel.b - pre.b, 40) << "selection " << sel.b << ", prehighlight " << pre.b;
    EXPECT_GT(pre.r - sel.r, 40);

    // Hovering what is selected shows the selection only; clearing the prehighlight gives the
    // picture with the selection alone.
    EXPECT_TRUE(highlighter.prehighlight(right[0]));
    EXPECT_EQ(highlighter.prehighlighted(), nullptr);
    const Image selectedOnly = Render(p.doc, "prehighlight-yields", "front");
    EXPECT_LE(std::abs(selectedOnly.at(lx, ly).g - base.g), 2);
    EXPECT_LE(std::abs(selectedOnly.at(rx, ry).b - sel.b), 2);
    highlighter.clearSelection();
    EXPECT_FALSE(highlighter.clearPrehighlight()) << "nothing was prehighlighted";
    EXPECT_LE(MaxDiff(Render(p.doc, "prehighlight-cleared", "front"), before), 2);
}

// The highlight is drawn where the placements put the body: an inner move and an outer turn
// do not commute, so the wrong order would wash another place.
TEST(HostHighlight, NestedPlacementsPutTheHighlightOnTheBody) {
    Host::Document doc("Nested");
    Host::Component* sub = doc.model().addComponent("Sub");
    Host::Component* part = doc.model().addComponent("Block");
    part->addBody("Solid", Host::Shapes::Block({1, 1, 1}), {"Grey", 0.6f, 0.6f, 0.6f, 1});
    sub->addInstance(*part, Host::mat4d::Translation({3, 0, 0}));
    doc.model().root().addInstance(*sub, Host::mat4d::Rotation({0, 1, 0}, std::numbers::pi / 2));
    const Image before = Render(doc, "nested-before", "front");
    Host::Picker picker(doc, kW, kH, "front");
    const auto hits = picker.point(kW / 2, kH / 2, 0);
    ASSERT_FALSE(hits.empty());
    ASSERT_EQ(hits[0].placements.size(), 2u);
    Host::Highlighter highlighter(doc);
    highlighter.select(hits[0]);
    const Image selected = Render(doc, "nested-selected", "front");
    const Rgb a = before.at(kW / 2, kH / 2), s = selected.at(kW / 2, kH / 2);
    EXPECT_GT(s.b - a.b, 15) << a.b << " -> " << s.b;
    EXPECT_LT(s.r, a.r - 20) << a.r << " -> " << s.r;
}

} // namespace
