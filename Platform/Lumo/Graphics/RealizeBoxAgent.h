#pragma once
#include <Lumo/Graphics/AAgent.h>

namespace Lumo::Graphics {

/// Gives a state without a box the world box of its node, so that culling and levels of detail have one.
class RealizeBoxAgent : public AAgent {
    LUMO_DECLARE_CLASS()
public:
    static RealizeBoxAgent* Make() { return new RealizeBoxAgent; }
    AAgent* Clone() const override { return new RealizeBoxAgent; }
    int Process(Lumo::Devices::ADrawContext& dc, TraversalState& state) override;

protected:
    RealizeBoxAgent() = default;
};

} // namespace Lumo::Graphics
