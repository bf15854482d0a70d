#include "../TestSupport.h"

#include <Scene/Attributes/DepthPriorityAttribute.h>
#include <Scene/Attributes/OpacityAttribute.h>
#include <Scene/Attributes/TransformAttribute.h>
#include <Scene/Attributes/VisibilityAttribute.h>

#include <cmath>

using namespace Lumo::Scene;
using namespace SceneTest;
using Lumo::Objects::Intern;
using Lumo::Objects::mat4;
using Lumo::Objects::vec3;

TEST(AttributeTest, MergeFollowsPriorityThenTieFlag) {
    LiveObjectGuard guard;
    AutoPtr<Attribute> held = KindAttribute::Make(eVisibility, 1);
    AutoPtr<Attribute> incoming = KindAttribute::Make(eVisibility, 2);
    EXPECT_EQ(held->Merge(nullptr), held.get());
    EXPECT_EQ(held->Merge(incoming), incoming.get()) << "equal priority: incoming wins";

    AutoPtr<Attribute> tieHolder = KindAttribute::Make(eVisibility, 3, true);
    EXPECT_EQ(tieHolder->Merge(incoming), tieHolder.get()) << "tie flag on the held one keeps it";
    EXPECT_EQ(incoming->Merge(tieHolder), tieHolder.get()) << "tie flag on the incoming one alone is no help";

    AutoPtr<Attribute> high = KindAttribute::Make(eVisibility, 4, false, 255);
    AutoPtr<Attribute> low = KindAttribute::Make(eVisibility, 5, true, 0);
    EXPECT_EQ(high->Merge(low), high.get());
    EXPECT_EQ(low->Merge(high), high.get());
}

TEST(AttributeTest, EqualityComparesKindPriorityTieFlagAndFields) {
    LiveObjectGuard guard;
    AutoPtr<Attribute> a = VisibilityAttribute::Make(true, false, 3);
    EXPECT_TRUE(a->Equals(AutoPtr<Attribute>(VisibilityAttribute::Make(true, false, 3))));
    EXPECT_FALSE(a->Equals(AutoPtr<Attribute>(VisibilityAttribute::Make(true, false, 4))));
    EXPECT_FALSE(a->Equals(AutoPtr<Attribute>(VisibilityAttribute::Make(true, true, 3))));
    EXPECT_FALSE(a->Equals(AutoPtr<Attribute>(VisibilityAttribute::Make(false, false, 3))));
    EXPECT_FALSE(a->Equals(AutoPtr<Attribute>(DepthPriorityAttribute::Make(1, false, 3))));
    EXPECT_FALSE(a->Equals(nullptr));
    EXPECT_TRUE(a->Equals(a));
}

TEST(AttributeTest, FloatComparisonToleranceIsOneMillionth) {
    EXPECT_TRUE(Attribute::_Equalf1(1.0f, 1.0000005f));
    EXPECT_FALSE(Attribute::_Equalf1(1.0f, 1.000002f));
    EXPECT_TRUE(Attribute::_Equalf3({1, 2, 3}, {1, 2, 3.0000005f}));
    EXPECT_FALSE(Attribute::_Equalf4({1, 2, 3, 4}, {1, 2, 3, 4.00001f}));
    EXPECT_TRUE(Attribute::_EqualUString(Intern(L"a"), Intern(std::wstring(L"a"))));
}

TEST(AttributeTest, InterfaceLookupWalksTheClassChain) {
    LiveObjectGuard guard;
    AutoPtr<Attribute> a = VisibilityAttribute::Make(true);
    EXPECT_EQ(a->ClassName(), Intern(L"VisibilityAttribute"));
    EXPECT_EQ(a->GetInterface(Intern(L"VisibilityAttribute")), static_cast<void*>(a.get()));
    EXPECT_EQ(a->GetInterface(Intern(L"Attribute")), static_cast<void*>(a.get()));
    EXPECT_EQ(a->GetInterface(Intern(L"ARefCounted")), static_cast<void*>(a.get()));
    EXPECT_EQ(a->GetInterface(Intern(L"OpacityAttribute")), nullptr);
    EXPECT_EQ(a->GetInterface(Intern(L"NoSuchInterface")), nullptr);
}

TEST(AttributeTest, LiveCountersTrackEachClassInTheChain) {
    int attributes = Attribute::NetObjectCount();
    int visibilities = VisibilityAttribute::NetObjectCount();
    {
        AutoPtr<Attribute> a = VisibilityAttribute::Make(true);
        EXPECT_EQ(Attribute::NetObjectCount(), attributes + 1);
        EXPECT_EQ(VisibilityAttribute::NetObjectCount(), visibilities + 1);
        EXPECT_EQ(a->CurObjectCount(), visibilities + 1);
    }
    EXPECT_EQ(Attribute::NetObjectCount(), attributes);
    EXPECT_EQ(VisibilityAttribute::NetObjectCount(), visibilities);
}

TEST(AttributeTest, RelativeOpacitiesMultiplyAbsoluteOnesCompete) {
    LiveObjectGuard guard;
    AutoPtr<Attribute> held = OpacityAttribute::Make(0.5f, false, true, 7);
    AutoPtr<Attribute> merged = held->Merge(AutoPtr<Attribute>(OpacityAttribute::Make(0.5f, false)));
    auto* o = static_cast<OpacityAttribute*>(merged.get());
    EXPECT_FLOAT_EQ(o->GetOpacity(), 0.25f);
    EXPECT_EQ(o->Priority(), 7);
    EXPECT_TRUE(o->WinTies());
    EXPECT_FALSE(o->Absolute());

    AutoPtr<Attribute> absolute = OpacityAttribute::Make(0.5f, true, false, 1);
    EXPECT_EQ(held->Merge(absolute), held.get()) << "held priority 7 beats absolute priority 1";
    EXPECT_EQ(merged->ToString(), L"0.25(Relative)");
    EXPECT_EQ(absolute->ToString(), L"0.5(Absolute)");
}

TEST(AttributeTest, RelativeTransformsComposeChildFirst) {
    LiveObjectGuard guard;
    auto parent = mat4<float>::Translation(vec3<float>(10, 0, 0));
    auto child = mat4<float>::Rotation(vec3<float>(0, 0, 1), float(M_PI / 2));
    AutoPtr<Attribute> held = TransformAttribute::Make(parent, false);
    AutoPtr<Attribute> merged = held->Merge(AutoPtr<Attribute>(TransformAttribute::Make(child, false)));
    // (1,0,0) turns to (0,1,0) in the child, then moves by the parent's (10,0,0).
    vec3<float> p = static_cast<TransformAttribute*>(merged.get())->Transform().TransformPoint({1, 0, 0});
    EXPECT_NEAR(p.x, 10.f, 1e-5);
    EXPECT_NEAR(p.y, 1.f, 1e-5);
    AutoPtr<Attribute> identity = TransformAttribute::Make(mat4<float>(), true);
    EXPECT_EQ(identity->ToString(), L"1 0 0 0\n0 1 0 0\n0 0 1 0\n0 0 0 1\nabsolute");
}
