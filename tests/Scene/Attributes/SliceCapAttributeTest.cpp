#include "../TestSupport.h"

using namespace Lumo::Scene;
using namespace SceneTest;
using V4 = Lumo::Objects::vec4<float>;

TEST(SliceCapAttributeTest, ToStringNamesSectionCapAndPlanes) {
    LiveObjectGuard guard;
    V4 p1(1, 0, 0, -0.5f), p2(0, 1, 0, 2);
    AutoPtr<Attribute> half = SliceCapAttribute::Make(eHalfSection, true, &p1, nullptr);
    EXPECT_EQ(half->ToString(), L"\nSectionType: eHalfSection\nDoCap: TRUE\nPlane1: 1 0 0 -0.5\nPlane2: 0 0 0 0");
    AutoPtr<Attribute> quarter = SliceCapAttribute::Make(eQuarterSection, false, &p1, &p2);
    EXPECT_EQ(quarter->ToString(),
              L"\nSectionType: eQuarterSection\nDoCap: FALSE\nPlane1: 1 0 0 -0.5\nPlane2: 0 1 0 2");
    AutoPtr<Attribute> three = SliceCapAttribute::Make(eThreeQuarterSection, false, nullptr, nullptr);
    EXPECT_NE(three->ToString().Str().find(L"eThreeQuarterSection"), std::wstring::npos);
    AutoPtr<Attribute> odd = SliceCapAttribute::Make(ESectionType(9), false, nullptr, nullptr);
    EXPECT_NE(odd->ToString().Str().find(L"SectionType: eNoSection\n"), std::wstring::npos);

    AutoPtr<Attribute> multi = MultipleSliceNoCapAttribute::Make({p1, p2});
    EXPECT_EQ(multi->ToString(), L"\nSectionType: eNoSection\nDoCap: FALSE\nPlane1: 0 0 0 0\nPlane2: 0 0 0 0"
                                 L"\nPlanes: 1 0 0 -0.50 1 0 2");
}

TEST(SliceCapAttributeTest, SliceCapEqualityIsExactOnEveryField) {
    LiveObjectGuard guard;
    V4 p1(1, 0, 0, 1), p2(0, 0, 1, 1), near(1, 0, 0, 1.0000001f);
    AutoPtr<Attribute> a = SliceCapAttribute::Make(eQuarterSection, true, &p1, &p2);
    EXPECT_TRUE(a->Equals(AutoPtr<Attribute>(SliceCapAttribute::Make(eQuarterSection, true, &p1, &p2))));
    EXPECT_FALSE(a->Equals(AutoPtr<Attribute>(SliceCapAttribute::Make(eQuarterSection, true, &near, &p2))));
    EXPECT_FALSE(a->Equals(AutoPtr<Attribute>(SliceCapAttribute::Make(eQuarterSection, true, &p2, &p1))));
    EXPECT_FALSE(a->Equals(AutoPtr<Attribute>(SliceCapAttribute::Make(eQuarterSection, false, &p1, &p2))));
    EXPECT_FALSE(a->Equals(AutoPtr<Attribute>(SliceCapAttribute::Make(eHalfSection, true, &p1, &p2))));
}

TEST(SliceCapAttributeTest, MultipleSliceEqualityIgnoresPlaneOrderButNotMultiplicity) {
    LiveObjectGuard guard;
    V4 a(1, 0, 0, 0), b(0, 1, 0, 0), c(0, 0, 1, 0);
    AutoPtr<MultipleSliceNoCapAttribute> abc = MultipleSliceNoCapAttribute::Make({a, b, c});
    EXPECT_EQ(abc->GetSectionType(), eMultipleSlice);
    EXPECT_FALSE(abc->GetDoCap());
    EXPECT_TRUE(abc->Equals(AutoPtr<Attribute>(MultipleSliceNoCapAttribute::Make({c, a, b}))));
    EXPECT_FALSE(abc->Equals(AutoPtr<Attribute>(MultipleSliceNoCapAttribute::Make({a, b}))));
    EXPECT_FALSE(abc->Equals(AutoPtr<Attribute>(MultipleSliceNoCapAttribute::Make({a, b, V4(0, 0, 1, 1)}))));
    AutoPtr<Attribute> aab = MultipleSliceNoCapAttribute::Make({a, a, b});
    AutoPtr<Attribute> abb = MultipleSliceNoCapAttribute::Make({a, b, b});
    EXPECT_FALSE(aab->Equals(abb));
    EXPECT_FALSE(abb->Equals(aab));
    EXPECT_FALSE(abc->Equals(AutoPtr<Attribute>(MultipleSliceNoCapAttribute::Make({a, b, c}, false, 1))));

    // Same kind and base fields, different class: neither side takes the other for itself.
    AutoPtr<Attribute> none = MultipleSliceNoCapAttribute::Make({});
    AutoPtr<Attribute> plain = SliceCapAttribute::Make(eMultipleSlice, false, nullptr, nullptr);
    EXPECT_FALSE(none->Equals(plain));
    EXPECT_FALSE(plain->Equals(none));
    EXPECT_EQ(none->GetInterface(SliceCapAttribute::StaticClassName()), static_cast<void*>(none.get()));
    EXPECT_EQ(plain->GetInterface(MultipleSliceNoCapAttribute::StaticClassName()), nullptr);
}
