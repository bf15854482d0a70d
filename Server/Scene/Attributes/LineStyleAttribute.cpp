#include <Scene/Attributes/LineStyleAttribute.h>

#include <Lumo/Devices/AFragment.h>
#include <Lumo/Devices/FragmentGraph.h>
#include <Lumo/Graphics/ScriptFragmentHelper.h>
#include <Lumo/Graphics/StyleGraphs.h>

#include <mutex>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(LineStyleAttribute, Attribute)

LineStyleAttribute* LineStyleAttribute::Make(const LineStyle& style, bool winTies, unsigned char priority) {
    return new LineStyleAttribute(style, winTies, priority);
}

bool LineStyleAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    return Attribute::Equals(other) && static_cast<const LineStyleAttribute*>(other)->m_style == m_style;
}

Lumo::Objects::KString LineStyleAttribute::ToString() const {
    Lumo::Objects::KString s;
    s += L"Weight: ";
    s.Append(m_style.GetWeight());
    s += m_style.GetSpace() == LineStyle::kScreenSpace ? L" (Screen Space)" : L" (Model Space)";
    if (const Lumo::Objects::UString* name = m_style.GetLinePatternName()) {
        s += L"\nPattern name: ";
        s.Append(name);
    }
    if (m_style.GetXScale() != 1.0f || m_style.GetYScale() != 1.0f) {
        s += L"\nXScale: ";
        s.Append(m_style.GetXScale());
        s += L"  YScale: ";
        s.Append(m_style.GetYScale());
    }
    return s;
}

LineStyleAttribute::LineStyleAttribute(const LineStyle& style, bool winTies, unsigned char priority)
    : Attribute(winTies, priority), m_style(style) {}

LineStyleAttribute::~LineStyleAttribute() = default;

Lumo::Devices::AFragment* LineStyleAttribute::GetStyleGraph() {
    using Lumo::Graphics::StyleGraphs;
    Lumo::Objects::Threads::MutexLocker lock(m_lock);
    if (m_styleGraph)
        return m_styleGraph;
    Lumo::Objects::AutoPtr<Lumo::Devices::AFragment> base;
    {
        static std::mutex acquiring; // the fragment manager is shared by every style
        std::lock_guard<std::mutex> guard(acquiring);
        base = Lumo::Graphics::ScriptFragmentHelper::AcquireFragment(
            m_style.GetSpace() == 1 ? StyleGraphs::ScreenSymbolizationGraph() : StyleGraphs::ModelSymbolizationGraph());
    }
    if (!base)
        return nullptr;
    if (m_style.GetWeight() == 1.0f) {
        m_styleGraph = base;
        return m_styleGraph;
    }
    Lumo::Objects::AutoPtr<Lumo::Devices::AFragment> stroke =
        Lumo::Graphics::ScriptFragmentHelper::AcquireFragment(StyleGraphs::LineStroke());
    if (!stroke)
        return nullptr;
    // A graph of its own: the shared prototypes are cloned so the weight stays this style's.
    Lumo::Objects::AutoPtr<Lumo::Devices::FragmentGraph> graph =
        Lumo::Devices::FragmentGraph::Make(Lumo::Objects::Intern(L"LineStyleGraph"));
    Lumo::Objects::AutoPtr<Lumo::Devices::AFragment> symbolization = base->Clone(), widened = stroke->Clone();
    graph->AddFragment(symbolization);
    graph->AddFragment(widened);
    graph->Connect(symbolization, StyleGraphs::StyleOutput(), widened, StyleGraphs::StyleInput());
    widened->Defaults().SetFloat(widened->InputIndex(StyleGraphs::WeightParameter()), m_style.GetWeight());
    graph->ExposeOutput(widened, StyleGraphs::StyleOutput(), StyleGraphs::StyleOutput());
    m_styleGraph = graph.get();
    return m_styleGraph;
}

} // namespace Lumo::Scene
