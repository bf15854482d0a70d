#pragma once
#include <Scene/View/DeferringAgent.h>

namespace Brio::Scene {

/// Applies the visual style to what is drawn (cosmetic threads, style edges). The style geometry comes with a later
/// change: until then states go on as they are.
class VisualStyleAgent : public DeferringAgent {
    LUMO_DECLARE_CLASS()
public:
    static VisualStyleAgent* Make() { return new VisualStyleAgent; }
    AAgent* Clone() const override { return new VisualStyleAgent; }
    int Process(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state) override;

protected:
    VisualStyleAgent();
};

} // namespace Brio::Scene
