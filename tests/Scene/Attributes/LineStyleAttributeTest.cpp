#include "../TestSupport.h"

#include <Lumo/Objects/UString.h>

#include <string>

using namespace Lumo::Scene;
using namespace SceneTest;

namespace {
Lumo::Objects::KString TextOf(const LineStyle& style) {
    return AutoPtr<Attribute>(LineStyleAttribute::Make(style))->ToString();
}
} // namespace

TEST(LineStyleAttributeTest, ToStringPrintsPatternWhenNamedAndScalesUnlessBothOne) {
    LiveObjectGuard guard;
    LineStyle style;
    EXPECT_EQ(TextOf(style), L"Weight: 1 (Screen Space)");
    style.SetSpace(0);
    style.SetWeight(2.5f);
    EXPECT_EQ(TextOf(style), L"Weight: 2.5 (Model Space)");
    style.SetLinePatternName(L"DASHED");
    EXPECT_EQ(TextOf(style), L"Weight: 2.5 (Model Space)\nPattern name: DASHED");
    style.SetYScale(3);
    EXPECT_EQ(TextOf(style), L"Weight: 2.5 (Model Space)\nPattern name: DASHED\nXScale: 1  YScale: 3");
    style.SetYScale(1);
    style.SetXScale(0.5f);
    EXPECT_EQ(TextOf(style), L"Weight: 2.5 (Model Space)\nPattern name: DASHED\nXScale: 0.5  YScale: 1");
    style.SetLinePatternName(L"");
    EXPECT_EQ(style.GetLinePatternName(), nullptr) << "empty text clears the pattern";
}

TEST(LineStyleAttributeTest, EqualityComparesEveryFieldAndCopiesTheStyle) {
    LiveObjectGuard guard;
    LineStyle style;
    style.SetLinePatternName(std::wstring(L"DOT"));
    EXPECT_EQ(style.GetLinePatternName(), Lumo::Objects::Intern(L"DOT"));
    AutoPtr<LineStyleAttribute> a = LineStyleAttribute::Make(style);
    style.SetWeight(4);
    EXPECT_EQ(a->GetLineStyle().GetWeight(), 1.0f) << "the style is copied";

    auto differs = [&](auto change) {
        LineStyle other = a->GetLineStyle();
        change(other);
        return !a->Equals(AutoPtr<Attribute>(LineStyleAttribute::Make(other)));
    };
    EXPECT_FALSE(differs([](LineStyle&) {}));
    EXPECT_TRUE(differs([](LineStyle& s) { s.SetWeight(1.0000001f); }));
    EXPECT_TRUE(differs([](LineStyle& s) { s.SetSpace(2); }));
    EXPECT_TRUE(differs([](LineStyle& s) { s.SetXScale(2); }));
    EXPECT_TRUE(differs([](LineStyle& s) { s.SetYScale(2); }));
    EXPECT_TRUE(differs([](LineStyle& s) { s.SetLinePatternName(L"DASH"); }));
    EXPECT_TRUE(differs([](LineStyle& s) { s.SetLinePatternName(nullptr); }));
}
