#include <Lumo/Graphics/ScriptFragmentHelper.h>
#include <Lumo/Graphics/StyleGraphs.h>

#include <Lumo/Devices/AFragment.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/UString.h>

namespace Lumo::Graphics {

using Lumo::Objects::Intern;
using Lumo::Objects::UString;

UString* StyleGraphs::ScreenSymbolizationGraph() {
    static UString* n = Intern(L"ScreenSymbolizationGraph");
    return n;
}
UString* StyleGraphs::ModelSymbolizationGraph() {
    static UString* n = Intern(L"ModelSymbolizationGraph");
    return n;
}
UString* StyleGraphs::LineStroke() {
    static UString* n = Intern(L"LineStroke");
    return n;
}
UString* StyleGraphs::WeightParameter() {
    static UString* n = Intern(L"weight");
    return n;
}
UString* StyleGraphs::StyleInput() {
    static UString* n = Intern(L"style");
    return n;
}
UString* StyleGraphs::StyleOutput() {
    static UString* n = Intern(L"output");
    return n;
}
UString* StyleGraphs::PatternParameter() {
    static UString* n = Intern(L"pattern");
    return n;
}
UString* StyleGraphs::ScaleParameter() {
    static UString* n = Intern(L"scale");
    return n;
}

void StyleGraphs::RegisterStockFragments() {
    using Lumo::Devices::AFragment;
    auto symbolization = [](UString* name) {
        Lumo::Objects::AutoPtr<AFragment> f = AFragment::Make(name);
        f->AddInput(PatternParameter(), Lumo::Devices::eParamInt);
        int scale = f->AddInput(ScaleParameter(), Lumo::Devices::eParamFloat2);
        f->Defaults().SetFloat2(scale, {1.0f, 1.0f});
        f->AddOutput(StyleOutput());
        ScriptFragmentHelper::RegisterFragment(f);
    };
    symbolization(ScreenSymbolizationGraph());
    symbolization(ModelSymbolizationGraph());

    Lumo::Objects::AutoPtr<AFragment> stroke = AFragment::Make(LineStroke());
    stroke->AddInput(StyleInput());
    int weight = stroke->AddInput(WeightParameter(), Lumo::Devices::eParamFloat);
    stroke->Defaults().SetFloat(weight, 1.0f);
    stroke->AddOutput(StyleOutput());
    ScriptFragmentHelper::RegisterFragment(stroke);
}

} // namespace Lumo::Graphics
