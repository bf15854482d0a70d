// Render items and world matrices kept from one walk to the next: what comes back, and what
// must never come back (anything someone still holds).
#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/GraphWalker.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Graphics/NodeCallbacks.h>
#include <Lumo/Graphics/WalkPool.h>
#include <Lumo/Objects/ADevMatrix.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/HeapOperators.h>

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

using namespace Lumo::Graphics;
using Lumo::Devices::RenderItem;
using Lumo::Objects::ADevMatrix;
using Lumo::Objects::AutoPtr;
using Lumo::Objects::mat4;
using Lumo::Objects::vec3;

namespace {
/// Leaves placed at x = their offset and drawn with an item from the pool, with an object id
/// when ids are on; a leaf marked to throw does.
struct PooledLeaves {
    static inline std::map<ARenderNode*, float> offsets;
    static inline bool ids = false;
    static inline ARenderNode* thrower = nullptr;
    static inline std::vector<std::string> events;

    static void Apply(Lumo::Devices::ADrawContext&, TraversalState& s, ARenderNode* node) {
        if (node == thrower)
            throw std::runtime_error("leaf failed");
        AutoPtr<ADevMatrix> placed = WalkPool::Matrix(s.Pool(), mat4<float>::Translation({offsets[node], 0, 0}));
        s.WorldMatrix(placed);
        AutoPtr<RenderItem> item = WalkPool::Item(s.Pool(), nullptr, s.WorldMatrix(), ids);
        if (ids)
            item->ObjectId(int(offsets[node]));
        s.AddItem(item);
        events.push_back("leaf");
    }
    static void Begin(Lumo::Devices::ADrawContext&) { events.push_back("begin"); }
    static void End(Lumo::Devices::ADrawContext&) { events.push_back("end"); }
};

class WalkPoolTest : public ::testing::Test {
protected:
    void SetUp() override {
        PooledLeaves::offsets.clear();
        PooledLeaves::ids = false;
        PooledLeaves::thrower = nullptr;
        PooledLeaves::events.clear();
        for (int i = 0; i < 3; ++i) {
            AutoPtr<GeometryNode> leaf = GeometryNode::Make();
            PooledLeaves::offsets[leaf] = float(i + 1);
            root->AddChild(leaf);
            leaves.push_back(leaf);
        }
        cb.applyAttributes = &PooledLeaves::Apply;
        cb.beginWalk = &PooledLeaves::Begin;
        cb.endWalk = &PooledLeaves::End;
        walker.Callbacks(&cb);
    }
    std::vector<RenderItem*> Walk(RenderItemList& items) {
        walker.Walk(root, items);
        return std::vector<RenderItem*>(items.begin(), items.end());
    }

    AutoPtr<Lumo::Devices::ADrawContext> dc = Lumo::Devices::ADrawContext::Make(nullptr);
    AutoPtr<GroupNode> root = GroupNode::Make();
    std::vector<AutoPtr<GeometryNode>> leaves;
    NodeCallbacks cb;
    GraphWalker walker{*dc};
};
} // namespace

TEST_F(WalkPoolTest, AnUnchangedWalkGetsBackItsReleasedItemsAndMatricesBlank) {
    std::vector<RenderItem*> first;
    std::vector<ADevMatrix*> firstMatrices;
    {
        RenderItemList items;
        first = Walk(items);
        EXPECT_EQ(walker.Pool().Made(), 6);
        for (RenderItem* item : first)
            firstMatrices.push_back(item->WorldMatrix());
        // What a drawer might have left on an item: none of it may reach the next frame.
        first[0]->CullMode(Lumo::Devices::eCullBack);
        first[0]->DepthPriority(5);
    }
    RenderItemList items;
    const auto heapBefore = Lumo::Objects::HeapOperators::Stats().totalBlocks;
    std::vector<RenderItem*> second = Walk(items);
    EXPECT_EQ(Lumo::Objects::HeapOperators::Stats().totalBlocks, heapBefore) << "no graphics object made";
    EXPECT_EQ(walker.Pool().Made(), 0);
    EXPECT_EQ(walker.Pool().Reused(), 6);
    EXPECT_EQ(second, first) << "each leaf gets its own item back, in order";
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(second[i]->WorldMatrix(), firstMatrices[i]);
        EXPECT_EQ(second[i]->WorldMatrix()->Matrix().GetTranslation(), (vec3<float>(float(i + 1), 0, 0)));
    }
    EXPECT_FALSE(second[0]->HasCullMode());
    EXPECT_EQ(second[0]->DepthPriority(), 0);
    EXPECT_EQ(second[0]->Effect(), nullptr);
    const std::vector<std::string> oneWalk{"begin", "leaf", "leaf", "leaf", "end"};
    std::vector<std::string> twoWalks = oneWalk;
    twoWalks.insert(twoWalks.end(), oneWalk.begin(), oneWalk.end());
    EXPECT_EQ(PooledLeaves::events, twoWalks) << "the hooks bracket each walk";
}

TEST_F(WalkPoolTest, WhatSomeoneStillHoldsIsNeverHandedOutOrChanged) {
    RenderItemList held;
    std::vector<RenderItem*> kept = Walk(held);
    kept[1]->DepthPriority(9);
    AutoPtr<ADevMatrix> keptMatrix = kept[0]->WorldMatrix();

    PooledLeaves::offsets[leaves[0]] = 10.0f; // the scene changed: a new matrix for leaf 0
    RenderItemList items;
    std::vector<RenderItem*> next = Walk(items);
    for (int i = 0; i < 3; ++i)
        EXPECT_NE(next[i], kept[i]) << "last frame's list still holds item " << i;
    EXPECT_EQ(kept[1]->DepthPriority(), 9);
    EXPECT_EQ(kept[0]->WorldMatrix(), keptMatrix.get());
    EXPECT_NE(next[0]->WorldMatrix(), keptMatrix.get());
    EXPECT_EQ(keptMatrix->Matrix().GetTranslation().x, 1.0f) << "a handed-out matrix is never rewritten";
    EXPECT_EQ(next[0]->WorldMatrix()->Matrix().GetTranslation().x, 10.0f);
    EXPECT_EQ(next[1]->WorldMatrix(), kept[1]->WorldMatrix()) << "unchanged matrices are shared";

    // Once both lists are let go, the newer items are the ones offered.
    held.Clear();
    items.Clear();
    RenderItemList last;
    EXPECT_EQ(Walk(last), next);
}

TEST_F(WalkPoolTest, AnItemThatHadAnObjectIdOnlyGoesToALeafThatSetsOne) {
    PooledLeaves::ids = true;
    std::vector<RenderItem*> withIds;
    {
        RenderItemList items;
        withIds = Walk(items);
    }
    PooledLeaves::ids = false;
    {
        RenderItemList items;
        std::vector<RenderItem*> without = Walk(items);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NE(without[i], withIds[i]);
            EXPECT_FALSE(without[i]->HasObjectId());
        }
    }
    PooledLeaves::ids = true;
    RenderItemList items;
    std::vector<RenderItem*> again = Walk(items);
    EXPECT_EQ(walker.Pool().Made(), 0) << "an item without an id may take one";
    EXPECT_EQ(again[2]->ObjectId(), 3);
}

TEST_F(WalkPoolTest, AShorterWalkLetsGoOfWhatItDidNotAskFor) {
    {
        RenderItemList items;
        Walk(items);
    }
    EXPECT_EQ(walker.Pool().ItemCount(), 3);
    EXPECT_EQ(walker.Pool().MatrixCount(), 3);
    root->RemoveChild(leaves[2], false);
    leaves[2] = nullptr;
    RenderItemList items;
    Walk(items);
    EXPECT_EQ(walker.Pool().ItemCount(), 2);
    EXPECT_EQ(walker.Pool().MatrixCount(), 2);
}

TEST_F(WalkPoolTest, TheEndHookRunsWhenALeafThrowsAndTheNextWalkStartsClean) {
    PooledLeaves::thrower = leaves[1];
    RenderItemList items;
    EXPECT_THROW(walker.Walk(root, items), std::runtime_error);
    EXPECT_EQ(PooledLeaves::events, (std::vector<std::string>{"begin", "leaf", "end"}));
    EXPECT_EQ(walker.Pool().ItemCount(), 1) << "only what the failed walk made is kept";

    PooledLeaves::thrower = nullptr;
    items.Clear();
    walker.Walk(root, items);
    EXPECT_EQ(items.Count(), 3);
    EXPECT_EQ(walker.Pool().Reused(), 2) << "the first leaf's item and matrix";
}

namespace {
/// Leaves that draw a cached input in place of their own items, placed at x = 5.
struct CachedInput {
    static inline Lumo::Objects::_ArrayList<Lumo::Objects::ARefCounted*, Lumo::Objects::RefCountedLifetime> input;
    static void Apply(Lumo::Devices::ADrawContext&, TraversalState& s, ARenderNode*) {
        AutoPtr<ADevMatrix> placed = WalkPool::Matrix(s.Pool(), mat4<float>::Translation({5, 0, 0}));
        s.WorldMatrix(placed);
        s.DrawInput(input);
    }
};
} // namespace

TEST(WalkPoolInput, CachedInputIsDrawnThroughPlacedCopiesThatComeBackNextFrame) {
    AutoPtr<Lumo::Devices::ADrawContext> dc = Lumo::Devices::ADrawContext::Make(nullptr);
    AutoPtr<GroupNode> root = GroupNode::Make();
    AutoPtr<GeometryNode> leaf = GeometryNode::Make();
    root->AddChild(leaf);
    AutoPtr<RenderItem> cached = RenderItem::Make();
    cached->ObjectId(4);
    cached->CullMode(Lumo::Devices::eCullBack);
    cached->DepthPriority(2);
    CachedInput::input.Add(cached);
    NodeCallbacks cb;
    cb.applyAttributes = &CachedInput::Apply;
    GraphWalker walker(*dc);
    walker.Callbacks(&cb);

    RenderItem* first = nullptr;
    {
        RenderItemList items;
        walker.Walk(root, items);
        ASSERT_EQ(items.Count(), 1);
        first = items[0];
    }
    RenderItemList items;
    walker.Walk(root, items);
    ASSERT_EQ(items.Count(), 1);
    EXPECT_EQ(items[0], first);
    EXPECT_NE(items[0], cached.get());
    EXPECT_EQ(items[0]->ObjectId(), 4);
    EXPECT_EQ(items[0]->CullMode(), Lumo::Devices::eCullBack);
    EXPECT_EQ(items[0]->DepthPriority(), 2);
    EXPECT_EQ(items[0]->WorldMatrix()->Matrix().GetTranslation().x, 5.0f);
    EXPECT_EQ(cached->WorldMatrix(), nullptr) << "the cached item is only copied";
    CachedInput::input.Clear();
}
