#pragma once
#include <Lumo/Graphics/AAgent.h>

namespace Brio::Scene {

/// Clips states by the slice planes of their attributes. The slicing itself comes with a later change: until then every
/// state goes on unclipped.
class SliceAgent : public Lumo::Graphics::AAgent {
    LUMO_DECLARE_CLASS()
public:
    static SliceAgent* Make() { return new SliceAgent; }
    AAgent* Clone() const override { return new SliceAgent; }
    int Process(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state) override;

protected:
    SliceAgent();
};

} // namespace Brio::Scene
