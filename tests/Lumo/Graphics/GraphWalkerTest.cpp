#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Devices/VirtualDevice.h>
#include <Lumo/Graphics/ClientTraversalState.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/GraphWalker.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Graphics/NodeCallbacks.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/HeapOperators.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Lumo::Graphics;
using Lumo::Objects::AutoPtr;

namespace {
/// A client state recording the path of names it was reset through.
class PathState : public ClientTraversalState {
public:
    static Lumo::Objects::UString* Name() { return Lumo::Objects::Intern(L"PathState"); }
    ClientTraversalState* Clone() override {
        auto* c = new PathState;
        c->path = path;
        return c;
    }
    ClientTraversalState* Acquire() override {
        ++acquired;
        return new PathState;
    }
    void Reset(ClientTraversalState* from) override { path = static_cast<PathState*>(from)->path; }
    void CopyFrom(ClientTraversalState* from) override { Reset(from); }
    void Merge(ClientTraversalState&) override {}
    void Clear() override { path.clear(); }
    std::string path;
    static inline int acquired = 0;
};

struct Recorder {
    static inline std::vector<std::string> leaves;
    static inline int boxes = 0;
    static void Attributes(Lumo::Devices::ADrawContext&, TraversalState& s, ARenderNode* node) {
        auto* p = static_cast<PathState*>(s.ClientState(PathState::Name()));
        p->path += char('0' + node->Flags());
    }
    static int Box(Lumo::Devices::ADrawContext&, TraversalState&, ARenderNode*) {
        ++boxes;
        return eBoxFromChildren;
    }
    static void Apply(Lumo::Devices::ADrawContext&, TraversalState& s, ARenderNode*) {
        leaves.push_back(static_cast<PathState*>(s.ClientState(PathState::Name()))->path);
        AutoPtr<Lumo::Devices::RenderItem> item = Lumo::Devices::RenderItem::Make();
        s.AddItem(item);
    }
};

AutoPtr<ARenderNode> Named(ARenderNode* n, int tag) {
    n->SetFlags(std::uint32_t(tag), true);
    return n;
}
} // namespace

TEST(GraphWalkerTest, ChildStatesStartFromTheirParentsAndSharedNodesAreVisitedPerPath) {
    AutoPtr<Lumo::Devices::VirtualDevice> device = Lumo::Devices::VirtualDevice::Make(nullptr);
    AutoPtr<Lumo::Devices::ADrawContext> dc = Lumo::Devices::ADrawContext::Make(device);
    AutoPtr<GroupNode> root = GroupNode::Make(), a = GroupNode::Make(), b = GroupNode::Make();
    AutoPtr<GeometryNode> shared = GeometryNode::Make(), alone = GeometryNode::Make();
    Named(root, 1);
    Named(a, 2);
    Named(b, 3);
    Named(shared, 4);
    Named(alone, 5);
    root->AddChild(a);
    root->AddChild(b);
    a->AddChild(shared);
    b->AddChild(shared);
    b->AddChild(alone);

    NodeCallbacks cb;
    cb.realizeAttributes = &Recorder::Attributes;
    cb.realizeWorldBox = &Recorder::Box;
    cb.applyAttributes = &Recorder::Apply;
    GraphWalker walker(*dc);
    walker.Callbacks(&cb);
    AutoPtr<PathState> seed = new PathState;
    walker.AddClientState(PathState::Name(), seed);

    RenderItemList items;
    Recorder::leaves.clear();
    walker.Walk(root, items);
    EXPECT_EQ(Recorder::leaves, (std::vector<std::string>{"124", "134", "135"}));
    EXPECT_EQ(items.Count(), 3);
    EXPECT_EQ(walker.NodesVisited(), 6u);
    EXPECT_EQ(walker.LeavesVisited(), 3u);
    EXPECT_EQ(Recorder::boxes, 6);
    EXPECT_EQ(seed->path, "") << "the seed is only copied from";

    // A second walk reuses the per-depth states and their client objects.
    int acquired = PathState::acquired;
    RenderItemList again;
    Recorder::leaves.clear();
    walker.Walk(root, again);
    EXPECT_EQ(Recorder::leaves.size(), 3u);
    EXPECT_EQ(PathState::acquired, acquired);
}

TEST(GraphWalkerTest, CyclesStopAtTheDepthLimit) {
    AutoPtr<Lumo::Devices::ADrawContext> dc = Lumo::Devices::ADrawContext::Make(nullptr);
    AutoPtr<GroupNode> a = GroupNode::Make(), b = GroupNode::Make();
    a->AddChild(b);
    b->AddChild(a); // a malformed graph
    NodeCallbacks none;
    GraphWalker walker(*dc);
    walker.Callbacks(&none);
    RenderItemList items;
    walker.Walk(a, items);
    EXPECT_TRUE(walker.DepthLimitHit());
    b->RemoveChild(a, false); // break the cycle so both are freed
}
