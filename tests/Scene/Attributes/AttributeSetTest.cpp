#include "../TestSupport.h"

#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Attributes/TypeSpecificAttributeSet.h>

using namespace Lumo::Scene;
using namespace SceneTest;

namespace {
AutoPtr<Attribute> Kind(EAttributeType k, int value = 0) {
    return KindAttribute::Make(k, value);
}
} // namespace

TEST(AttributeSetTest, AttributesArePackedByKind) {
    LiveObjectGuard guard;
    AutoPtr<AttributeSet> set = AttributeSet::Make(nullptr, 0);
    set->SetAttribute(Kind(eEffect, 5));
    set->SetAttribute(Kind(eVisibility, 0));
    set->SetAttribute(Kind(eColorHint, 12));
    ASSERT_EQ(set->Attributes().Count(), 3);
    EXPECT_EQ(set->Attributes()[0]->Type(), eVisibility);
    EXPECT_EQ(set->Attributes()[1]->Type(), eEffect);
    EXPECT_EQ(set->Attributes()[2]->Type(), eColorHint);
    EXPECT_EQ(ValueOf(set->GetAttribute(eColorHint)), 12);
    EXPECT_EQ(set->GetAttribute(eOpacity), nullptr);
    EXPECT_EQ(set->GetHasAttributes(), (1u << 0) | (1u << 5) | (1u << 12));

    // Every kind, inserted from the top down, lands in kind order.
    AutoPtr<AttributeSet> full = AttributeSet::Make(nullptr, 0);
    for (int k = kAttributeTypeCount - 1; k >= 0; --k)
        full->SetAttribute(Kind(EAttributeType(k), k));
    for (int k = 0; k < kAttributeTypeCount; ++k) {
        EXPECT_EQ(full->Attributes()[k]->Type(), k);
        EXPECT_EQ(ValueOf(full->GetAttribute(EAttributeType(k))), k);
    }
    // Removing from the middle keeps later lookups right.
    full->RemoveAttribute(eLineStyle);
    EXPECT_EQ(full->GetAttribute(eLineStyle), nullptr);
    EXPECT_EQ(ValueOf(full->GetAttribute(eBillBoard)), 7);
    EXPECT_EQ(ValueOf(full->GetAttribute(eDecalGeometry)), 17);
}

TEST(AttributeSetTest, ReplacingKeepsOneReferencePerAttribute) {
    LiveObjectGuard guard;
    AutoPtr<AttributeSet> set = AttributeSet::Make(nullptr, 0);
    AutoPtr<Attribute> a = Kind(eOpacity, 1), b = Kind(eOpacity, 2);
    set->SetAttribute(a);
    EXPECT_EQ(a->RefCount(), 2);
    set->SetAttribute(a);
    EXPECT_EQ(a->RefCount(), 2) << "setting the same object again takes no reference";
    set->SetAttribute(b);
    EXPECT_EQ(a->RefCount(), 1);
    EXPECT_EQ(b->RefCount(), 2);
    EXPECT_EQ(set->Attributes().Count(), 1);
    EXPECT_EQ(set->GetAttribute(eOpacity), b.get());
}

TEST(AttributeSetTest, RemoveMasks) {
    LiveObjectGuard guard;
    AutoPtr<AttributeSet> set = AttributeSet::Make(nullptr, 0);
    set->SetAttribute(Kind(eVisibility));
    set->RemoveAttribute(eOpacity);
    EXPECT_EQ(set->Attributes().Count(), 1) << "removing an absent kind only marks it";
    EXPECT_EQ(set->GetRemoveAttributes(), 1u << eOpacity);
    EXPECT_TRUE(set->HasRemoveAttribute(eOpacity));

    set->SetAttribute(Kind(eOpacity));
    EXPECT_FALSE(set->HasRemoveAttribute(eOpacity)) << "setting a kind clears its remove bit";

    set->RemoveAllAttributes();
    EXPECT_EQ(set->GetRemoveAttributes(), 0x7FFFFu);
    EXPECT_TRUE(set->AllRemoved());
    EXPECT_EQ(set->Attributes().Count(), 0);
    EXPECT_EQ(set->GetHasAttributes(), 0u);
    set->ClearRemoved();
    EXPECT_FALSE(set->AllRemoved());
}

TEST(AttributeSetTest, MergeChangeSetsThenRemoves) {
    LiveObjectGuard guard;
    AutoPtr<AttributeSet> stored = AttributeSet::Make(nullptr, 0);
    stored->SetAttribute(Kind(eVisibility, 1));
    stored->SetAttribute(Kind(eOpacity, 1));
    stored->SetAttribute(Kind(eTransform, 1));

    AutoPtr<AttributeSet> change = AttributeSet::Make(nullptr, 0);
    change->SetAttribute(Kind(eVisibility, 2)); // replaces outright, no priority contest
    change->RemoveAttribute(eOpacity);
    change->SetAttribute(Kind(eEffect, 2));
    stored->MergeChange(*change, true);
    EXPECT_EQ(ValueOf(stored->GetAttribute(eVisibility)), 2);
    EXPECT_EQ(stored->GetAttribute(eOpacity), nullptr);
    EXPECT_EQ(ValueOf(stored->GetAttribute(eEffect)), 2);
    EXPECT_EQ(ValueOf(stored->GetAttribute(eTransform)), 1);
    EXPECT_EQ(stored->GetRemoveAttributes(), 1u << eOpacity) << "keep-removes carries the removal on";

    AutoPtr<AttributeSet> again = AttributeSet::Make(nullptr, 0);
    again->RemoveAttribute(eTransform);
    stored->MergeChange(*again, false);
    EXPECT_EQ(stored->GetRemoveAttributes(), 0u);
    EXPECT_EQ(stored->GetAttribute(eTransform), nullptr);
}

namespace {
/// A change record as a reader of stored packets builds it: masks written directly.
class ChangeRecord : public AttributeSet {
public:
    static ChangeRecord* Make() { return new ChangeRecord; }
    using AttributeSet::SetRemoveAttributes;

private:
    ChangeRecord() : AttributeSet(nullptr, 0, 0) {}
};
} // namespace

TEST(AttributeSetTest, ChangeThatSetsAndRemovesAKindEndsRemoved) {
    LiveObjectGuard guard;
    AutoPtr<ChangeRecord> change = ChangeRecord::Make();
    change->SetAttribute(Kind(eOpacity, 3));
    change->SetRemoveAttributes(1u << eOpacity);
    AutoPtr<AttributeSet> stored = AttributeSet::Make(nullptr, 0);
    stored->SetAttribute(Kind(eOpacity, 1));
    stored->MergeChange(*change, false);
    EXPECT_EQ(stored->GetAttribute(eOpacity), nullptr);
    EXPECT_EQ(stored->GetRemoveAttributes(), 0u);
}

TEST(AttributeSetTest, RemoveAllChangeEmptiesTheReceiver) {
    LiveObjectGuard guard;
    AutoPtr<AttributeSet> stored = AttributeSet::Make(nullptr, 0);
    for (int k = 0; k < 6; ++k)
        stored->SetAttribute(Kind(EAttributeType(k)));
    AutoPtr<AttributeSet> change = AttributeSet::Make(nullptr, 0);
    change->RemoveAllAttributes();
    change->SetAttribute(Kind(eGroup, 9)); // set after the wipe: the wipe still wins
    stored->MergeChange(*change, false);
    EXPECT_EQ(stored->Attributes().Count(), 0);
    EXPECT_EQ(stored->GetRemoveAttributes(), 0u);
}

TEST(AttributeSetTest, CopiesShareAttributes) {
    LiveObjectGuard guard;
    auto node = MakeTypedNode(0);
    AutoPtr<AttributeSet> set = AttributeSet::Make(node, 0);
    AutoPtr<Attribute> a = Kind(eOpacity);
    set->SetAttribute(a);
    set->RemoveAttribute(eVisibility);
    set->AppendTypes(0x30);
    AutoPtr<AttributeSet> copy = set->Clone();
    EXPECT_EQ(copy->GetAttribute(eOpacity), a.get());
    EXPECT_EQ(copy->RenderNode(), node.get());
    EXPECT_EQ(copy->AppendTypes(), 0x30u);
    EXPECT_EQ(copy->GetRemoveAttributes(), 1u << eVisibility);
    EXPECT_EQ(a->RefCount(), 3);

    AutoPtr<TypeSpecificAttributeSet> ts = TypeSpecificAttributeSet::Make(0x6, 0x1, 0);
    ts->SetAttribute(a);
    AutoPtr<TypeSpecificAttributeSet> tsCopy = ts->Clone();
    EXPECT_EQ(tsCopy->ApplyTypes(), 0x6u);
    EXPECT_EQ(tsCopy->AppendTypes(), 0x1u);
    EXPECT_EQ(tsCopy->RenderNode(), nullptr);
    AutoPtr<AttributeSet> plain = static_cast<AttributeSet*>(ts.get())->Clone();
    EXPECT_EQ(plain->ApplyTypes(), 0u) << "the base clone makes a plain set";
}

TEST(AttributeSetTest, MatchNodeByNodeAndClientType) {
    LiveObjectGuard guard;
    auto a = MakeTypedNode(0b10), b = MakeTypedNode(0b01), c = MakeTypedNode(0b100);
    AutoPtr<TypeSpecificAttributeSet> ts = TypeSpecificAttributeSet::Make(0b10, 0b01, 0);
    EXPECT_EQ(ts->MatchNode(a), eApplies);
    EXPECT_EQ(ts->MatchNode(b), eCarryOn);
    EXPECT_EQ(ts->MatchNode(c), eNoMatch);
    EXPECT_EQ(ts->MatchNode(nullptr), eNoMatch);
    ts->AppendTypes(0);
    EXPECT_EQ(ts->MatchNode(a), eApplies);
    EXPECT_EQ(ts->MatchNode(b), eNoMatch);
    EXPECT_EQ(ts->MatchNode(c), eNoMatch);

    // A node-specific set applies only to its own node; a plain node has client type 0.
    AutoPtr<Lumo::Graphics::GroupNode> bare = Lumo::Graphics::GroupNode::Make();
    AutoPtr<AttributeSet> own = AttributeSet::Make(a, 0);
    own->AppendTypes(0b01);
    EXPECT_EQ(own->MatchNode(a), eApplies);
    EXPECT_EQ(own->MatchNode(b), eCarryOn);
    EXPECT_EQ(own->MatchNode(bare), eNoMatch);
}
