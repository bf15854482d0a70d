#include "../TestSupport.h"

#include <Scene/Attributes/AttributeSetEx.h>
#include <Scene/Nodes/ANodeData.h>

using namespace Lumo::Scene;
using namespace SceneTest;
using Lumo::Graphics::GroupNode;

TEST(ANodeDataTest, MadeDataIsAttachedAndFoundAgain) {
    LiveObjectGuard guard;
    AutoPtr<GroupNode> node = GroupNode::Make();
    EXPECT_EQ(ANodeData::GetNodeData(nullptr), nullptr);
    EXPECT_EQ(ANodeData::GetNodeData(node), nullptr);

    ANodeData* data = ANodeData::Make(node, eInstanceNode, true);
    EXPECT_EQ(ANodeData::GetNodeData(node), data);
    EXPECT_EQ(data->RefCount(), 1) << "the node's attachment holds the only reference";
    EXPECT_EQ(data->NodeType(), eInstanceNode);
    EXPECT_EQ(data->Target(), node.get());
    ASSERT_NE(data->GetAttributeSet(), nullptr);
    EXPECT_TRUE(data->GetAttributeSet()->IsExtended());
    EXPECT_EQ(data->GetAttributeSet()->RenderNode(), node.get());
    EXPECT_EQ(node->GetRefAttachment(ANodeData::AttachmentID()), data);

    AutoPtr<GroupNode> plain = GroupNode::Make();
    ANodeData* simple = ANodeData::Make(plain, eGroupNode, false);
    EXPECT_FALSE(simple->GetAttributeSet()->IsExtended());
}

TEST(ANodeDataTest, DataOutlivingItsNodeForgetsIt) {
    LiveObjectGuard guard;
    AutoPtr<ANodeData> kept;
    {
        AutoPtr<GroupNode> node = GroupNode::Make();
        kept = ANodeData::Make(node, eGroupNode, false);
    }
    EXPECT_EQ(kept->Target(), nullptr);
    EXPECT_EQ(kept->GetAttributeSet()->RenderNode(), nullptr);
}

TEST(ANodeDataTest, ClientTypeDrivesTypeSpecificMatching) {
    LiveObjectGuard guard;
    auto body = MakeTypedNode(0x8);
    AutoPtr<AttributeSet> set = TypeSpecificAttributeSet::Make(0x8, 0, 0);
    EXPECT_EQ(set->MatchNode(body), eApplies);
    ANodeData::GetNodeData(body)->clientType(0x10);
    EXPECT_EQ(set->MatchNode(body), eNoMatch);
}
