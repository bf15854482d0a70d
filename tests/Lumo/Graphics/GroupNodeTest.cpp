#include <Lumo/Graphics/ARenderNode.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/UString.h>

#include <gtest/gtest.h>

#include <vector>

using namespace Lumo::Graphics;
using Lumo::Objects::AutoPtr;
using Lumo::Objects::Intern;

namespace {
class Leaf : public ARenderNode {
public:
    explicit Leaf(int* deaths = nullptr) : m_deaths(deaths) {}
    ~Leaf() override {
        if (m_deaths)
            ++*m_deaths;
    }

private:
    int* m_deaths;
};

class Group : public GroupNode {
public:
    explicit Group(int* deaths = nullptr) : GroupNode(Lumo::Graphics::eSingleNodeWorld), m_deaths(deaths) {}
    ~Group() override {
        if (m_deaths)
            ++*m_deaths;
    }

private:
    int* m_deaths;
};

std::vector<ARenderNode*> Kids(const BaseGroupNode& g) {
    return {g.Children().begin(), g.Children().end()};
}
} // namespace

TEST(GroupNodeTest, AddChildRejectsNullSelfAndDuplicates) {
    AutoPtr<GroupNode> g(GroupNode::Make());
    AutoPtr<Leaf> a(new Leaf), b(new Leaf);

    EXPECT_FALSE(g->AddChild(nullptr));
    EXPECT_FALSE(g->AddChild(g.get()));
    EXPECT_EQ(g->ParentCount(), 0);
    EXPECT_EQ(g->RefCount(), 1);

    EXPECT_TRUE(g->AddChild(a));
    EXPECT_TRUE(g->AddChild(b, false));
    EXPECT_FALSE(g->AddChild(a)); // already a child: no second reference or parent
    EXPECT_EQ(g->ChildCount(), 2);
    EXPECT_EQ(a->ParentCount(), 1);
    EXPECT_EQ(a->RefCount(), 2);
    EXPECT_EQ(Kids(*g), (std::vector<ARenderNode*>{a.get(), b.get()}));
    EXPECT_EQ(g->Child(1), b.get());
    EXPECT_EQ(g->Child(2), nullptr);
    EXPECT_EQ(g->Child(-1), nullptr);
    EXPECT_TRUE(g->HasChild(a));
    EXPECT_FALSE(g->HasChild(g.get()));
}

TEST(GroupNodeTest, RemoveChild) {
    AutoPtr<GroupNode> g(GroupNode::Make()), other(GroupNode::Make());
    AutoPtr<Leaf> a(new Leaf), b(new Leaf), c(new Leaf);
    g->AddChild(a);
    g->AddChild(b);
    g->AddChild(c);
    other->AddChild(a);

    EXPECT_FALSE(g->RemoveChild(nullptr));
    EXPECT_FALSE(other->RemoveChild(b)); // not a child of that group: nothing changes
    EXPECT_EQ(b->ParentCount(), 1);
    EXPECT_EQ(b->RefCount(), 2);

    EXPECT_TRUE(g->RemoveChild(b));
    EXPECT_EQ(Kids(*g), (std::vector<ARenderNode*>{a.get(), c.get()})); // order kept
    EXPECT_EQ(b->ParentCount(), 0);
    EXPECT_EQ(b->RefCount(), 1);
    EXPECT_FALSE(g->RemoveChild(b));
    EXPECT_TRUE(g->AddChild(b)); // may come back, at the end
    EXPECT_EQ(g->Child(2), b.get());
}

TEST(GroupNodeTest, SharedChildLivesUntilTheLastGroupDropsIt) {
    int deaths = 0;
    AutoPtr<GroupNode> g1(GroupNode::Make()), g2(GroupNode::Make());
    Leaf* shared = new Leaf(&deaths); // held by the groups only
    ASSERT_TRUE(g1->AddChild(shared));
    ASSERT_TRUE(g2->AddChild(shared));
    EXPECT_EQ(shared->ParentCount(), 2);
    EXPECT_EQ(shared->RefCount(), 2);

    EXPECT_TRUE(g1->RemoveChild(shared));
    EXPECT_EQ(deaths, 0);
    EXPECT_EQ(shared->ParentCount(), 1);
    EXPECT_TRUE(g2->HasChild(shared));

    EXPECT_TRUE(g2->RemoveChild(shared)); // the last holder: the node goes
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(g2->ChildCount(), 0);
}

TEST(GroupNodeTest, DestroyingAGroupReleasesItsChildren) {
    int deaths = 0;
    const int liveNodes = ARenderNode::NetObjectCount();
    AutoPtr<GroupNode> keeper(GroupNode::Make());
    Leaf* shared = new Leaf(&deaths);
    keeper->AddChild(shared);
    {
        AutoPtr<Group> root(new Group(&deaths));
        auto* mid = new Group(&deaths);
        root->AddChild(mid);
        mid->AddChild(new Leaf(&deaths));
        mid->AddChild(new Leaf(&deaths));
        mid->AddChild(shared);
        root->AddChild(shared);
        EXPECT_EQ(shared->ParentCount(), 3);
        EXPECT_EQ(ARenderNode::NetObjectCount(), liveNodes + 6);
    } // root, mid and the two private leaves go; the shared leaf stays with keeper
    EXPECT_EQ(deaths, 4);
    EXPECT_EQ(shared->ParentCount(), 1);
    EXPECT_EQ(shared->RefCount(), 1);
    EXPECT_EQ(ARenderNode::NetObjectCount(), liveNodes + 2);
    keeper.reset();
    EXPECT_EQ(deaths, 5);
    EXPECT_EQ(ARenderNode::NetObjectCount(), liveNodes);
}

TEST(GroupNodeTest, InterfacesFollowTheClassChain) {
    AutoPtr<GroupNode> g(GroupNode::Make());
    ARenderNode* node = g.get();
    EXPECT_EQ(node->ClassName(), Intern(L"GroupNode"));
    EXPECT_EQ(g->GetInterface(Intern(L"GroupNode")), static_cast<void*>(g.get()));
    EXPECT_EQ(g->GetInterface(Intern(L"BaseGroupNode")), static_cast<void*>(static_cast<BaseGroupNode*>(g.get())));
    EXPECT_EQ(g->GetInterface(Intern(L"ARenderNode")), static_cast<void*>(node));
    EXPECT_NE(g->GetInterface(Intern(L"ARefCounted")), nullptr);
    EXPECT_NE(g->GetInterface(Intern(L"IBaseInterface")), nullptr);
    EXPECT_EQ(g->GetInterface(Intern(L"SharedMatrix")), nullptr);

    AutoPtr<Leaf> leaf(new Leaf);
    EXPECT_EQ(leaf->GetInterface(Intern(L"BaseGroupNode")), nullptr); // a leaf is no group
    EXPECT_EQ(Lumo::Objects::QueryInterface<BaseGroupNode>(leaf.get()), nullptr);
    EXPECT_EQ(Lumo::Objects::QueryInterface<BaseGroupNode>(node), g.get());
}
