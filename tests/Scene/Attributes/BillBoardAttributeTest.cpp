#include "../TestSupport.h"

#include <cmath>

using namespace Lumo::Scene;
using namespace SceneTest;

TEST(BillBoardAttributeTest, ToStringNamesKnownStylesAndAxisOnlyWhenAxial) {
    LiveObjectGuard guard;
    const Lumo::Objects::vec3<float> anchor(1, -2.5f, 0), axis(0, 0, 1);
    auto text = [&](int style) {
        AutoPtr<Attribute> a = BillBoardAttribute::Make(anchor, BillBoardAttribute::EStyle(style), axis);
        return a->ToString();
    };
    EXPECT_EQ(text(BillBoardAttribute::eScreen), L"Style: eScreen;\nAnchor point: 1 -2.5 0");
    EXPECT_EQ(text(BillBoardAttribute::eAxial), L"Style: eAxial;\nAnchor point: 1 -2.5 0\nAxis: 0 0 1");
    EXPECT_EQ(text(BillBoardAttribute::eRightReading), L"Style: eRightReading;\nAnchor point: 1 -2.5 0");
    EXPECT_EQ(text(0), L"\nAnchor point: 1 -2.5 0");
    EXPECT_EQ(text(4), L"\nAnchor point: 1 -2.5 0");
}

TEST(BillBoardAttributeTest, EqualityIsExactOnStyleAnchorAndAxis) {
    LiveObjectGuard guard;
    using V = Lumo::Objects::vec3<float>;
    AutoPtr<Attribute> a = BillBoardAttribute::Make(V(1, 2, 3), BillBoardAttribute::eAxial, V(0, 1, 0));
    EXPECT_TRUE(
        a->Equals(AutoPtr<Attribute>(BillBoardAttribute::Make(V(1, 2, 3), BillBoardAttribute::eAxial, V(0, 1, 0)))));
    // Unlike pixel-scale centres, no tolerance here.
    EXPECT_FALSE(a->Equals(AutoPtr<Attribute>(
        BillBoardAttribute::Make(V(1, 2, std::nextafter(3.0f, 4.0f)), BillBoardAttribute::eAxial, V(0, 1, 0)))));
    EXPECT_FALSE(
        a->Equals(AutoPtr<Attribute>(BillBoardAttribute::Make(V(1, 2, 3), BillBoardAttribute::eAxial, V(0, 0, 1)))));
    EXPECT_FALSE(
        a->Equals(AutoPtr<Attribute>(BillBoardAttribute::Make(V(1, 2, 3), BillBoardAttribute::eScreen, V(0, 1, 0)))));
    EXPECT_FALSE(a->Equals(
        AutoPtr<Attribute>(BillBoardAttribute::Make(V(1, 2, 3), BillBoardAttribute::eAxial, V(0, 1, 0), false, 1))));
}
