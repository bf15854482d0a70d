#pragma once
#include <Lumo/Graphics/AAgent.h>
#include <Lumo/Objects/AutoPtr.h>

#include <atomic>

namespace Lumo::Graphics {
class TraversalStateList;
}

namespace Brio::Scene {

/// An agent with a deferred list: states it holds back are copied into the list during the
/// walk and handed out again by GetDeferred, possibly to several drawing threads at once
/// (the next index is taken atomically). Begin and end of a pass empty the list.
class DeferringAgent : public Lumo::Graphics::AAgent {
    LUMO_DECLARE_CLASS()
public:
    ~DeferringAgent() override;
    bool BeginPass(Lumo::Devices::ADrawContext& dc) override;
    void EndPass(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::AWorld* world) override;
    Lumo::Graphics::TraversalState* GetDeferred(Lumo::Devices::ADrawContext& dc) override;
    int DeferredCount() const;

protected:
    DeferringAgent();
    /// Copies the state into the list; answers eAgentRemove.
    int Defer(const Lumo::Graphics::TraversalState& state);

private:
    Lumo::Objects::AutoPtr<Lumo::Graphics::TraversalStateList> m_list;
    std::atomic<int> m_next{0};
};

} // namespace Brio::Scene
