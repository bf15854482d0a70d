// What a walk of an unchanged scene costs (nothing per leaf), what it keeps between frames
// (items, matrices and effect variants), that a changed scene is still drawn as it now is, and
// that an event delivered to the user-interface thread cannot edit the graph under a walk.
#include "../TestSupport.h"
#include "AssemblyFixture.h"
#include "CountingNew.h"

#include <Brio/Base/DelayedEventBase.h>
#include <Brio/Base/IdleHandler.h>
#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/LayeredEffectInstance.h>
#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Devices/SolidEffectInstance.h>
#include <Lumo/Devices/VirtualDevice.h>
#include <Lumo/Graphics/GraphWalker.h>
#include <Lumo/Graphics/NodeCallbacks.h>
#include <Lumo/Objects/ADevMatrix.h>
#include <Lumo/Objects/HeapOperators.h>
#include <Scene/Attributes/CullModeAttribute.h>
#include <Scene/Attributes/DepthPriorityAttribute.h>
#include <Scene/Attributes/EffectInstanceCache.h>
#include <Scene/Attributes/ObjectIDAttribute.h>
#include <Scene/Attributes/OpacityAttribute.h>
#include <Scene/Attributes/TraversalState.h>
#include <Scene/Change/NodeData.h>
#include <Scene/Nodes/SceneWalk.h>

#include <vector>

using namespace Lumo::Scene;
using namespace SceneTest;
using Lumo::Devices::RenderItem;
using Lumo::Graphics::RenderItemList;

namespace {

/// This thread's allocations through the global operators and every graphics object made.
std::int64_t Allocations() {
    return CountingNew::allocations + Lumo::Objects::HeapOperators::Stats().totalBlocks;
}

/// Empties the list but keeps its storage, as a renderer does between frames.
void Release(RenderItemList& items) {
    while (items.Count() > 0)
        items.RemoveAt(items.Count() - 1);
}

/// 3 components x 4 instances x 2 bodies: instance 1 of each component at half opacity,
/// instance 2 with an object id and a cull mode; the fixture gives instance 0 of component 0
/// and instance 2 of component 2 a type-specific child set, and component 1 (a shared target)
/// has one that puts its bodies at depth priority 3. Walked by one walker with the node data's hooks (or the scene's).
class WalkTest : public ::testing::Test {
protected:
    static constexpr int kInstances = 4, kBodies = 2;

    virtual bool NodeDataHooks() const { return true; }
    void SetUp() override {
        if (NodeDataHooks())
            Brio::Scene::NodeData::installRenderCallbacks();
        else
            SceneWalk::Install();
        for (int c = 0; c < 3; ++c) {
            Set(c, 1)->SetAttribute(AutoPtr<Attribute>(OpacityAttribute::Make(0.5f, false)));
            Set(c, 2)->SetAttribute(AutoPtr<Attribute>(ObjectIDAttribute::Make()));
            Set(c, 2)->SetAttribute(AutoPtr<Attribute>(CullModeAttribute::Make(Lumo::Devices::eCullBack)));
        }
        static_cast<AttributeSetEx*>(GetAttributeSet(a.components[1]))
            ->GetAttributeSet(SceneFixture::kBodyType, SceneFixture::kInstanceType | SceneFixture::kComponentType, true)
            ->SetAttribute(AutoPtr<Attribute>(DepthPriorityAttribute::Make(3)));
        walker.AddClientState(TraversalState::StaticClassName(), seed);
    }
    void TearDown() override {
        Release(items);
        SceneWalk::Uninstall();
        EffectInstanceCache::Destroy(); // the walks' shared instances and variants
        Brio::DelayedEventBase::processDelayedEvents();
    }

    AttributeSet* Set(int component, int instance) {
        return GetAttributeSet(a.root->Child(component)->AsGroup()->Child(instance));
    }
    /// The items of one instance's bodies.
    RenderItem* Item(int component, int instance, int body) const {
        return items[(component * kInstances + instance) * kBodies + body];
    }
    std::vector<RenderItem*> Walk() {
        Release(items);
        walker.Walk(a.root, items);
        return std::vector<RenderItem*>(items.begin(), items.end());
    }

    LiveObjectGuard guard;
    SceneFixture::Assembly a = SceneFixture::BuildAssembly(3, kInstances, kBodies);
    AutoPtr<Lumo::Devices::VirtualDevice> device = Lumo::Devices::VirtualDevice::Make(nullptr);
    AutoPtr<Lumo::Devices::ADrawContext> dc = Lumo::Devices::ADrawContext::Make(device);
    AutoPtr<TraversalState> seed = TraversalState::Make();
    Lumo::Graphics::GraphWalker walker{*dc};
    RenderItemList items;
};

/// The same with either set of hooks.
class WalkReuseTest : public WalkTest, public ::testing::WithParamInterface<bool> {
protected:
    bool NodeDataHooks() const override { return GetParam(); }
};

} // namespace

TEST_P(WalkReuseTest, AnUnchangedWalkAllocatesNothingAndDrawsWithTheSameItemsAndEffects) {
    seed->DoubleSided(1); // every leaf's effect gets its back-face variant too
    Walk();
    std::vector<RenderItem*> second = Walk();
    std::vector<Lumo::Devices::EffectInstance*> effects;
    for (RenderItem* item : second)
        effects.push_back(item->Effect());

    Release(items);
    const std::int64_t before = Allocations();
    walker.Walk(a.root, items);
    EXPECT_EQ(Allocations() - before, 0) << "heap allocations in a walk of the unchanged scene";
    EXPECT_EQ(walker.Pool().Made(), 0);

    ASSERT_EQ(items.Count(), a.leaves);
    for (int i = 0; i < a.leaves; ++i) {
        EXPECT_EQ(items[i], second[i]) << "leaf " << i << " keeps its item";
        EXPECT_EQ(items[i]->Effect(), effects[i]) << "leaf " << i << " keeps its effect";
    }
    // Bodies of one translucent instance draw with one shared instance, not one copy each.
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(Item(c, 1, 0)->Effect(), Item(c, 1, 1)->Effect());
        auto* layered = static_cast<Lumo::Devices::LayeredEffectInstance*>(
            Item(c, 1, 0)->Effect()->GetInterface(Lumo::Devices::LayeredEffectInstance::StaticClassName()));
        ASSERT_NE(layered, nullptr) << "two-sided: the front and a back-face layer";
        auto* front = static_cast<Lumo::Devices::SolidEffectInstance*>(
            layered->Layer(0)->GetInterface(Lumo::Devices::SolidEffectInstance::StaticClassName()));
        ASSERT_NE(front, nullptr);
        EXPECT_FLOAT_EQ(front->Opacity(), 0.5f);
        EXPECT_TRUE(Item(c, 2, 0)->HasObjectId());
        EXPECT_TRUE(Item(c, 2, 0)->HasCullMode());
        EXPECT_EQ(Item(c, 3, 1)->DepthPriority(), c == 1 ? 3 : 0) << "the target's child set reached its bodies";
    }
}

TEST_P(WalkReuseTest, AChangedSceneIsDrawnAsItNowIsWithTheItemsOfTheLastFrame) {
    std::vector<RenderItem*> first = Walk();
    Lumo::Devices::EffectInstance* fadedBefore = Item(0, 1, 0)->Effect();
    Lumo::Devices::EffectInstance* untouched = Item(1, 1, 0)->Effect();
    Lumo::Objects::ADevMatrix* placedBefore = Item(0, 3, 0)->WorldMatrix();

    Set(0, 1)->SetAttribute(AutoPtr<Attribute>(OpacityAttribute::Make(0.25f, false)));
    Set(0, 2)->RemoveAttribute(eObjectID);
    Set(0, 2)->RemoveAttribute(eCullMode);
    Set(1, 2)->RemoveAttribute(eCullMode);
    Set(0, 3)->SetAttribute(AutoPtr<Attribute>(
        TransformAttribute::Make(Lumo::Objects::mat4<float>::Translation(Lumo::Objects::vec3<float>(7, 7, 7)), false)));
    std::vector<RenderItem*> second = Walk();

    auto* faded = static_cast<Lumo::Devices::SolidEffectInstance*>(
        Item(0, 1, 0)->Effect()->GetInterface(Lumo::Devices::SolidEffectInstance::StaticClassName()));
    ASSERT_NE(faded, nullptr);
    EXPECT_NE(faded, fadedBefore);
    EXPECT_FLOAT_EQ(faded->Opacity(), 0.25f);
    EXPECT_EQ(Item(1, 1, 0)->Effect(), untouched);
    for (int b = 0; b < kBodies; ++b) {
        EXPECT_FALSE(Item(0, 2, b)->HasObjectId()) << "an id cannot outlive its attribute";
        EXPECT_FALSE(Item(0, 2, b)->HasCullMode());
        EXPECT_FALSE(Item(1, 2, b)->HasCullMode()) << "a reused item loses its cull mode";
        EXPECT_TRUE(Item(1, 2, b)->HasObjectId());
        EXPECT_TRUE(Item(2, 2, b)->HasCullMode());
    }
    EXPECT_EQ(Item(1, 2, 0), first[(1 * kInstances + 2) * kBodies]) << "its item came back";
    ASSERT_NE(Item(0, 3, 0)->WorldMatrix(), nullptr);
    EXPECT_NE(Item(0, 3, 0)->WorldMatrix(), placedBefore);
    EXPECT_EQ(Item(0, 3, 0)->WorldMatrix()->Matrix().GetTranslation(), (Lumo::Objects::vec3<float>(7, 7, 7)));
}

// Only the node data's hooks tick the idle handler.
TEST_F(WalkTest, AnEventThatEditsTheGraphDuringAWalkTakesEffectAfterIt) {
    Walk();
    // Posted as another thread would; the first tick of the walk used to deliver it.
    bool ran = false;
    AutoPtr<Lumo::Graphics::ARenderNode> removed = a.root->Child(2);
    Brio::DelayedEventBase::post([&] {
        ran = true;
        a.root->RemoveChild(removed);
        removed = nullptr; // the last reference: a walk still on it would read freed memory
        Set(0, 0)->SetAttribute(AutoPtr<Attribute>(OpacityAttribute::Make(0.5f, false)));
    });
    const long ticks = Brio::IIdleHandler::tickCount();
    Walk();
    EXPECT_GT(Brio::IIdleHandler::tickCount(), ticks) << "the walk ticked";
    EXPECT_TRUE(ran) << "delivered when the walk ended";
    EXPECT_EQ(items.Count(), a.leaves) << "the walk saw the whole graph";
    auto* solid = static_cast<Lumo::Devices::SolidEffectInstance*>(
        Item(0, 0, 0)->Effect()->GetInterface(Lumo::Devices::SolidEffectInstance::StaticClassName()));
    ASSERT_NE(solid, nullptr);
    EXPECT_FLOAT_EQ(solid->Opacity(), 1.0f) << "the edit came after the walk";
    EXPECT_EQ(a.root->ChildCount(), 2);

    Walk();
    EXPECT_EQ(items.Count(), a.leaves * 2 / 3) << "the next walk sees the edit";
    solid = static_cast<Lumo::Devices::SolidEffectInstance*>(
        Item(0, 0, 0)->Effect()->GetInterface(Lumo::Devices::SolidEffectInstance::StaticClassName()));
    ASSERT_NE(solid, nullptr);
    EXPECT_FLOAT_EQ(solid->Opacity(), 0.5f);
}

INSTANTIATE_TEST_SUITE_P(Hooks, WalkReuseTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "NodeData" : "SceneWalk"; });
