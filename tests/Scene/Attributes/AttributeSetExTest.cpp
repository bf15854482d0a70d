#include "../TestSupport.h"

#include <Scene/Attributes/AttributeSetEx.h>
#include <Scene/Attributes/TypeSpecificAttributeSet.h>

using namespace Lumo::Scene;
using namespace SceneTest;

namespace {
AutoPtr<Attribute> Kind(EAttributeType k, int value = 0) {
    return KindAttribute::Make(k, value);
}

/// The type-specific child with exactly these masks, or null.
AttributeSet* Child(AttributeSetEx& set, unsigned apply, unsigned append) {
    return set.GetAttributeSet(apply, append, false);
}
} // namespace

TEST(AttributeSetExTest, TypeSpecificChildrenAreFoundByExactMasks) {
    LiveObjectGuard guard;
    AutoPtr<AttributeSetEx> set = AttributeSetEx::Make(nullptr);
    EXPECT_TRUE(set->IsExtended());
    EXPECT_EQ(set->GetAttributeSet(0b0011, 1, false), nullptr);
    AttributeSet* made = set->GetAttributeSet(0b0011, 1, true);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->ApplyTypes(), 0b0011u);
    EXPECT_EQ(made->AppendTypes(), 1u);
    EXPECT_EQ(set->GetAttributeSet(0b0011, 1, true), made);
    EXPECT_EQ(set->GetAttributeSet(0b0110, 1, true), nullptr) << "overlap with equal append types";
    EXPECT_NE(set->GetAttributeSet(0b0110, 2, true), nullptr) << "other append types do not overlap";
    EXPECT_EQ(set->Children()->Count(), 2);

    auto node = MakeTypedNode(0x10);
    AttributeSet* forNode = set->GetAttributeSet(node, 0, true);
    ASSERT_NE(forNode, nullptr);
    EXPECT_TRUE(forNode->IsExtended());
    EXPECT_EQ(forNode->RenderNode(), node.get());
    EXPECT_EQ(set->GetAttributeSet(node, 0, false), forNode);
    EXPECT_EQ(set->GetAttributeSet(node, 4, false), nullptr);
}

TEST(AttributeSetExTest, MergeChangeRoutesChildren) {
    LiveObjectGuard guard;
    auto node = MakeTypedNode(0x10);
    AutoPtr<AttributeSetEx> stored = AttributeSetEx::Make(nullptr);
    stored->GetAttributeSet(0b01, 0, true)->SetAttribute(Kind(eVisibility, 1));

    AutoPtr<AttributeSetEx> change = AttributeSetEx::Make(nullptr);
    change->GetAttributeSet(0b01, 0, true)->SetAttribute(Kind(eOpacity, 2));
    change->GetAttributeSet(0b10, 0, true)->SetAttribute(Kind(eOpacity, 3));
    AttributeSet* nodeChange = change->GetAttributeSet(node, 0, true);
    nodeChange->SetAttribute(Kind(eEffect, 4));
    stored->MergeChange(*change, false);

    ASSERT_EQ(stored->Children()->Count(), 3);
    AttributeSet* c01 = Child(*stored, 0b01, 0);
    EXPECT_EQ(ValueOf(c01->GetAttribute(eVisibility)), 1);
    EXPECT_EQ(ValueOf(c01->GetAttribute(eOpacity)), 2);
    EXPECT_EQ(ValueOf(Child(*stored, 0b10, 0)->GetAttribute(eOpacity)), 3);
    EXPECT_NE(Child(*stored, 0b10, 0), Child(*change, 0b10, 0)) << "type-specific children are merged copies";
    EXPECT_EQ(stored->GetAttributeSet(node, 0, false), nodeChange) << "a new node child is shared";

    // A second node change merges into the existing node child.
    AutoPtr<AttributeSetEx> change2 = AttributeSetEx::Make(nullptr);
    change2->GetAttributeSet(node, 0, true)->SetAttribute(Kind(eVisibility, 5));
    stored->MergeChange(*change2, false);
    EXPECT_EQ(stored->Children()->Count(), 3);
    EXPECT_EQ(ValueOf(nodeChange->GetAttribute(eVisibility)), 5);
}

TEST(AttributeSetExTest, EmptiedChildrenArePrunedUnlessRemovesAreKept) {
    LiveObjectGuard guard;
    AutoPtr<AttributeSetEx> stored = AttributeSetEx::Make(nullptr);
    stored->GetAttributeSet(0b01, 0, true)->SetAttribute(Kind(eVisibility));
    stored->GetAttributeSet(0b10, 0, true)->SetAttribute(Kind(eOpacity));

    AutoPtr<AttributeSetEx> change = AttributeSetEx::Make(nullptr);
    change->GetAttributeSet(0b01, 0, true)->RemoveAttribute(eVisibility);

    AutoPtr<AttributeSetEx> keeping = stored->Clone();
    // The clone shares children: give it private ones to see the keep-removes difference.
    AutoPtr<AttributeSetEx> fresh = AttributeSetEx::Make(nullptr);
    fresh->GetAttributeSet(0b01, 0, true)->SetAttribute(Kind(eVisibility));
    fresh->MergeChange(*change, true);
    ASSERT_EQ(fresh->Children()->Count(), 1) << "kept: it still carries the removal on";
    EXPECT_TRUE(Child(*fresh, 0b01, 0)->HasRemoveAttribute(eVisibility));

    stored->MergeChange(*change, false);
    ASSERT_EQ(stored->Children()->Count(), 1);
    EXPECT_NE(Child(*stored, 0b10, 0), nullptr);
    EXPECT_EQ(keeping->Children()->Count(), 2);
}

TEST(AttributeSetExTest, RemoveAllDropsChildren) {
    LiveObjectGuard guard;
    AutoPtr<AttributeSetEx> stored = AttributeSetEx::Make(nullptr);
    stored->SetAttribute(Kind(eVisibility));
    stored->GetAttributeSet(0b01, 0, true)->SetAttribute(Kind(eOpacity));
    AutoPtr<AttributeSet> wipe = AttributeSet::Make(nullptr, 0);
    wipe->RemoveAllAttributes();
    stored->MergeChange(*wipe, false);
    EXPECT_EQ(stored->Attributes().Count(), 0);
    EXPECT_EQ(stored->Children()->Count(), 0);

    stored->GetAttributeSet(0b01, 0, true)->SetAttribute(Kind(eOpacity));
    stored->RemoveAllAttributes();
    EXPECT_EQ(stored->Children()->Count(), 0);
    EXPECT_EQ(stored->GetRemoveAttributes(), 0x7FFFFu);
}

TEST(AttributeSetExTest, WildClientTypeSplitsPartialOverlaps) {
    LiveObjectGuard guard;
    const unsigned append = 0b1000;
    AutoPtr<AttributeSetEx> stored = AttributeSetEx::Make(nullptr);
    stored->GetAttributeSet(0b0011, append, true)->SetAttribute(Kind(eVisibility, 1));

    AutoPtr<AttributeSetEx> change = AttributeSetEx::Make(nullptr);
    change->GetAttributeSet(0b0110, append, true)->SetAttribute(Kind(eOpacity, 2));
    stored->MergeChange(*change, false);

    ASSERT_EQ(stored->Children()->Count(), 3);
    AttributeSet* old = Child(*stored, 0b0001, append);
    AttributeSet* split = Child(*stored, 0b0010, append);
    AttributeSet* added = Child(*stored, 0b0100, append);
    ASSERT_TRUE(old && split && added);
    EXPECT_EQ(ValueOf(old->GetAttribute(eVisibility)), 1);
    EXPECT_EQ(old->GetAttribute(eOpacity), nullptr);
    EXPECT_EQ(ValueOf(split->GetAttribute(eVisibility)), 1);
    EXPECT_EQ(ValueOf(split->GetAttribute(eOpacity)), 2);
    EXPECT_EQ(added->GetAttribute(eVisibility), nullptr);
    EXPECT_EQ(ValueOf(added->GetAttribute(eOpacity)), 2);
    EXPECT_EQ(added->GetRemoveAttributes(), 0u);
}

TEST(AttributeSetExTest, WildMergeOfCoveredChildrenDoesNotGrow) {
    LiveObjectGuard guard;
    const unsigned append = 0b1000;
    AutoPtr<AttributeSetEx> stored = AttributeSetEx::Make(nullptr);
    stored->GetAttributeSet(0b01, append, true)->SetAttribute(Kind(eVisibility, 1));
    stored->GetAttributeSet(0b10, append, true)->SetAttribute(Kind(eVisibility, 1));
    for (int round = 0; round < 3; ++round) {
        AutoPtr<AttributeSetEx> change = AttributeSetEx::Make(nullptr);
        AttributeSet* c = change->GetAttributeSet(0b11, append, true);
        c->SetAttribute(Kind(eOpacity, 10 + round));
        c->RemoveAttribute(eVisibility);
        stored->MergeChange(*change, false);
        ASSERT_EQ(stored->Children()->Count(), 2) << "round " << round;
    }
    for (unsigned t : {0b01u, 0b10u}) {
        EXPECT_EQ(Child(*stored, t, append)->GetAttribute(eVisibility), nullptr);
        EXPECT_EQ(ValueOf(Child(*stored, t, append)->GetAttribute(eOpacity)), 12);
    }
}

TEST(AttributeSetExTest, QSortPutsTypedSetsFirstKeepingTheirOrder) {
    LiveObjectGuard guard;
    auto node = MakeTypedNode(1);
    AttributeSetList list;
    AutoPtr<AttributeSet> n1 = AttributeSet::Make(node, 0), n2 = AttributeSet::Make(node, 0);
    AutoPtr<AttributeSet> t1 = TypeSpecificAttributeSet::Make(1, 0), t2 = TypeSpecificAttributeSet::Make(2, 0),
                          t3 = TypeSpecificAttributeSet::Make(4, 0);
    for (AttributeSet* s : {n1.get(), t1.get(), n2.get(), t2.get(), t3.get()})
        list.Add(s);
    AttributeSetEx::QSort(list);
    EXPECT_EQ(list[0], t1.get());
    EXPECT_EQ(list[1], t2.get());
    EXPECT_EQ(list[2], t3.get());
    EXPECT_EQ(list[3]->ApplyTypes(), 0u);
    EXPECT_EQ(list[4]->ApplyTypes(), 0u);
}
