// Whole-graph checks: many nodes with sets, changes merged in, everything released.
#include "../TestSupport.h"

#include <Scene/Attributes/AttributeSetEx.h>
#include <Scene/Attributes/OpacityAttribute.h>
#include <Scene/Attributes/VisibilityAttribute.h>

#include <vector>

using namespace Lumo::Scene;
using namespace SceneTest;
using Lumo::Graphics::GroupNode;

TEST(AttributeSetGraphTest, HundredThousandSetsMergeWithoutLeaks) {
    LiveObjectGuard guard;
    constexpr int kGroups = 1000, kLeavesPerGroup = 99; // 100 000 nodes with sets in all
    int sets = 0;
    {
        AutoPtr<GroupNode> root = GroupNode::Make();
        std::vector<GroupNode*> leaves;
        leaves.reserve(kGroups * kLeavesPerGroup);
        for (int g = 0; g < kGroups; ++g) {
            AutoPtr<GroupNode> group = GroupNode::Make();
            ANodeData::Make(group, eInstanceNode, true)->clientType(0x1);
            ++sets;
            for (int l = 0; l < kLeavesPerGroup; ++l) {
                AutoPtr<GroupNode> leaf = GroupNode::Make();
                ANodeData::Make(leaf, eGroupNode, false)->clientType(0x8);
                ++sets;
                group->AddChild(leaf);
                leaves.push_back(leaf);
            }
            root->AddChild(group);
        }
        ASSERT_EQ(sets, 100000);

        // Shared attributes (as a colour palette would be) and per-node changes.
        AutoPtr<Attribute> hidden = VisibilityAttribute::Make(false);
        for (int i = 0; i < int(leaves.size()); ++i) {
            AutoPtr<AttributeSet> change = AttributeSet::Make(leaves[i], 0);
            change->SetAttribute(OpacityAttribute::Make(float(i % 10) / 10.f, false));
            if (i % 3 == 0)
                change->SetAttribute(hidden);
            ANodeData::GetNodeData(leaves[i])->GetAttributeSet()->MergeChange(*change, false);
        }
        // Type-specific changes on every group, then a second wave that removes them again.
        for (int g = 0; g < kGroups; ++g) {
            auto* groupNode = static_cast<GroupNode*>(root->Child(g));
            auto* stored = static_cast<AttributeSetEx*>(ANodeData::GetNodeData(groupNode)->GetAttributeSet());
            AutoPtr<AttributeSetEx> change = AttributeSetEx::Make(groupNode);
            change->GetAttributeSet(0x8, 0, true)->SetAttribute(hidden);
            stored->MergeChange(*change, false);
            ASSERT_EQ(stored->Children()->Count(), 1);
            AutoPtr<AttributeSetEx> undo = AttributeSetEx::Make(groupNode);
            undo->GetAttributeSet(0x8, 0, true)->RemoveAttribute(eVisibility);
            stored->MergeChange(*undo, false);
            ASSERT_EQ(stored->Children()->Count(), 0) << "emptied child pruned";
        }
        for (int i = 0; i < int(leaves.size()); i += 3)
            EXPECT_EQ(ANodeData::GetNodeData(leaves[i])->GetAttributeSet()->GetAttribute(eVisibility), hidden.get());
        EXPECT_EQ(hidden->RefCount(), 1 + (int(leaves.size()) + 2) / 3);
    }
}
