#pragma once
#include <Lumo/Graphics/TraversalState.h>
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/ClassMacros.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Lumo::Devices {
class ADrawContext;
}

namespace Lumo::Graphics {

class AAgent;
class ARenderNode;
class GraphWalker;
class PixelBasedLODStrategy;
class TraversalStateList;

/// Counts of the last Render.
struct SPipeStats {
    std::uint64_t nodes = 0, leaves = 0, pruned = 0, items = 0, deferred = 0;
    double walkMs = 0, drawMs = 0;
};

/// The renderer fragment scripts make ("ScriptPipeRenderer"): walks a graph and hands each
/// traversal state to its agent list. Agents come from the class factory by name; parameters
/// are objects by name ("LOD Strategy", "TransparencyList") and booleans, which also reach
/// every agent with an input of that name. The walk's states and item list are kept between
/// renders, so a steady frame reuses them.
class ScriptPipeRenderer : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    static ScriptPipeRenderer* Make();
    ~ScriptPipeRenderer() override;

    /// Replaces the agents by new ones of the comma-separated class names (a name starting
    /// with "::" stands for a defined list); an unknown name is skipped and makes the answer
    /// false.
    bool SetAgents(const wchar_t* names);
    void AddAgent(AAgent* agent);
    /// Puts the agent at index (clamped to the list), the ones from there on moving back.
    void InsertAgent(int index, AAgent* agent);
    /// Puts the agent in the place of the one at index; false when there is none.
    bool ReplaceAgent(int index, AAgent* agent);
    /// The index of the first agent of that class name, or -1.
    int AgentIndex(Lumo::Objects::UString* className) const;
    int AgentCount() const { return int(m_agents.size()); }
    AAgent* Agent(int index) const;
    /// The first agent of that class name, or null.
    AAgent* FindAgent(Lumo::Objects::UString* className) const;

    void SetParameter(Lumo::Objects::UString* name, Lumo::Objects::ARefCounted* value);
    Lumo::Objects::ARefCounted* Parameter(Lumo::Objects::UString* name) const;
    void SetParameter(Lumo::Objects::UString* name, bool value);
    bool BoolParameter(Lumo::Objects::UString* name, bool fallback = false) const;

    /// The "LOD Strategy" parameter, or null.
    PixelBasedLODStrategy* LODStrategy() const;
    /// The "TransparencyList" parameter, or null.
    TraversalStateList* TransparencyList() const;

    /// A client state every walk starts with at its root (held by reference).
    void AddClientState(Lumo::Objects::UString* name, ClientTraversalState* state);

    /// Runs one pass over the graph below root: begin pass, walk, deferred states through the
    /// agents after the one that deferred them, end pass.
    void Render(Lumo::Devices::ADrawContext& dc, ARenderNode* root);
    /// Hands one state (a copy, with its items) to the agents from index first on.
    int ProcessState(Lumo::Devices::ADrawContext& dc, TraversalState& state, int first = 0);

    const SPipeStats& Stats() const { return m_stats; }
    /// Names every stock agent of the graphics system with the class factory (done by Make).
    static void RegisterStockAgents();
    /// Defines (or redefines) a named agent list such as "::StdDrawAgents".
    static void DefineAgentList(const wchar_t* name, const wchar_t* agents);
    /// The agents of a named list; empty when there is none.
    static std::wstring AgentList(const wchar_t* name);
    static Lumo::Objects::UString* LODStrategyName();
    static Lumo::Objects::UString* TransparencyListName();

    class Visitor;

protected:
    ScriptPipeRenderer();

private:
    std::vector<Lumo::Objects::AutoPtr<AAgent>> m_agents;
    std::vector<std::pair<Lumo::Objects::UString*, Lumo::Objects::AutoPtr<Lumo::Objects::ARefCounted>>> m_objects;
    std::vector<std::pair<Lumo::Objects::UString*, bool>> m_bools;
    std::unique_ptr<Visitor> m_visitor;
    std::unique_ptr<GraphWalker> m_walker;
    Lumo::Devices::ADrawContext* m_walkerDc = nullptr;
    std::vector<std::pair<Lumo::Objects::UString*, Lumo::Objects::AutoPtr<ClientTraversalState>>> m_seeds;
    RenderItemList m_items;
    SPipeStats m_stats;
};

} // namespace Lumo::Graphics
