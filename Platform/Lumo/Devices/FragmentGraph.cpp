#include <Lumo/Devices/FragmentGraph.h>

namespace Lumo::Devices {

LUMO_DEFINE_CLASS(FragmentGraph, AFragment)

FragmentGraph::FragmentGraph(Lumo::Objects::UString* name) : AFragment(name) {}
FragmentGraph::~FragmentGraph() = default;

FragmentGraph* FragmentGraph::Make(Lumo::Objects::UString* name) {
    return new FragmentGraph(name);
}

int FragmentGraph::AddFragment(AFragment* fragment) {
    if (!fragment)
        return -1;
    m_members.emplace_back(fragment);
    MarkChanged();
    return static_cast<int>(m_members.size()) - 1;
}

AFragment* FragmentGraph::Fragment(int index) const {
    return index >= 0 && index < FragmentCount() ? m_members[std::size_t(index)].get() : nullptr;
}

int FragmentGraph::IndexOf(const AFragment* fragment) const {
    for (std::size_t i = 0; i < m_members.size(); ++i)
        if (m_members[i].get() == fragment)
            return static_cast<int>(i);
    return -1;
}

bool FragmentGraph::Reaches(int from, int to) const {
    if (from == to)
        return true;
    std::vector<int> stack{from};
    std::vector<bool> seen(m_members.size(), false);
    while (!stack.empty()) {
        int at = stack.back();
        stack.pop_back();
        if (at == to)
            return true;
        if (seen[std::size_t(at)])
            continue;
        seen[std::size_t(at)] = true;
        for (const Connection& c : m_connections)
            if (c.from == at)
                stack.push_back(c.to);
    }
    return false;
}

bool FragmentGraph::Connect(AFragment* from, Lumo::Objects::UString* output, AFragment* to,
                            Lumo::Objects::UString* input) {
    int f = IndexOf(from), t = IndexOf(to);
    if (f < 0 || t < 0)
        return false;
    int o = from->OutputIndex(output), i = to->InputIndex(input);
    if (o < 0 || i < 0 || Feeding(t, i).from >= 0)
        return false;
    EParameterType outType = from->Outputs()[std::size_t(o)].type, inType = to->Inputs()[std::size_t(i)].type;
    if (outType != inType || Reaches(t, f))
        return false;
    m_connections.push_back({f, o, t, i});
    MarkChanged();
    return true;
}

FragmentGraph::Connection FragmentGraph::Feeding(int member, int input) const {
    for (const Connection& c : m_connections)
        if (c.to == member && c.input == input)
            return c;
    return {-1, -1, member, input};
}

bool FragmentGraph::ExposeInput(AFragment* member, Lumo::Objects::UString* input, Lumo::Objects::UString* argName) {
    int m = IndexOf(member);
    int i = m >= 0 ? member->InputIndex(input) : -1;
    if (i < 0 || InputIndex(argName) >= 0)
        return false;
    EParameterType type = member->Inputs()[std::size_t(i)].type;
    int index = AddInput(argName, type);
    if (int(m_arguments.size()) <= index)
        m_arguments.resize(std::size_t(index) + 1, {-1, -1});
    m_arguments[std::size_t(index)] = {m, i};
    return true;
}

bool FragmentGraph::ExposeOutput(AFragment* member, Lumo::Objects::UString* output, Lumo::Objects::UString* outName) {
    int m = IndexOf(member);
    int o = m >= 0 ? member->OutputIndex(output) : -1;
    if (o < 0 || OutputIndex(outName) >= 0)
        return false;
    int index = AddOutput(outName, member->Outputs()[std::size_t(o)].type);
    if (int(m_results.size()) <= index)
        m_results.resize(std::size_t(index) + 1, {-1, -1});
    m_results[std::size_t(index)] = {m, o};
    return true;
}

FragmentGraph::Argument FragmentGraph::ArgumentTarget(const Lumo::Objects::UString* argName) const {
    int index = InputIndex(argName);
    return index >= 0 && index < int(m_arguments.size()) ? m_arguments[std::size_t(index)] : Argument{-1, -1};
}

AFragment* FragmentGraph::Clone() const {
    auto* copy = new FragmentGraph(Name());
    copy->RequiredFeatureLevel(RequiredFeatureLevel());
    for (const auto& m : m_members) {
        Lumo::Objects::AutoPtr<AFragment> c = m->Clone();
        copy->AddFragment(c);
    }
    copy->m_connections = m_connections;
    for (std::size_t i = 0; i < Inputs().size(); ++i)
        copy->AddInput(Inputs()[i].name, Inputs()[i].type);
    for (std::size_t i = 0; i < Outputs().size(); ++i)
        copy->AddOutput(Outputs()[i].name, Outputs()[i].type);
    copy->Defaults() = Defaults();
    for (auto& [n, v] : Arguments())
        copy->SetArgument(n, v);
    copy->Description(Description());
    copy->Category(Category());
    copy->m_arguments = m_arguments;
    copy->m_results = m_results;
    return copy;
}

} // namespace Lumo::Devices
