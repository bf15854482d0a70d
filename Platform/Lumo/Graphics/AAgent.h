#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassMacros.h>

#include <utility>
#include <vector>

namespace Lumo::Devices {
class ADrawContext;
}

namespace Lumo::Graphics {

class AWorld;
class ScriptPipeRenderer;
class TraversalState;

/// What an agent answers for a traversal state.
enum EAgentAction : int {
    eAgentContinue = 1, ///< go on with the state as it is
    eAgentRemove = 2,   ///< take the state out of this walk (not drawn now; it may be deferred)
    eAgentFilter = 4,   ///< a filter node, handled by the filter path
};

/// A step of a renderer's agent list: each state the walk visits is handed to the agents in
/// turn until one takes it out. Agents that work on render items (WantsItems) see leaves once
/// their items exist; the others see every node before it is descended, so answering
/// eAgentRemove there prunes the whole subgraph. Inputs are named booleans, true by default.
class AAgent : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    /// A new default agent of the same class (the class factory's prototypes are cloned).
    virtual AAgent* Clone() const = 0;

    virtual bool BeginPass(Lumo::Devices::ADrawContext& dc);
    virtual int Process(Lumo::Devices::ADrawContext& dc, TraversalState& state) = 0;
    virtual void EndPass(Lumo::Devices::ADrawContext& dc, AWorld* world);
    /// The next deferred state (a copy the caller owns until the next call), or null.
    virtual TraversalState* GetDeferred(Lumo::Devices::ADrawContext& dc);
    virtual bool WantsItems() const { return false; }

    /// The renderer running the agent (set while it runs a pass), for its shared parameters.
    ScriptPipeRenderer* Renderer() const { return m_renderer; }
    void Renderer(ScriptPipeRenderer* r) { m_renderer = r; }

    /// Named boolean inputs. Input answers the value, or fallback when the agent has no such
    /// input; SetInput changes only inputs the agent declared and answers whether it did.
    bool HasInput(Lumo::Objects::UString* name) const;
    bool Input(Lumo::Objects::UString* name, bool fallback = false) const;
    bool SetInput(Lumo::Objects::UString* name, bool value);

protected:
    AAgent() = default;
    /// Declares an input (true by default).
    void DeclareInput(Lumo::Objects::UString* name, bool value = true);

private:
    ScriptPipeRenderer* m_renderer = nullptr;
    std::vector<std::pair<Lumo::Objects::UString*, bool>> m_inputs;
};

} // namespace Lumo::Graphics
