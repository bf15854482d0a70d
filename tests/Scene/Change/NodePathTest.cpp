#include "../TestSupport.h"

#include <Scene/Change/NodePath.h>
#include <Scene/Change/SceneNodes.h>
#include <Scene/Nodes/NodeFunctions.h>

using namespace Brio::Scene;
using namespace SceneTest;
using Lumo::Graphics::GroupNode;

namespace {
AutoPtr<GroupNode> Node(Lumo::Scene::ENodeType type) {
    AutoPtr<GroupNode> n = GroupNode::Make();
    Lumo::Scene::ANodeData::Make(n, type, false);
    return n;
}
} // namespace

TEST(NodePathTest, EntriesHoldTheirNodesAndAnswerByPlaceAndKind) {
    LiveObjectGuard guard;
    NodePath path;
    EXPECT_FALSE(path.valid());
    EXPECT_EQ(path.root(), nullptr);
    EXPECT_EQ(path.pop(), nullptr);
    {
        AutoPtr<GroupNode> view = Node(Lumo::Scene::eViewNode), a = Node(Lumo::Scene::eGroupNode),
                           inst = Node(Lumo::Scene::eInstanceNode), b = Node(Lumo::Scene::eGroupNode);
        path.push(view);
        path.push(a);
        path.push(inst);
        path.push(b);
        EXPECT_EQ(a->RefCount(), 2);
    }
    EXPECT_EQ(path.size(), 4) << "the path keeps its nodes alive";
    EXPECT_EQ(nodeType(path.root()), Lumo::Scene::eViewNode);
    EXPECT_EQ(path.first(Lumo::Scene::eGroupNode), path[1]);
    EXPECT_EQ(path.last(Lumo::Scene::eGroupNode), path[3]);
    EXPECT_EQ(path.last(Lumo::Scene::eReferenceNode), nullptr);
    EXPECT_EQ(path[4], nullptr);
    EXPECT_EQ(path[-1], nullptr);
    EXPECT_EQ(nodeType(nullptr), Lumo::Scene::eNoNodeData);
    EXPECT_TRUE(isViewNode(path.root()));

    AutoPtr<Lumo::Graphics::ARenderNode> leaf = path.pop();
    EXPECT_EQ(leaf->RefCount(), 1) << "the popped leaf now lives through the caller only";
    path.append(path);
    EXPECT_EQ(path.size(), 6) << "appending a path to itself doubles it";
    path.clear();
    EXPECT_TRUE(NodePath::emptyPath().empty());
}

TEST(NodePathTest, ComparisonsAndRelativePaths) {
    LiveObjectGuard guard;
    AutoPtr<GroupNode> view = Node(Lumo::Scene::eViewNode), frag = Node(Lumo::Scene::eViewFragmentNode),
                       a = Node(Lumo::Scene::eGroupNode), b = Node(Lumo::Scene::eGroupNode),
                       c = Node(Lumo::Scene::eGroupNode);
    NodePath full, model, other;
    for (auto* n : {view.get(), frag.get(), a.get(), b.get(), c.get()})
        full.push(n);
    model.push(a);
    model.push(b);
    other.push(b);

    EXPECT_TRUE(full.hasSameRootPath(model)) << "view nodes are skipped";
    EXPECT_FALSE(full.hasSameTailPath(model));
    EXPECT_FALSE(full.hasSameRootPath(other));
    EXPECT_TRUE(model < full);
    EXPECT_TRUE(full > model);
    EXPECT_FALSE(model < model);
    EXPECT_EQ(full.commonRoot(full.pathToLeaf()).size(), 4);

    NodePath relative = full;
    relative.removeViewNodes();
    EXPECT_EQ(relative.root(), a.get());
    EXPECT_TRUE(relative.makeRelativeTo(model));
    EXPECT_EQ(relative.size(), 1);
    EXPECT_EQ(relative.leaf(), c.get());
    EXPECT_FALSE(model.makeRelativeTo(full)) << "longer base";

    NodePath byNode = full;
    EXPECT_TRUE(byNode.makeRelativeTo(b.get()));
    EXPECT_EQ(byNode.size(), 1);
    EXPECT_FALSE(byNode.makeRelativeTo(a.get()));
    EXPECT_TRUE(byNode.empty()) << "an absent node clears the path";
    EXPECT_EQ(full.toString(), L"TBD");
}
