#pragma once
#include <Scene/View/DeferringAgent.h>

namespace Brio::Scene {

/// Defers body faces when drawing runs on several threads (the host's multi-thread option is
/// on and the device supports it), so that drawing threads can take them from the list.
class FacetOrderAgent : public DeferringAgent {
    LUMO_DECLARE_CLASS()
public:
    static FacetOrderAgent* Make() { return new FacetOrderAgent; }
    AAgent* Clone() const override { return new FacetOrderAgent; }
    int Process(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state) override;
    bool WantsItems() const override { return true; }

protected:
    FacetOrderAgent() = default;
};

} // namespace Brio::Scene
