#include "../TestSupport.h"

#include <Lumo/Objects/HeapOperators.h>
#include <Scene/Attributes/AttributeSetListEx.h>
#include <Scene/Attributes/OpacityAttribute.h>
#include <Scene/Attributes/SimpleAttributeSet.h>

using namespace Lumo::Scene;
using namespace SceneTest;

TEST(SimpleAttributeSetTest, MergeDecidesByPriority) {
    LiveObjectGuard guard;
    SimpleAttributeSet acc;
    AutoPtr<Attribute> high = KindAttribute::Make(eEffect, 1, false, 5);
    AutoPtr<Attribute> tieHolder = KindAttribute::Make(eOpacity, 2, true, 0);
    AutoPtr<Attribute> plain = KindAttribute::Make(eVisibility, 3);
    acc.SetAttribute(high);
    acc.SetAttribute(tieHolder);
    acc.SetAttribute(plain);

    AttributeList incoming;
    AutoPtr<Attribute> e = KindAttribute::Make(eEffect, 10), o = KindAttribute::Make(eOpacity, 20),
                       v = KindAttribute::Make(eVisibility, 30), d = KindAttribute::Make(eDepthPriority, 40);
    for (Attribute* a : {v.get(), o.get(), e.get(), d.get()})
        incoming.Add(a);
    incoming.Add(nullptr); // holes are skipped
    acc.Merge(incoming);
    EXPECT_EQ(ValueOf(acc.GetAttribute(eEffect)), 1) << "higher priority held";
    EXPECT_EQ(ValueOf(acc.GetAttribute(eOpacity)), 2) << "tie flag held";
    EXPECT_EQ(ValueOf(acc.GetAttribute(eVisibility)), 30) << "equal priority: incoming";
    EXPECT_EQ(ValueOf(acc.GetAttribute(eDepthPriority)), 40) << "new kind added";
    EXPECT_EQ(acc.Attributes().Count(), 4);
}

TEST(SimpleAttributeSetTest, UnchangedMergeAllocatesNothing) {
    LiveObjectGuard guard;
    AutoPtr<AttributeSet> set = AttributeSet::Make(nullptr, 10);
    SimpleAttributeSet acc(kAttributeTypeCount);
    for (int k = 0; k < 10; ++k) {
        set->SetAttribute(KindAttribute::Make(EAttributeType(k), 0, false, 0));
        acc.SetAttribute(KindAttribute::Make(EAttributeType(k), 0, false, 1));
    }
    auto before = Lumo::Objects::HeapOperators::Stats().totalBlocks;
    for (int i = 0; i < 100; ++i)
        acc.Merge(*set);
    EXPECT_EQ(Lumo::Objects::HeapOperators::Stats().totalBlocks, before);
}

TEST(SimpleAttributeSetTest, CopiesAndRemovalKeepCountsExact) {
    LiveObjectGuard guard;
    AutoPtr<Attribute> a = KindAttribute::Make(eGroup, 1);
    SimpleAttributeSet acc;
    acc.SetAttribute(a);
    {
        SimpleAttributeSet copy(acc);
        AutoPtr<SimpleAttributeSet> clone = acc.Clone();
        EXPECT_EQ(a->RefCount(), 4);
        copy.RemoveAttribute(eGroup);
        copy.RemoveAttribute(eGroup);
        EXPECT_EQ(copy.GetAttribute(eGroup), nullptr);
        EXPECT_EQ(clone->GetAttribute(eGroup), a.get());
    }
    EXPECT_EQ(a->RefCount(), 2);
    acc.Clear();
    EXPECT_EQ(a->RefCount(), 1);
    EXPECT_FALSE(acc.HasAttribute(eGroup));
}

TEST(AttributeSetListExTest, ClonesHoldTheirOwnReferences) {
    LiveObjectGuard guard;
    AutoPtr<AttributeSet> s = AttributeSet::Make(nullptr, 0);
    AutoPtr<AttributeSetListEx> list = AttributeSetListEx::Make();
    EXPECT_TRUE(list->Add(s));
    EXPECT_FALSE(list->Add(nullptr));
    AutoPtr<AttributeSetListEx> clone = list->Clone();
    EXPECT_EQ(s->RefCount(), 3);
    list = nullptr;
    EXPECT_EQ(s->RefCount(), 2);
    EXPECT_EQ((*clone)[0], s.get());
}

TEST(SimpleAttributeSetTest, SharedRelativeAttributeMetTwiceComposes) {
    LiveObjectGuard guard;
    AutoPtr<Attribute> half = OpacityAttribute::Make(0.5f, false);
    AttributeList path;
    path.Add(half);
    SimpleAttributeSet acc;
    acc.Merge(path); // parent
    acc.Merge(path); // child carrying the very same attribute object
    EXPECT_FLOAT_EQ(static_cast<OpacityAttribute*>(acc.GetAttribute(eOpacity))->GetOpacity(), 0.25f);
}
