#include <Lumo/Graphics/AWorld.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Graphics/Worlds.h>
#include <Lumo/Objects/AutoPtr.h>

#include <gtest/gtest.h>

using namespace Lumo::Graphics;
using Lumo::Objects::AutoPtr;

TEST(ARenderListTest, KeepsItsRootsInOrderOnceEachWithOneReferenceEach) {
    const int live = ARenderNode::NetObjectCount();
    AutoPtr<AWorld> world(AWorld::Make(eRenderListWorld));
    auto* list = static_cast<ARenderList*>(world->GetInterface(ARenderList::StaticClassName()));
    ASSERT_NE(list, nullptr);
    {
        AutoPtr<GroupNode> a(GroupNode::Make()), b(GroupNode::Make());
        EXPECT_FALSE(list->AddRoot(nullptr));
        EXPECT_TRUE(list->AddRoot(a));
        EXPECT_TRUE(list->AddRoot(b));
        EXPECT_FALSE(list->AddRoot(a)); // already there
        ASSERT_EQ(list->RootCount(), 2);
        EXPECT_EQ(list->Root(0), a.get());
        EXPECT_EQ(list->Root(1), b.get());
        EXPECT_EQ(list->Root(2), nullptr);
        EXPECT_EQ(list->Root(-1), nullptr);
        EXPECT_EQ(a->RefCount(), 2);

        EXPECT_TRUE(list->RemoveRoot(a));
        EXPECT_FALSE(list->RemoveRoot(a));
        EXPECT_EQ(a->RefCount(), 1);
        EXPECT_FALSE(list->HasRoot(a));
        EXPECT_EQ(list->Root(0), b.get());
    }
    EXPECT_EQ(ARenderNode::NetObjectCount(), live + 1) << "the list keeps its root alive";
    world.reset();
    EXPECT_EQ(ARenderNode::NetObjectCount(), live);
}
