#include <Lumo/Graphics/GroupChangePacket.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Graphics/StandardObjectManager.h>
#include <Lumo/Objects/AutoPtr.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace Lumo::Graphics;
using Lumo::Objects::AutoPtr;

namespace {
/// Counts the changes it carries; merging adds the later packet's count.
class CountingPacket : public ChangePacket {
public:
    static CountingPacket* Make(ARenderNode* node, int changes = 1) { return new CountingPacket(node, changes); }
    bool UpdateNode() override {
        applied += changes;
        ++updates;
        return true;
    }
    IChangePacket* MergeChanges(IChangePacket& later) override {
        ChangePacket::MergeChanges(later);
        changes += static_cast<CountingPacket&>(later).changes;
        return this;
    }
    int changes;
    static inline std::atomic<long> applied{0};
    static inline std::atomic<long> updates{0};

private:
    CountingPacket(ARenderNode* node, int c) : ChangePacket(node), changes(c) {}
};
} // namespace

TEST(StandardObjectManagerTest, PacketsForOneNodeMergeAndApplyInFirstPostOrder) {
    AutoPtr<StandardObjectManager> manager = StandardObjectManager::Make();
    AutoPtr<GroupNode> a = GroupNode::Make(), b = GroupNode::Make();
    AutoPtr<ChangePacket> first = ChangePacket::Make(a);
    first->NewBoundingBox(Lumo::Objects::SBox3({0, 0, 0}, {1, 1, 1}));
    manager->PostPacket(first);
    manager->PostPacket(AutoPtr<ChangePacket>(ChangePacket::Make(b)));
    AutoPtr<ChangePacket> later = ChangePacket::Make(a);
    later->NewBoundingBox(Lumo::Objects::SBox3({0, 0, 0}, {2, 2, 2}));
    later->AddChangeType(0x4);
    manager->PostPacket(later);
    manager->PostPacket(nullptr);

    ASSERT_EQ(manager->PendingCount(), 2) << "one packet per node";
    std::vector<ARenderNode*> order;
    manager->ForEachPending([&](IChangePacket& p) { order.push_back(p.Node()); });
    EXPECT_EQ(order, (std::vector<ARenderNode*>{a.get(), b.get()}));
    EXPECT_EQ(first->NewBoundingBox().Max().x, 2.0) << "the later box wins";
    EXPECT_EQ(first->ChangeType(), ChangePacket::kNewBoundingBox | 0x4u);
    EXPECT_EQ(later->RefCount(), 1) << "a merged packet is not kept";

    EXPECT_EQ(manager->ApplyChanges(), 2);
    EXPECT_EQ(manager->PendingCount(), 0);
    EXPECT_EQ(manager->ApplyChanges(), 0);
}

TEST(StandardObjectManagerTest, GroupPacketsReplayAddsAndRemoves) {
    AutoPtr<StandardObjectManager> manager = StandardObjectManager::Make();
    AutoPtr<GroupNode> group = GroupNode::Make(), x = GroupNode::Make(), y = GroupNode::Make(), z = GroupNode::Make();
    group->AddChild(z);

    AutoPtr<GroupChangePacket> p1 = GroupChangePacket::Make(group);
    p1->AddChild(x);
    p1->AddChild(y);
    manager->PostPacket(p1);
    AutoPtr<GroupChangePacket> p2 = GroupChangePacket::Make(group);
    p2->RemoveChild(x); // added, then removed: never appears
    p2->RemoveChild(z); // removed, then added back below: stays
    p2->AddChild(z);
    manager->PostPacket(p2);
    manager->ApplyChanges();
    EXPECT_FALSE(group->HasChild(x));
    EXPECT_TRUE(group->HasChild(y));
    EXPECT_TRUE(group->HasChild(z));
    EXPECT_EQ(x->ParentCount(), 0);
}

TEST(StandardObjectManagerTest, PostingFromSeveralThreadsWhileApplyingLosesNothing) {
    AutoPtr<StandardObjectManager> manager = StandardObjectManager::Make();
    std::vector<AutoPtr<GroupNode>> nodes;
    for (int i = 0; i < 64; ++i)
        nodes.emplace_back(GroupNode::Make());
    CountingPacket::applied = 0;
    constexpr int kThreads = 4, kPerThread = 5000;
    std::atomic<int> done{0};
    std::vector<std::thread> posters;
    for (int t = 0; t < kThreads; ++t)
        posters.emplace_back([&, t] {
            for (int i = 0; i < kPerThread; ++i)
                manager->PostPacket(
                    AutoPtr<CountingPacket>(CountingPacket::Make(nodes[std::size_t((i * 7 + t) % 64)])));
            ++done;
        });
    while (done < kThreads)
        manager->ApplyChanges(); // the owning thread keeps syncing meanwhile
    for (auto& p : posters)
        p.join();
    manager->ApplyChanges();
    EXPECT_EQ(CountingPacket::applied.load(), long(kThreads) * kPerThread);
}
