#include <Lumo/Graphics/ANodeEntity.h>
#include <Lumo/Graphics/ARenderNode.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/UString.h>

#include <gtest/gtest.h>

using namespace Lumo::Graphics;
using Lumo::Objects::AutoPtr;
using Lumo::Objects::Intern;
using Lumo::Objects::UString;

namespace {
class Leaf : public ARenderNode {
public:
    Leaf() = default;
};

/// Records what the node told it, and whether the node's attachments were still there.
class Recorder : public ANodeEntity {
public:
    explicit Recorder(int* deaths = nullptr) : m_deaths(deaths) {}
    ~Recorder() override {
        if (m_deaths)
            ++*m_deaths;
    }
    void OnNodeDestroyed(ARenderNode* node) override {
        ++calls;
        lastNode = node;
        slotClearedFirst = node->Entity() == nullptr;
        attachmentSeen = node->HasAttachment(Intern(L"ARenderNodeTest.entity"));
    }

    int calls = 0;
    ARenderNode* lastNode = nullptr;
    bool slotClearedFirst = false;
    bool attachmentSeen = false;

private:
    int* m_deaths;
};
} // namespace

TEST(ARenderNodeTest, FlagsSetClearAndTest) {
    AutoPtr<Leaf> n(new Leaf);
    EXPECT_EQ(n->Flags(), 0u);
    n->SetFlags(0x5);
    n->SetFlags(0x80000000u);
    EXPECT_EQ(n->Flags(), 0x80000005u);
    EXPECT_TRUE(n->Test(0x4));
    EXPECT_TRUE(n->Test(0x6)); // any of the bits
    EXPECT_FALSE(n->Test(0x2));
    EXPECT_FALSE(n->Test(0));
    n->SetFlags(0x1, false); // clears only the given bits
    EXPECT_EQ(n->Flags(), 0x80000004u);
    n->SetFlags(0x2, false);
    EXPECT_EQ(n->Flags(), 0x80000004u);
    n->SetFlags(0xFFFFFFFFu, false);
    EXPECT_EQ(n->Flags(), 0u);
}

TEST(ARenderNodeTest, EntityIsToldWhenTheNodeDies) {
    AutoPtr<Recorder> entity(new Recorder);
    Leaf* node = new Leaf;
    node->AddRef();
    node->Entity(entity);
    EXPECT_EQ(node->Entity(), entity.get());
    EXPECT_EQ(entity->RefCount(), 1); // the slot does not hold a reference
    node->AddRefAttachment(Intern(L"ARenderNodeTest.entity"), entity);

    node->ReleaseRef();
    EXPECT_EQ(entity->calls, 1);
    EXPECT_EQ(entity->lastNode, node);
    EXPECT_TRUE(entity->slotClearedFirst);
    EXPECT_TRUE(entity->attachmentSeen); // told before the attachments are dropped
    EXPECT_EQ(entity->RefCount(), 1);    // and the attachment's reference came back
}

TEST(ARenderNodeTest, EntityKeptAliveOnlyByTheNode) {
    int entityDeaths = 0;
    auto* entity = new Recorder(&entityDeaths);
    {
        AutoPtr<GroupNode> g(GroupNode::Make());
        g->Entity(entity);
        g->AddRefAttachment(Intern(L"ARenderNodeTest.entity"), entity);
        g->AddChild(new Leaf);
        EXPECT_EQ(entityDeaths, 0);
    }
    EXPECT_EQ(entityDeaths, 1); // told, then released with the attachments: no leak, no dangling call
}

TEST(ARenderNodeTest, ClearedSlotIsNotTold) {
    AutoPtr<Recorder> entity(new Recorder);
    AutoPtr<Leaf> node(new Leaf);
    node->Entity(entity);
    node->Entity(nullptr);
    node.reset();
    EXPECT_EQ(entity->calls, 0);

    // A replaced entity is not told either; only the current one is.
    AutoPtr<Recorder> second(new Recorder);
    node = new Leaf;
    node->Entity(entity);
    node->Entity(second);
    node.reset();
    EXPECT_EQ(entity->calls, 0);
    EXPECT_EQ(second->calls, 1);
}

TEST(ARenderNodeTest, NodesCountLiveInstances) {
    const int live = ARenderNode::NetObjectCount();
    {
        AutoPtr<Leaf> a(new Leaf);
        AutoPtr<GroupNode> g(GroupNode::Make());
        EXPECT_EQ(ARenderNode::NetObjectCount(), live + 2);
        EXPECT_EQ(a->ClassName(), Intern(L"ARenderNode")); // a subclass without its own name
    }
    EXPECT_EQ(ARenderNode::NetObjectCount(), live);
}
