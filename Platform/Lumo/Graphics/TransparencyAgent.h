#pragma once
#include <Lumo/Graphics/AAgent.h>

namespace Lumo::Graphics {

/// Takes states with transparent items out of the pass into the renderer's "TransparencyList", to be drawn sorted
/// afterwards.
class TransparencyAgent : public AAgent {
    LUMO_DECLARE_CLASS()
public:
    static TransparencyAgent* Make() { return new TransparencyAgent; }
    AAgent* Clone() const override { return new TransparencyAgent; }
    int Process(Lumo::Devices::ADrawContext& dc, TraversalState& state) override;
    bool WantsItems() const override { return true; }

protected:
    TransparencyAgent() = default;
};

} // namespace Lumo::Graphics
