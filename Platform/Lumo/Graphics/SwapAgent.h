#pragma once
#include <Lumo/Graphics/AAgent.h>

namespace Lumo::Graphics {

/// Swaps the pass's effect in: with a "SwapEffect" parameter on the renderer, every item is drawn with that effect
/// instance (depth-only and id passes).
class SwapAgent : public AAgent {
    LUMO_DECLARE_CLASS()
public:
    static SwapAgent* Make() { return new SwapAgent; }
    AAgent* Clone() const override { return new SwapAgent; }
    bool BeginPass(Lumo::Devices::ADrawContext& dc) override;
    void EndPass(Lumo::Devices::ADrawContext& dc, AWorld* world) override;
    static Lumo::Objects::UString* SwapEffectName(); ///< "SwapEffect"
    int Process(Lumo::Devices::ADrawContext& dc, TraversalState& state) override;

protected:
    SwapAgent() = default;

private:
    bool m_active = false;
};

} // namespace Lumo::Graphics
