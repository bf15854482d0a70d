#include "../TestSupport.h"

#include <Lumo/Objects/HeapOperators.h>
#include <Scene/Attributes/AttributeSetEx.h>
#include <Scene/Attributes/AttributeSetListEx.h>
#include <Scene/Attributes/OpacityAttribute.h>
#include <Scene/Attributes/TraversalState.h>
#include <Scene/Attributes/VisibilityAttribute.h>

using namespace Lumo::Scene;
using namespace SceneTest;
using Lumo::Graphics::GroupNode;

namespace {
constexpr unsigned kInstance = 0x1, kComponent = 0x2, kBody = 0x8, kFaces = 0x10;

AttributeSet* SetOf(Lumo::Graphics::ARenderNode* n) {
    return ANodeData::GetNodeData(n)->GetAttributeSet();
}

/// Walks root..leaf the way the graph walk does: each node's state starts from its parent's.
AutoPtr<TraversalState> Walk(const std::vector<Lumo::Graphics::ARenderNode*>& path) {
    AutoPtr<TraversalState> state = TraversalState::Make();
    for (auto* node : path) {
        AutoPtr<TraversalState> child = static_cast<TraversalState*>(state->Acquire());
        child->Reset(state);
        child->Merge(node, SetOf(node));
        state = child;
    }
    return state;
}
} // namespace

TEST(TraversalStateTest, ChildSetsTravelThroughAppendTypesAndAreConsumed) {
    LiveObjectGuard guard;
    auto root = MakeTypedNode(0, true), comp = MakeTypedNode(kComponent), inst = MakeTypedNode(kInstance, true),
         body = MakeTypedNode(kBody), faces = MakeTypedNode(kFaces);
    // Root: bodies below components and instances are hidden; faces are not reached by it.
    auto* rootSet = static_cast<AttributeSetEx*>(SetOf(root));
    rootSet->GetAttributeSet(kBody, kComponent | kInstance, true)->SetAttribute(KindAttribute::Make(eVisibility, 1));
    // The instance half-hides its bodies with a higher priority.
    static_cast<AttributeSetEx*>(SetOf(inst))
        ->GetAttributeSet(kBody, 0, true)
        ->SetAttribute(KindAttribute::Make(eVisibility, 2, false, 3));

    AutoPtr<TraversalState> atInstance = Walk({root, comp, inst});
    EXPECT_EQ(atInstance->GetAttribute(eVisibility), nullptr) << "nothing applies above the body";
    EXPECT_EQ(atInstance->PendingAttributeSets().Count(), 2);

    AutoPtr<TraversalState> atBody = Walk({root, comp, inst, body});
    EXPECT_EQ(ValueOf(atBody->GetAttribute(eVisibility)), 2) << "priority 3 beats the root's 0";
    EXPECT_EQ(atBody->PendingAttributeSets().Count(), 0) << "both sets consumed at the body";

    AutoPtr<TraversalState> atFaces = Walk({root, comp, inst, body, faces});
    EXPECT_EQ(ValueOf(atFaces->GetAttribute(eVisibility)), 2) << "inherited below";

    // Without the component in the append types the root's set dies at the component.
    auto root2 = MakeTypedNode(0, true), inst2 = MakeTypedNode(kInstance, true);
    static_cast<AttributeSetEx*>(SetOf(root2))
        ->GetAttributeSet(kBody, kInstance, true)
        ->SetAttribute(KindAttribute::Make(eVisibility, 1));
    EXPECT_EQ(Walk({root2, comp, inst2, body})->GetAttribute(eVisibility), nullptr);
    EXPECT_EQ(ValueOf(Walk({root2, inst2, body})->GetAttribute(eVisibility)), 1);
}

TEST(TraversalStateTest, RelativeOpacityComposesDownThePath) {
    LiveObjectGuard guard;
    auto a = MakeTypedNode(0), b = MakeTypedNode(0), c = MakeTypedNode(0);
    for (auto* n : {a.get(), b.get(), c.get()})
        SetOf(n)->SetAttribute(OpacityAttribute::Make(0.5f, false));
    AutoPtr<TraversalState> s = Walk({a, b, c});
    EXPECT_FLOAT_EQ(static_cast<OpacityAttribute*>(s->GetAttribute(eOpacity))->GetOpacity(), 0.125f);
}

TEST(TraversalStateTest, ChildStatesShareThePendingListUntilTheyChangeIt) {
    LiveObjectGuard guard;
    AutoPtr<TraversalState> parent = TraversalState::Make();
    AutoPtr<AttributeSetListEx> extra = AttributeSetListEx::Make();
    AutoPtr<AttributeSet> ts = TypeSpecificAttributeSet::Make(kBody, 0, 0);
    extra->Add(ts);
    parent->AddPendingAttributeSets(extra);
    AutoPtr<TraversalState> child = static_cast<TraversalState*>(parent->Clone());
    EXPECT_EQ(&child->PendingAttributeSets(), &parent->PendingAttributeSets());
    child->AddPendingAttributeSets(extra);
    EXPECT_EQ(child->PendingAttributeSets().Count(), 2);
    EXPECT_EQ(parent->PendingAttributeSets().Count(), 1) << "copy on write";
    parent->AddPendingAttributeSets(nullptr);
    EXPECT_EQ(parent->PendingAttributeSets().Count(), 1);
}

TEST(TraversalStateTest, SkipNextMergeClearAndAccessorDefaults) {
    LiveObjectGuard guard;
    auto n = MakeTypedNode(0);
    SetOf(n)->SetAttribute(VisibilityAttribute::Make(false));
    AutoPtr<TraversalState> s = TraversalState::Make();
    EXPECT_TRUE(s->Visibility());
    EXPECT_TRUE(s->Selectability());
    EXPECT_EQ(s->Group(), -1);
    EXPECT_EQ(s->TransparentLayer(), -1);
    EXPECT_EQ(s->VisualStyle(), 2);
    s->SkipNextMerge();
    s->Merge(n, SetOf(n));
    EXPECT_TRUE(s->Visibility()) << "skipped once";
    s->Merge(n, SetOf(n));
    EXPECT_FALSE(s->Visibility());
    EXPECT_FALSE(s->Selectability()) << "falls back to visibility";
    s->VisualStyle(5);
    s->IsRefTwig(true);
    s->Clear();
    EXPECT_TRUE(s->Visibility());
    EXPECT_EQ(s->VisualStyle(), 2);
    EXPECT_FALSE(s->IsRefTwig());
    EXPECT_EQ(s->ClassName(), Lumo::Objects::Intern(L"SceneTraversalState"));
}

TEST(TraversalStateTest, NodesThatPassNothingDownAllocateNoList) {
    LiveObjectGuard guard;
    auto n = MakeTypedNode(0);
    SetOf(n)->SetAttribute(VisibilityAttribute::Make(true));
    AutoPtr<TraversalState> s = TraversalState::Make();
    s->Merge(n, SetOf(n));
    auto before = Lumo::Objects::HeapOperators::Stats().totalBlocks;
    for (int i = 0; i < 100; ++i)
        s->Merge(n, SetOf(n));
    EXPECT_EQ(Lumo::Objects::HeapOperators::Stats().totalBlocks, before);
}
