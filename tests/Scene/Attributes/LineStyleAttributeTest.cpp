#include "../TestSupport.h"

#include <Lumo/Devices/FragmentGraph.h>
#include <Lumo/Graphics/ScriptFragmentHelper.h>
#include <Lumo/Graphics/StyleGraphs.h>
#include <Lumo/Objects/UString.h>
#include <Scene/Attributes/LineStyleAttribute.h>

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

TEST(LineStyleAttributeTest, StyleGraphFollowsSpaceAndWeight) {
    using Lumo::Graphics::StyleGraphs;
    LineStyle screen; // weight 1, screen space
    AutoPtr<LineStyleAttribute> thin = LineStyleAttribute::Make(screen);
    Lumo::Devices::AFragment* g = thin->GetStyleGraph();
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->Name(), StyleGraphs::ScreenSymbolizationGraph());
    EXPECT_EQ(thin->GetStyleGraph(), g) << "built once";

    LineStyle model;
    model.SetWeight(3.0f);
    model.SetSpace(0);
    AutoPtr<LineStyleAttribute> thick = LineStyleAttribute::Make(model);
    auto* graph = static_cast<Lumo::Devices::FragmentGraph*>(
        thick->GetStyleGraph()->GetInterface(Lumo::Devices::FragmentGraph::StaticClassName()));
    ASSERT_NE(graph, nullptr) << "a weight other than 1 adds a stroke";
    ASSERT_EQ(graph->FragmentCount(), 2);
    EXPECT_EQ(graph->Fragment(0)->Name(), StyleGraphs::ModelSymbolizationGraph());
    Lumo::Devices::AFragment* stroke = graph->Fragment(1);
    EXPECT_EQ(stroke->Name(), StyleGraphs::LineStroke());
    EXPECT_FLOAT_EQ(stroke->Defaults().GetFloat(stroke->InputIndex(StyleGraphs::WeightParameter()), 0), 3.0f);
    EXPECT_EQ(graph->Connections().size(), 1u);
    // The shared stroke prototype keeps its own weight.
    Lumo::Devices::AFragment* prototype =
        Lumo::Graphics::ScriptFragmentHelper::AcquireFragment(StyleGraphs::LineStroke());
    EXPECT_FLOAT_EQ(prototype->Defaults().GetFloat(prototype->InputIndex(StyleGraphs::WeightParameter()), 0), 1.0f);
}
