#include <Lumo/Graphics/DependencyNotifier.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Objects/AutoPtr.h>

#include <gtest/gtest.h>

using namespace Lumo::Graphics;
using Lumo::Objects::AutoPtr;

namespace {
class CountingNotifier : public DependencyNotifier {
public:
    static CountingNotifier* Make(ARenderNode* owner, bool finishOnRemove) {
        return new CountingNotifier(owner, finishOnRemove);
    }
    int removed = 0;

protected:
    CountingNotifier(ARenderNode* owner, bool finish) : DependencyNotifier(owner), m_finish(finish) {}
    void RemoveNodeImp(ARenderNode*) override {
        ++removed;
        if (m_finish)
            MarkFinished();
    }

private:
    bool m_finish;
};
} // namespace

TEST(DependencyNotifierTest, RemovalIsReportedUntilFinished) {
    AutoPtr<GroupNode> group = GroupNode::Make(), other = GroupNode::Make(), child = GroupNode::Make();
    AutoPtr<CountingNotifier> keeps = CountingNotifier::Make(group, false);
    AutoPtr<CountingNotifier> once = CountingNotifier::Make(group, true);
    child->AddNotifier(keeps);
    child->AddNotifier(once);
    group->AddChild(child);
    other->AddChild(child);

    group->RemoveChild(child, false);
    EXPECT_EQ(keeps->removed, 0) << "no notification asked for";
    other->RemoveChild(child, true);
    EXPECT_EQ(keeps->removed, 1);
    EXPECT_EQ(once->removed, 1);
    EXPECT_EQ(child->NotifierCount(), 1) << "the finished notifier was dropped";
    EXPECT_EQ(once->RefCount(), 1);

    group->AddChild(child);
    group->RemoveChild(child, true);
    EXPECT_EQ(keeps->removed, 2);
    EXPECT_EQ(once->removed, 1);
}

TEST(DependencyNotifierTest, RemovedNodeSurvivesItsNotification) {
    AutoPtr<GroupNode> group = GroupNode::Make();
    AutoPtr<CountingNotifier> n = CountingNotifier::Make(group, false);
    {
        AutoPtr<GroupNode> child = GroupNode::Make();
        child->AddNotifier(n);
        group->AddChild(child);
    }
    // The group holds the only reference; the node must stay alive while its watchers run.
    EXPECT_TRUE(group->RemoveChild(group->Child(0), true));
    EXPECT_EQ(n->removed, 1);
    EXPECT_EQ(n->RefCount(), 1);
}
