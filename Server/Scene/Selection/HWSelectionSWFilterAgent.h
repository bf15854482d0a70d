#pragma once
#include <Lumo/Devices/SelectionContext.h>
#include <Lumo/Graphics/AAgent.h>
#include <Lumo/Graphics/SWPickAgent.h>
#include <Lumo/Objects/AutoPtr.h>

namespace Lumo::Devices {
class SelectionContext;
}
namespace Brio::Scene {

/// Stands behind the hardware pick agent when a window rectangle is picked in hardware: the
/// hardware sees what is visible in the rectangle, this agent keeps only the leaves whose
/// geometry lies wholly inside it. Disarmed, it lets everything through.
class HWSelectionSWFilterAgent : public Lumo::Graphics::AAgent {
    LUMO_DECLARE_CLASS()
public:
    static HWSelectionSWFilterAgent* Make() { return new HWSelectionSWFilterAgent; }
    AAgent* Clone() const override { return new HWSelectionSWFilterAgent; }
    bool WantsItems() const override { return true; }
    bool BeginPass(Lumo::Devices::ADrawContext& dc) override;
    int Process(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state) override;

    /// Filters for the context from now on (null: refuses everything while armed).
    void arm(Lumo::Devices::SelectionContext* context);
    void disarm();
    bool armed() const { return m_armed; }

protected:
    HWSelectionSWFilterAgent() = default;

private:
    Lumo::Objects::AutoPtr<Lumo::Devices::SelectionContext> m_context;
    Lumo::Objects::AutoPtr<Lumo::Graphics::PickSetup> m_pick;
    bool m_armed = false;
};

} // namespace Brio::Scene
