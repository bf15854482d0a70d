#pragma once
#include <Scene/View/DeferringAgent.h>

namespace Brio::Scene {

/// Draws caps where slice planes cut solids (input "DoCapping"). The caps come with a later change: until then the
/// agent only keeps its deferred list empty.
class SliceCapAgent : public DeferringAgent {
    LUMO_DECLARE_CLASS()
public:
    static SliceCapAgent* Make() { return new SliceCapAgent; }
    AAgent* Clone() const override { return new SliceCapAgent; }
    int Process(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state) override;

protected:
    SliceCapAgent();
};

} // namespace Brio::Scene
