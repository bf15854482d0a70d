#include "../TestSupport.h"

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Devices/SolidEffectInstance.h>
#include <Lumo/Devices/TextureInstance.h>
#include <Lumo/Devices/VirtualDevice.h>
#include <Lumo/Graphics/AttributeLODList.h>
#include <Lumo/Graphics/ClientTraversalState.h>
#include <Lumo/Graphics/TraversalState.h>
#include <Lumo/Objects/ADevMatrix.h>
#include <Scene/Attributes/TraversalState.h>
#include <Scene/Nodes/ImageNode.h>
#include <Scene/Nodes/TextNode.h>

#include <vector>

using namespace Lumo::Scene;
using namespace SceneTest;

namespace {
struct Walk {
    AutoPtr<Lumo::Devices::VirtualDevice> device = Lumo::Devices::VirtualDevice::Make(nullptr);
    AutoPtr<Lumo::Devices::ADrawContext> dc = Lumo::Devices::ADrawContext::Make(device);
    Lumo::Graphics::RenderItemList items;
    Lumo::Graphics::TraversalState state;
    Walk() { state.RenderItems(&items); }
};
} // namespace

TEST(ImageNodeTest, QuadIsScaledToThePictureAndPlacedAtItsStart) {
    LiveObjectGuard guard;
    std::vector<std::uint8_t> pixels(200 * 100 * 4, 255);
    AutoPtr<Lumo::Devices::TextureInstance> texture = Lumo::Devices::TextureInstance::Make(200, 100, pixels.data());
    AutoPtr<ImageNode> image = ImageNode::Make({5, 5, 0}, texture);
    const auto& m = image->WorldMatrix()->Matrix();
    EXPECT_EQ(m[0][0], 200.0f);
    EXPECT_EQ(m[1][1], 100.0f);
    EXPECT_EQ(m.GetTranslation(), (Lumo::Objects::vec3<float>(5, 5, 0)));
    Lumo::Objects::SBox3 box = image->WorldBox();
    EXPECT_EQ(box.Min(), (Lumo::Objects::vec3<double>(5, 5, 0)));
    EXPECT_EQ(box.Max(), (Lumo::Objects::vec3<double>(205, 105, 0)));

    Walk walk;
    image->RealizeNode(*walk.dc, walk.state, nullptr);
    image->RealizeNode(*walk.dc, walk.state, nullptr);
    ASSERT_EQ(walk.items.Count(), 2);
    EXPECT_EQ(walk.items[0], walk.items[1]) << "built once, drawn each walk";
    auto* effect = static_cast<Lumo::Devices::SolidEffectInstance*>(walk.items[0]->Effect());
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->Texture(), texture.get());
    EXPECT_EQ(walk.items[0]->WorldMatrix(), image->WorldMatrix());
}

TEST(TextNodeTest, TextBecomesOneTexturedItemNotDrawnWhenPicking) {
    LiveObjectGuard guard;
    AutoPtr<TextNode> text = TextNode::Make();
    text->TextData(L"Label 12");
    Walk walk;
    text->RealizeNode(*walk.dc, walk.state, nullptr);
    ASSERT_EQ(walk.items.Count(), 1);
    auto* effect = static_cast<Lumo::Devices::SolidEffectInstance*>(walk.items[0]->Effect());
    ASSERT_NE(effect, nullptr);
    EXPECT_NE(effect->Texture(), nullptr);
    EXPECT_TRUE(effect->TextureAlpha());
    EXPECT_GT(text->Attributes()->SlotCount(), 0);

    // New text drops what was derived from the old.
    text->TextData(L"Other");
    EXPECT_EQ(text->Attributes()->SlotCount(), 0);

    class Picking : public Lumo::Graphics::ClientTraversalState {
    public:
        ClientTraversalState* Clone() override { return new Picking; }
        ClientTraversalState* Acquire() override { return new Picking; }
        void Reset(ClientTraversalState*) override {}
        void CopyFrom(ClientTraversalState*) override {}
        void Merge(ClientTraversalState&) override {}
        void Clear() override {}
    };
    AutoPtr<Picking> picking = new Picking;
    walk.state.ClientState(Lumo::Graphics::TraversalState::SelectionStateName(), picking);
    text->RealizeNode(*walk.dc, walk.state, nullptr);
    EXPECT_EQ(walk.items.Count(), 1) << "no text in a pick";
    walk.state.ClientState(Lumo::Graphics::TraversalState::SelectionStateName(), nullptr);
}

TEST(TextNodeTest, EmptyTextDrawsNothing) {
    LiveObjectGuard guard;
    AutoPtr<TextNode> text = TextNode::Make();
    Walk walk;
    text->RealizeNode(*walk.dc, walk.state, nullptr);
    EXPECT_EQ(walk.items.Count(), 0);
    text->Anchor({0.0f, TextNode::kBaselineAnchor});
    EXPECT_EQ(text->Anchor().y, 0.0f);
}
