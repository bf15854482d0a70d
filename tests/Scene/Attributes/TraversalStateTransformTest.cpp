// Placement matrices checked against values worked out by hand for known views.
#include "../TestSupport.h"

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/VirtualDevice.h>
#include <Lumo/Graphics/TraversalState.h>
#include <Lumo/Objects/SharedMatrix.h>
#include <Scene/Attributes/BillBoardAttribute.h>
#include <Scene/Attributes/PixelScaleAttribute.h>
#include <Scene/Attributes/TransformAttribute.h>
#include <Scene/Attributes/TraversalState.h>
#include <Scene/Nodes/TextNode.h>

using namespace Lumo::Scene;
using namespace SceneTest;
using Lumo::Objects::mat4;
using Lumo::Objects::vec3;

namespace {
constexpr float kTol = 1e-4f;

void ExpectPoint(const vec3<float>& p, float x, float y, float z) {
    EXPECT_NEAR(p.x, x, kTol);
    EXPECT_NEAR(p.y, y, kTol);
    EXPECT_NEAR(p.z, z, kTol);
}

/// A state holding the given attributes.
AutoPtr<TraversalState> StateWith(std::initializer_list<Attribute*> attributes) {
    AutoPtr<TraversalState> s = TraversalState::Make();
    AutoPtr<AttributeSet> set = AttributeSet::Make(nullptr, 0);
    for (Attribute* a : attributes)
        set->SetAttribute(a);
    s->MergeAttributes(set);
    return s;
}

/// A context looking along +z from the origin (device space is left-handed), 200 x 200 pixels.
AutoPtr<Lumo::Devices::ADrawContext> Context(const mat4<float>& proj) {
    AutoPtr<Lumo::Devices::VirtualDevice> device = Lumo::Devices::VirtualDevice::Make(nullptr);
    AutoPtr<Lumo::Devices::ADrawContext> dc = Lumo::Devices::ADrawContext::Make(device);
    dc->ViewMatrix(mat4<float>());
    dc->ProjMatrix(proj);
    dc->Viewport(200, 200);
    return dc;
}

/// Orthographic: x and y in -10..10 fill the viewport, so one model unit is 10 pixels.
mat4<float> Ortho() {
    return mat4<float>::Scale(vec3<float>(0.1f, 0.1f, 0.01f));
}

/// Perspective with w = eye depth: at depth z, x = +-z fills the viewport.
mat4<float> Perspective() {
    const float n = 1, f = 100;
    return mat4<float>(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, f / (f - n), 1, 0, 0, -n * f / (f - n), 0);
}
} // namespace

TEST(TraversalStateTransformTest, ScreenBillboardFacesTheViewer) {
    LiveObjectGuard guard;
    auto dc = Context(Ortho());
    AutoPtr<TraversalState> s =
        StateWith({BillBoardAttribute::Make({1, 2, 3}, BillBoardAttribute::eScreen, {0, 0, 0})});
    mat4<float> m;
    EXPECT_TRUE(s->GetAccumulatedTransform(dc, m, nullptr));
    ExpectPoint(m.TransformPoint({1, 2, 3}), 1, 2, 3); // the anchor stays
    ExpectPoint(m.TransformPoint({2, 2, 3}), 2, 2, 3); // x stays screen right
    ExpectPoint(m.TransformPoint({1, 2, 4}), 1, 2, 2); // +z turns toward the viewer

    mat4<float> untouched;
    EXPECT_FALSE(s->GetAccumulatedTransform(nullptr, untouched, nullptr)) << "needs a draw context";
    EXPECT_TRUE(untouched.IsIdentity());
}

TEST(TraversalStateTransformTest, AxialBillboardTurnsAboutItsAxis) {
    LiveObjectGuard guard;
    auto dc = Context(Ortho());
    AutoPtr<TraversalState> s = StateWith({BillBoardAttribute::Make({0, 0, 0}, BillBoardAttribute::eAxial, {0, 1, 0})});
    mat4<float> m;
    s->GetAccumulatedTransform(dc, m, nullptr);
    // Rows s = a x e = (-1,0,0), a = (0,1,0), t = s x a = (0,0,-1) for e = (0,0,-1).
    ExpectPoint(m.TransformPoint({1, 0, 0}), -1, 0, 0);
    ExpectPoint(m.TransformPoint({0, 1, 0}), 0, 1, 0);
    ExpectPoint(m.TransformPoint({0, 0, 1}), 0, 0, -1);
}

TEST(TraversalStateTransformTest, RightReadingMirrorsTextSeenFromBehind) {
    LiveObjectGuard guard;
    auto dc = Context(Ortho());
    AutoPtr<TraversalState> s =
        StateWith({BillBoardAttribute::Make({1, 0, 0}, BillBoardAttribute::eRightReading, {0, 0, 0})});
    mat4<float> m;
    s->GetAccumulatedTransform(dc, m, nullptr);
    // z points away from the viewer: mirrored about the anchor in x and z, y kept.
    ExpectPoint(m.TransformPoint({1, 0, 0}), 1, 0, 0);
    ExpectPoint(m.TransformPoint({2, 1, 1}), 0, 1, -1);

    // Turned upside down as well (a half turn about x flips y and z): both flips apply.
    AutoPtr<TraversalState> flipped =
        StateWith({TransformAttribute::Make(mat4<float>::Rotation({1, 0, 0}, float(M_PI)), false),
                   BillBoardAttribute::Make({0, 0, 0}, BillBoardAttribute::eRightReading, {0, 0, 0})});
    mat4<float> f;
    flipped->GetAccumulatedTransform(dc, f, nullptr);
    // z' = (0,0,-1): not mirrored; y' = (0,-1,0): upside down, F = diag(-1,-1,1), then the turn.
    ExpectPoint(f.TransformPoint({1, 1, 0}), -1, 1, 0);
}

TEST(TraversalStateTransformTest, PixelScaleKeepsAFixedSizeOnScreen) {
    LiveObjectGuard guard;
    // 50 pixels for one model unit; orthographic 10 px per unit: scale 5 about the centre.
    AutoPtr<TraversalState> s = StateWith({PixelScaleAttribute::Make(50.0, 1.0, {2, 0, 0})});
    auto ortho = Context(Ortho());
    mat4<float> m;
    EXPECT_TRUE(s->GetAccumulatedTransform(ortho, m, nullptr));
    ExpectPoint(m.TransformPoint({2, 0, 0}), 2, 0, 0);
    ExpectPoint(m.TransformPoint({3, 0, 0}), 7, 0, 0);

    // Perspective: at depth 10 one pixel spans 0.1 units, so again scale 5.
    AutoPtr<TraversalState> p = StateWith({PixelScaleAttribute::Make(50.0, 1.0, {0, 0, 10})});
    mat4<float> pm;
    EXPECT_TRUE(p->GetAccumulatedTransform(Context(Perspective()), pm, nullptr));
    ExpectPoint(pm.TransformPoint({1, 0, 10}), 5, 0, 10);

    TraversalState::GlobalPixelScaleFactor(2.0f);
    mat4<float> doubled;
    s->GetAccumulatedTransform(ortho, doubled, nullptr);
    TraversalState::GlobalPixelScaleFactor(1.0f);
    ExpectPoint(doubled.TransformPoint({3, 0, 0}), 12, 0, 0);

    mat4<float> none;
    EXPECT_FALSE(s->GetAccumulatedTransform(nullptr, none, nullptr));
    EXPECT_TRUE(none.IsIdentity());

    AutoPtr<Lumo::Objects::SharedMatrix> shared = Lumo::Objects::SharedMatrix::Make();
    EXPECT_TRUE(s->GetAccumulatedTransform(ortho, *shared, nullptr));
    EXPECT_EQ(shared->Matrix(), m) << "the device-matrix form gives the same placement";
}

TEST(TraversalStateTransformTest, UpdateTransformConsumesBillboardsAndSharesMatrices) {
    LiveObjectGuard guard;
    auto dc = Context(Ortho());
    Lumo::Graphics::TraversalState graphics;
    AutoPtr<TraversalState> plain = StateWith({});
    plain->UpdateTransform(*dc, graphics, nullptr);
    EXPECT_EQ(graphics.WorldMatrix(), nullptr) << "identity needs no matrix";

    AutoPtr<TraversalState> moved = StateWith({TransformAttribute::Make(mat4<float>::Translation({5, 0, 0}), false)});
    moved->UpdateTransform(*dc, graphics, nullptr);
    ASSERT_NE(graphics.WorldMatrix(), nullptr);
    Lumo::Objects::ADevMatrix* first = graphics.WorldMatrix();
    moved->UpdateTransform(*dc, graphics, nullptr);
    EXPECT_EQ(graphics.WorldMatrix(), first) << "an equal matrix is kept, not remade";

    AutoPtr<TraversalState> board =
        StateWith({TransformAttribute::Make(mat4<float>::Translation({5, 0, 0}), false, true, 9),
                   BillBoardAttribute::Make({0, 0, 0}, BillBoardAttribute::eScreen, {})});
    board->UpdateTransform(*dc, graphics, nullptr);
    EXPECT_FALSE(board->HasAttribute(eBillBoard)) << "consumed";
    auto* t = static_cast<TransformAttribute*>(board->GetAttribute(eTransform));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Priority(), 9);
    EXPECT_TRUE(t->WinTies());
    ExpectPoint(t->Transform().TransformPoint({0, 0, 1}), 5, 0, -1);
    graphics.WorldMatrix(nullptr);
}

TEST(TraversalStateTransformTest, TextIsPlacedByItsAnchor) {
    LiveObjectGuard guard;
    AutoPtr<TextNode> text = TextNode::Make();
    text->TextData(L"Hg");
    EXPECT_FLOAT_EQ(text->Anchor().x, 0.5f);
    EXPECT_EQ(text->Priority(), -1);
    Lumo::Objects::SBox3 box = text->WorldBox();
    ASSERT_FALSE(box.IsEmpty());

    AutoPtr<TraversalState> s = StateWith({});
    mat4<float> m;
    s->GetAccumulatedTransform(nullptr, m, text);
    // The box centre (anchor 0.5, 0.5) lands on the origin.
    vec3<float> centre(float((box.Min().x + box.Max().x) / 2), float((box.Min().y + box.Max().y) / 2),
                       float(box.Min().z));
    ExpectPoint(m.TransformPoint(centre), 0, 0, 0);

    text->Anchor({0.0f, TextNode::kBaselineAnchor});
    float v = text->Anchor().y;
    EXPECT_GT(v, 0.0f);
    EXPECT_LT(v, 1.0f);
    mat4<float> b;
    s->GetAccumulatedTransform(nullptr, b, text);
    ExpectPoint(b.TransformPoint({float(box.Min().x), 0, float(box.Min().z)}), 0, 0, 0); // baseline start
}
