#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Graphics/AAgent.h>
#include <Lumo/Graphics/ClientTraversalState.h>
#include <Lumo/Graphics/FrustumAgent.h>
#include <Lumo/Graphics/GraphWalker.h>
#include <Lumo/Graphics/PixelBasedLODStrategy.h>
#include <Lumo/Graphics/ScriptPipeRenderer.h>
#include <Lumo/Graphics/StockAgents.h>
#include <Lumo/Graphics/TraversalStateList.h>
#include <Lumo/Objects/ClassFactory.h>
#include <Lumo/Objects/UString.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <string>

namespace Lumo::Graphics {

LUMO_DEFINE_CLASS(ScriptPipeRenderer, Lumo::Objects::ARefCounted)

using Lumo::Objects::UString;

/// Runs the agent list on what the walk visits: agents without items before a node is
/// descended (so they prune), item agents at leaves.
class ScriptPipeRenderer::Visitor : public IWalkVisitor {
public:
    explicit Visitor(ScriptPipeRenderer& r) : m_r(r) {}
    Lumo::Devices::ADrawContext* dc = nullptr;
    const Lumo::Objects::mat4<double>* cull = nullptr;
    const Lumo::Objects::mat4<double>* CullMatrix() const override { return cull; }

    bool Enter(TraversalState& state) override {
        for (auto& agent : m_r.m_agents) {
            if (agent->WantsItems())
                continue;
            if (agent->Process(*dc, state) == eAgentRemove)
                return false;
        }
        return true;
    }
    void Leaf(TraversalState& state) override {
        for (auto& agent : m_r.m_agents) {
            if (!agent->WantsItems())
                continue;
            if (agent->Process(*dc, state) == eAgentRemove)
                return;
        }
    }

private:
    ScriptPipeRenderer& m_r;
};

ScriptPipeRenderer::ScriptPipeRenderer() : m_visitor(std::make_unique<Visitor>(*this)) {}
ScriptPipeRenderer::~ScriptPipeRenderer() = default;

ScriptPipeRenderer* ScriptPipeRenderer::Make() {
    RegisterStockAgents();
    return new ScriptPipeRenderer;
}

UString* ScriptPipeRenderer::LODStrategyName() {
    static UString* name = Lumo::Objects::Intern(L"LOD Strategy");
    return name;
}
UString* ScriptPipeRenderer::TransparencyListName() {
    static UString* name = Lumo::Objects::Intern(L"TransparencyList");
    return name;
}

namespace {
struct AgentLists {
    std::mutex mutex;
    std::vector<std::pair<std::wstring, std::wstring>> lists{
        {L"::StdDrawAgents", L"DrawFilterAgent,RealizeBoxAgent,FrustumAgent,SwapAgent,TextureAgent,DrawAgent"},
        {L"::StdOpaqueAgents",
         L"DrawFilterAgent,RealizeBoxAgent,FrustumAgent,SwapAgent,TextureAgent,TransparencyAgent,DrawAgent"},
        {L"::StdShadowMapAgents", L"DrawFilterAgent,ShadowCastingFilterAgent,RealizeBoxAgent,FrustumAgent,DrawAgent"},
    };
};
AgentLists& Lists() {
    static AgentLists* lists = new AgentLists;
    return *lists;
}
} // namespace

void ScriptPipeRenderer::DefineAgentList(const wchar_t* name, const wchar_t* agents) {
    if (!name || !agents)
        return;
    AgentLists& l = Lists();
    std::lock_guard lock(l.mutex);
    for (auto& [n, a] : l.lists)
        if (n == name) {
            a = agents;
            return;
        }
    l.lists.emplace_back(name, agents);
}

std::wstring ScriptPipeRenderer::AgentList(const wchar_t* name) {
    AgentLists& l = Lists();
    std::lock_guard lock(l.mutex);
    for (auto& [n, a] : l.lists)
        if (name && n == name)
            return a;
    return {};
}

bool ScriptPipeRenderer::SetAgents(const wchar_t* names) {
    m_agents.clear();
    if (!names)
        return true;
    bool all = true;
    std::wstring text(names);
    if (text.rfind(L"::", 0) == 0) {
        std::wstring expanded = AgentList(text.c_str());
        if (expanded.empty())
            return false;
        text = expanded;
    }
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L',', start);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring name = text.substr(start, end - start);
        while (!name.empty() && name.front() == L' ')
            name.erase(name.begin());
        while (!name.empty() && name.back() == L' ')
            name.pop_back();
        if (!name.empty()) {
            Lumo::Objects::AutoPtr<Lumo::Objects::ARefCounted> made(
                Lumo::Objects::ClassFactory::Get().Create(Lumo::Objects::Intern(name.c_str())));
            auto* agent = made ? static_cast<AAgent*>(made->GetInterface(AAgent::StaticClassName())) : nullptr;
            if (agent)
                AddAgent(agent);
            else
                all = false;
        }
        start = end + 1;
    }
    return all;
}

void ScriptPipeRenderer::AddAgent(AAgent* agent) {
    if (!agent)
        return;
    for (auto& [name, value] : m_bools)
        agent->SetInput(name, value);
    m_agents.emplace_back(agent);
}

void ScriptPipeRenderer::InsertAgent(int index, AAgent* agent) {
    if (!agent)
        return;
    for (auto& [name, value] : m_bools)
        agent->SetInput(name, value);
    index = std::clamp(index, 0, AgentCount());
    m_agents.emplace(m_agents.begin() + index, agent);
}

bool ScriptPipeRenderer::ReplaceAgent(int index, AAgent* agent) {
    if (!agent || index < 0 || index >= AgentCount())
        return false;
    for (auto& [name, value] : m_bools)
        agent->SetInput(name, value);
    m_agents[size_t(index)] = agent;
    return true;
}

int ScriptPipeRenderer::AgentIndex(UString* className) const {
    for (int i = 0; i < AgentCount(); ++i)
        if (m_agents[size_t(i)]->ClassName() == className)
            return i;
    return -1;
}

AAgent* ScriptPipeRenderer::Agent(int index) const {
    return index >= 0 && index < AgentCount() ? m_agents[size_t(index)].get() : nullptr;
}

AAgent* ScriptPipeRenderer::FindAgent(UString* className) const {
    for (auto& a : m_agents)
        if (a->ClassName() == className)
            return a;
    return nullptr;
}

void ScriptPipeRenderer::SetParameter(UString* name, Lumo::Objects::ARefCounted* value) {
    for (auto& [n, v] : m_objects)
        if (n == name) {
            v = value;
            return;
        }
    m_objects.emplace_back(name, value);
}

Lumo::Objects::ARefCounted* ScriptPipeRenderer::Parameter(UString* name) const {
    for (auto& [n, v] : m_objects)
        if (n == name)
            return v;
    return nullptr;
}

void ScriptPipeRenderer::SetParameter(UString* name, bool value) {
    bool found = false;
    for (auto& [n, v] : m_bools)
        if (n == name) {
            v = value;
            found = true;
        }
    if (!found)
        m_bools.emplace_back(name, value);
    for (auto& a : m_agents)
        a->SetInput(name, value);
}

bool ScriptPipeRenderer::BoolParameter(UString* name, bool fallback) const {
    for (auto& [n, v] : m_bools)
        if (n == name)
            return v;
    return fallback;
}

PixelBasedLODStrategy* ScriptPipeRenderer::LODStrategy() const {
    Lumo::Objects::ARefCounted* p = Parameter(LODStrategyName());
    return p ? static_cast<PixelBasedLODStrategy*>(p->GetInterface(PixelBasedLODStrategy::StaticClassName())) : nullptr;
}

TraversalStateList* ScriptPipeRenderer::TransparencyList() const {
    Lumo::Objects::ARefCounted* p = Parameter(TransparencyListName());
    return p ? static_cast<TraversalStateList*>(p->GetInterface(TraversalStateList::StaticClassName())) : nullptr;
}

void ScriptPipeRenderer::AddClientState(UString* name, ClientTraversalState* state) {
    m_seeds.emplace_back(name, state);
    m_walker.reset();
}

int ScriptPipeRenderer::ProcessState(Lumo::Devices::ADrawContext& dc, TraversalState& state, int first) {
    for (int i = first; i < AgentCount(); ++i) {
        const int action = m_agents[size_t(i)]->Process(dc, state);
        if (action == eAgentRemove)
            return action;
    }
    return eAgentContinue;
}

void ScriptPipeRenderer::Render(Lumo::Devices::ADrawContext& dc, ARenderNode* root) {
    using Clock = std::chrono::steady_clock;
    const auto t0 = Clock::now();
    m_stats = {};
    if (!m_walker || m_walkerDc != &dc) {
        m_walker = std::make_unique<GraphWalker>(dc);
        m_walkerDc = &dc;
        for (auto& [name, state] : m_seeds)
            m_walker->AddClientState(name, state);
        m_walker->Visitor(m_visitor.get());
    }
    for (auto& a : m_agents) {
        a->Renderer(this);
        a->BeginPass(dc);
    }
    m_visitor->dc = &dc;
    // A frustum agent rejects whatever lies outside its frustum: the walk may then skip such
    // siblings of big groups without entering them.
    m_visitor->cull = nullptr;
    for (auto& a : m_agents)
        if (!a->WantsItems())
            if (auto* frustum = static_cast<FrustumAgent*>(a->GetInterface(FrustumAgent::StaticClassName()))) {
                m_visitor->cull = &frustum->ViewProj();
                break;
            }
    m_items.Truncate(0);
    m_walker->Walk(root, m_items);
    m_stats.nodes = m_walker->NodesVisited();
    m_stats.leaves = m_walker->LeavesVisited();
    m_stats.pruned = m_walker->NodesPruned();
    m_stats.items = std::uint64_t(m_items.Count());
    const auto t1 = Clock::now();
    // Deferred states go on through the agents after the one that held them back.
    for (int i = 0; i < AgentCount(); ++i) {
        while (TraversalState* s = m_agents[size_t(i)]->GetDeferred(dc)) {
            ++m_stats.deferred;
            ProcessState(dc, *s, i + 1);
        }
    }
    for (auto& a : m_agents) {
        a->EndPass(dc, nullptr);
        a->Renderer(nullptr);
    }
    m_items.Truncate(0);
    const auto t2 = Clock::now();
    m_stats.walkMs = std::chrono::duration<double, std::milli>(t1 - t0).count();
    m_stats.drawMs = std::chrono::duration<double, std::milli>(t2 - t1).count();
}

} // namespace Lumo::Graphics
