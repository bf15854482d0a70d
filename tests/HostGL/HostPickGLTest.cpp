// Picks in a host document's view through the scene library's selector: the face under a
// pixel with the placement it belongs to, edges within the tolerance, the background, window
// and crossing rectangles, and hidden placements skipped.
#include <Brio/Brio.h>
#include <Host/Host.h>
#include <Scene/Attributes/SelectionQualifier.h>
#include <Scene/Attributes/SliceCapAttribute.h>
#include <Scene/Change/NodeChange.h>
#include <Scene/Environment/Camera.h>
#include <Scene/Scene.h>
#include <Scene/View/GraphicsOptionGroup.h>
#include <ZoGe/ZoGe.h>

#include <gtest/gtest.h>

#include <set>

namespace {

constexpr int kW = 320, kH = 240;

/// The image pixel (y down) of a model point, as the picker's view shows it.
std::pair<double, double> PixelOf(Host::Document& doc, double x, double y, double z) {
    const Brio::Scene::Camera& c = doc.camera();
    const auto m = c.getDeviceViewMatrix() * c.getDeviceProjectionMatrix(double(kW) / kH);
    const auto q = m.Transform(Lumo::Objects::vec4<double>(x, y, z, 1));
    return {(q.x / q.w + 1) / 2 * kW, (1 - q.y / q.w) / 2 * kH};
}

/// Two red blocks side by side, seen from the front.
struct Pair {
    Host::Document doc{"Pick"};
    Host::Component* part = doc.model().addComponent("Block");
    Host::Body* body = part->addBody("Solid", Host::Shapes::Block({1, 1, 1}), {"Red", 0.9f, 0.1f, 0.1f, 1});
    Host::Instance* left = doc.model().root().addInstance(*part, Host::mat4d::Translation({-2, 0, 0}));
    Host::Instance* right = doc.model().root().addInstance(*part, Host::mat4d::Translation({2, 0, 0}));
};

/// The placements a rectangle took, the background left out.
std::set<const Host::Instance*> placements(const std::vector<Host::PickHit>& hits) {
    std::set<const Host::Instance*> s;
    for (const auto& h : hits)
        if (h.kind != "background")
            s.insert(h.instance);
    return s;
}

TEST(HostPick, TheFaceUnderThePixelWithItsPlacement) {
    Pair p;
    Host::Picker picker(p.doc, kW, kH, "front");
    const auto [x, y] = PixelOf(p.doc, 2.3, 0.2, 1);
    const auto hits = picker.point(x, y, 0);
    ASSERT_FALSE(hits.empty());
    const Host::PickHit& h = hits.front();
    EXPECT_EQ(h.kind, "face");
    EXPECT_EQ(h.instance, p.right) << "the right block, not the left one sharing its mesh";
    EXPECT_EQ(h.body, p.body);
    EXPECT_NEAR(h.point[0], 2.3, 1e-3);
    EXPECT_NEAR(h.point[1], 0.2, 1e-3);
    EXPECT_NEAR(h.point[2], 1, 1e-6) << "the front face, nearest first";
    EXPECT_NEAR(h.normal[2], 1, 1e-6);
    ASSERT_EQ(h.path.size(), 3u);
    EXPECT_EQ(h.path[1], "Block #" + p.right->name());
    EXPECT_EQ(h.path[2], "Solid");
    for (std::size_t i = 1; i < hits.size(); ++i)
        EXPECT_LE(hits[i - 1].distance, hits[i].distance);
}

TEST(HostPick, BackgroundEdgesAndHiddenPlacements) {
    Pair p;
    Host::Picker picker(p.doc, kW, kH, "front");
    // Between the blocks: the background.
    const auto [mx, my] = PixelOf(p.doc, 0, 0, 1);
    auto hits = picker.point(mx, my, 0);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].kind, "background");
    // Two pixels right of the right block's outer front edge (its side face there is turned away
    // from the eye): an edge within 4 pixels, nothing within 1.
    const auto [ex, ey] = PixelOf(p.doc, 3, 0, 1);
    hits = picker.point(ex + 2, ey, 1);
    ASSERT_FALSE(hits.empty());
    EXPECT_EQ(hits[0].kind, "background");
    hits = picker.point(ex + 2, ey, 4);
    ASSERT_FALSE(hits.empty());
    EXPECT_EQ(hits[0].kind, "edge");
    EXPECT_EQ(hits[0].instance, p.right);
    EXPECT_NEAR(hits[0].point[0], 3, 1e-6) << "a point on the edge";
    EXPECT_NEAR(hits[0].point[2], 1, 1e-6) << "the front edge, not the one behind";
    // A hidden placement is not picked.
    p.right->visible(false);
    const auto [rx, ry] = PixelOf(p.doc, 2, 0, 1);
    hits = picker.point(rx, ry, 0);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].kind, "background");
}

TEST(HostPick, WindowAndCrossingRectangles) {
    Pair p;
    Host::Picker picker(p.doc, kW, kH, "front");
    // Around the left block, reaching halfway into the right one.
    const auto [x0, y0] = PixelOf(p.doc, -3.5, 1.5, 1);
    const auto [x1, y1] = PixelOf(p.doc, 2, -1.5, 1);
    EXPECT_EQ(placements(picker.rectangle(x0, y0, x1, y1, false)), std::set<const Host::Instance*>{p.left});
    EXPECT_EQ(placements(picker.rectangle(x0, y0, x1, y1, true)), (std::set<const Host::Instance*>{p.left, p.right}));
    // Empty space between them: only the background.
    const auto [a, b] = PixelOf(p.doc, -0.5, 0.5, 1);
    const auto [c, d] = PixelOf(p.doc, 0.5, -0.5, 1);
    const auto none = picker.rectangle(a, b, c, d, true);
    ASSERT_EQ(none.size(), 1u);
    EXPECT_EQ(none[0].kind, "background");
}

TEST(HostPick, ClosestItemsOnlyRectanglesTakeWhatIsSeen) {
    // A small third block straight behind the right one, hidden by it in the front view.
    Pair p;
    Host::Instance* hidden =
        p.doc.model().root().addInstance(*p.part, Host::mat4d::Scale(0.3) * Host::mat4d::Translation({2, 0, -1}));
    Host::Picker picker(p.doc, kW, kH, "front");
    const auto [x0, y0] = PixelOf(p.doc, -3.5, 1.5, 1);
    const auto [x1, y1] = PixelOf(p.doc, 3.5, -1.5, 1);
    const auto [h0, v0] = PixelOf(p.doc, -3.5, 1.5, 1);
    const auto [h1, v1] = PixelOf(p.doc, 1.8, -1.5, 1);
    EXPECT_EQ(placements(picker.rectangle(x0, y0, x1, y1, true)),
              (std::set<const Host::Instance*>{p.left, p.right, hidden}))
        << "in software every block under the rectangle";
    Brio::Scene::GraphicsOptionGroup::get()->selectClosestItemOnly(true);
    EXPECT_EQ(placements(picker.rectangle(x0, y0, x1, y1, true)), (std::set<const Host::Instance*>{p.left, p.right}))
        << "the block behind is not seen";
    EXPECT_EQ(placements(picker.rectangle(x0, y0, x1, y1, false)), (std::set<const Host::Instance*>{p.left, p.right}));
    // A window reaching into the right block: only the left one lies wholly inside.
    EXPECT_EQ(placements(picker.rectangle(h0, v0, h1, v1, false)), std::set<const Host::Instance*>{p.left});
    EXPECT_EQ(placements(picker.rectangle(h0, v0, h1, v1, true)), (std::set<const Host::Instance*>{p.left, p.right}));
    // Once the front block is hidden, the one behind is seen.
    p.right->visible(false);
    EXPECT_EQ(placements(picker.rectangle(x0, y0, x1, y1, true)), (std::set<const Host::Instance*>{p.left, hidden}));
    Brio::Scene::GraphicsOptionGroup::get()->selectClosestItemOnly(false);
}

TEST(HostPick, OnePlacementAmongManySharingAPart) {
    Host::Document doc("Grid");
    Host::GenerateAssembly(doc.model(), {1, 800, 25});
    Host::Picker picker(doc, kW, kH, "top");
    const auto all = doc.model().instances();
    for (int k : {0, 7, 12, 24}) {
        const Host::Instance* want = all[std::size_t(k)];
        // A point on the part's ring: the tube of radius 0.7 and bore 0.35 around its centre.
        const auto& t = want->transform();
        const auto ring = t.TransformPoint({0.5, 0.25, 0});
        const auto [x, y] = PixelOf(doc, ring.x, ring.y, ring.z);
        const auto hits = picker.point(x, y, 0);
        ASSERT_FALSE(hits.empty()) << k;
        EXPECT_EQ(hits[0].instance, want) << k;
        EXPECT_EQ(hits[0].kind, "face") << k;
    }
}

} // namespace

namespace {

/// A qualifier that refuses every hit.
struct Refuser : Lumo::Scene::SelectionQualifier {
    bool selectable(Lumo::Graphics::IIntersection*) override { return false; }
};

/// Two blocks of their own parts, so that attributes on one body reach that block only.
struct TwoParts {
    Host::Document doc{"Attributes"};
    Host::Component* lp = doc.model().addComponent("L");
    Host::Component* rp = doc.model().addComponent("R");
    Host::Body* left = lp->addBody("Left", Host::Shapes::Block({1, 1, 1}), {"Red", 0.9f, 0.1f, 0.1f, 1});
    Host::Body* right = rp->addBody("Right", Host::Shapes::Block({1, 1, 1}), {"Red", 0.9f, 0.1f, 0.1f, 1});
    TwoParts() {
        doc.model().root().addInstance(*lp, Host::mat4d::Translation({-2, 0, 0}));
        doc.model().root().addInstance(*rp, Host::mat4d::Translation({2, 0, 0}));
    }
};

TEST(HostPick, SelectabilityQualifiersPrioritiesAndHalfSections) {
    TwoParts m;
    Host::Picker picker(m.doc, kW, kH, "front");
    Refuser refuser;
    {
        Brio::Scene::NodeChange change(m.left->sceneNode(), false);
        change.selectability(true, 5, nullptr);
        change.depthPriority(3);
    }
    const auto [lx, ly] = PixelOf(m.doc, -2, 0.3, 1);
    auto hits = picker.point(lx, ly, 0);
    ASSERT_FALSE(hits.empty());
    EXPECT_EQ(hits[0].body, m.left);
    EXPECT_EQ(hits[0].selectionPriority, 5);
    EXPECT_EQ(hits[0].depthPriority, 3);
    // Not selectable: the background; a qualifier that refuses: the background too.
    {
        Brio::Scene::NodeChange change(m.left->sceneNode(), false);
        change.selectability(false, 0, nullptr);
    }
    hits = picker.point(lx, ly, 0);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].kind, "background");
    {
        Brio::Scene::NodeChange change(m.left->sceneNode(), false);
        change.selectability(true, 0, &refuser);
    }
    hits = picker.point(lx, ly, 0);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].kind, "background");
    // A half section keeps x <= 2.5 of the right block: a hit beyond it is cut away.
    {
        Brio::Scene::NodeChange change(m.right->sceneNode(), false);
        Lumo::Objects::vec4<float> plane(-1, 0, 0, 2.5f);
        change.SliceCap(Lumo::Scene::eHalfSection, false, &plane, nullptr);
    }
    const auto [kx, ky] = PixelOf(m.doc, 2.2, 0, 1);
    hits = picker.point(kx, ky, 0);
    ASSERT_FALSE(hits.empty());
    EXPECT_EQ(hits[0].body, m.right);
    const auto [cx, cy] = PixelOf(m.doc, 2.8, 0, 1);
    hits = picker.point(cx, cy, 0);
    ASSERT_FALSE(hits.empty());
    for (const auto& h : hits)
        EXPECT_TRUE(h.kind == "background" || h.point[0] <= 2.5 + 1e-9) << h.kind << " at x " << h.point[0];
}

} // namespace

namespace {

/// Keeps the host bodies of what the selector hands over, and the background hits.
struct Bodies : Brio::Scene::SelectionSorter {
    std::vector<Brio::Scene::NodePath> paths;
    int background = 0;
    void addHits(const Brio::Scene::NodePath& path, const std::vector<Brio::Scene::SelectionHit>&, const ZoGeRay3d&,
                 const ZoGeMatrix3d&, const Brio::Scene::ViewFragmentTransformer&) override {
        if (path.size() <= 2)
            ++background;
        else
            paths.push_back(path);
    }
    void sortHits() override {}
};

// A fragment drawn in the left half of the window answers only there, through its own aspect.
TEST(HostPick, AFragmentWithARelativeViewport) {
    Pair p;
    Host::AimCamera(p.doc, "front");
    p.doc.showModel();
    Brio::Scene::Provider::provider()->initialize();
    Brio::Segment* segment = p.doc.asset().transientSegment();
    Brio::StrongRef<Brio::Scene::ViewFragment> fragment = Brio::Scene::ViewFragment::make(segment);
    fragment->camera(&p.doc.camera());
    fragment->scene(&p.doc.adapter());
    Brio::StrongRef<Brio::Scene::Viewport> half = Brio::Scene::Viewport::make(segment);
    half->space(Brio::Scene::Viewport::eRelative);
    half->set(0.0, 0.5, 0.0, 1.0);
    fragment->viewport(half);
    Lumo::Objects::AutoPtr<Lumo::Graphics::GroupNode> view(Brio::Scene::makeViewNode(nullptr));
    Brio::StrongRef<Brio::Scene::Viewport> window = Brio::Scene::Viewport::make(segment);
    window->space(Brio::Scene::Viewport::eAbsolute);
    window->set(0, 2 * kW, 0, kH); // the fragment gets kW x kH on the left
    Brio::Scene::viewNodeData(view)->viewport(window);
    view->AddChild(fragment->viewFragmentNode());
    Brio::Scene::ViewSelector* selector = Brio::Scene::Provider::provider()->requestViewSelector();
    // The right block's centre in the fragment's pixels (y up), then the same spot one window
    // half to the right, where no fragment is.
    const auto [x, y] = PixelOf(p.doc, 2.2, 0.1, 1);
    Bodies inside, outside;
    selector->select(view, ZoGePoint2d(x, kH - y), 0, &inside);
    selector->select(view, ZoGePoint2d(x + kW, kH - y), 0, &outside);
    Brio::Scene::Provider::provider()->releaseViewSelector(selector);
    view->RemoveChild(fragment->viewFragmentNode());
    ASSERT_FALSE(inside.paths.empty());
    EXPECT_EQ(inside.paths[0][2], p.doc.model().root().sceneNode());
    EXPECT_EQ(inside.background, 0);
    EXPECT_TRUE(outside.paths.empty());
    EXPECT_EQ(outside.background, 0) << "outside every fragment there is not even a background";
}

} // namespace

namespace {

// A fragment that depends on another picks through the other's camera and viewport: its own
// camera, looking elsewhere, is not used.
TEST(HostPick, ADependentFragmentUsesTheCameraItDependsOn) {
    Pair p;
    Host::AimCamera(p.doc, "front");
    p.doc.showModel();
    Brio::Scene::Provider::provider()->initialize();
    Brio::Segment* segment = p.doc.asset().transientSegment();
    Brio::StrongRef<Brio::Scene::ViewFragment> main = Brio::Scene::ViewFragment::make(segment);
    main->camera(&p.doc.camera());
    // The main fragment draws nothing pickable of its own: only its camera matters here.
    main->scene(Lumo::Objects::AutoPtr<Lumo::Graphics::GroupNode>(
                    Lumo::Scene::MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, true))
                    .get(),
                nullptr);
    Brio::StrongRef<Brio::Scene::ViewFragment> overlay = Brio::Scene::ViewFragment::make(segment);
    Brio::StrongRef<Brio::Scene::Camera> away = Brio::Scene::Camera::make(segment);
    away->position(ZoGePoint3d(0, 100, 0)); // looking down on nothing from far above
    away->target(ZoGePoint3d(50, 0, 50));
    overlay->camera(away);
    overlay->scene(&p.doc.adapter());
    overlay->dependentFragment(main);
    Lumo::Objects::AutoPtr<Lumo::Graphics::GroupNode> view(Brio::Scene::makeViewNode(nullptr));
    Brio::StrongRef<Brio::Scene::Viewport> window = Brio::Scene::Viewport::make(segment);
    window->space(Brio::Scene::Viewport::eAbsolute);
    window->set(0, kW, 0, kH);
    Brio::Scene::viewNodeData(view)->viewport(window);
    view->AddChild(main->viewFragmentNode());
    view->AddChild(overlay->viewFragmentNode());
    Brio::Scene::ViewSelector* selector = Brio::Scene::Provider::provider()->requestViewSelector();
    const auto [x, y] = PixelOf(p.doc, 2.2, 0.1, 1);
    Bodies found;
    selector->select(view, ZoGePoint2d(x, kH - y), 0, &found);
    Brio::Scene::Provider::provider()->releaseViewSelector(selector);
    view->RemoveChild(main->viewFragmentNode());
    view->RemoveChild(overlay->viewFragmentNode());
    ASSERT_FALSE(found.paths.empty()) << "the overlay picked through the main fragment's camera";
    EXPECT_EQ(found.paths[0][1], overlay->viewFragmentNode());
}

} // namespace
