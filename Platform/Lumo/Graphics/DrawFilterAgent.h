#pragma once
#include <Lumo/Graphics/AAgent.h>

namespace Lumo::Graphics {

/// Skips nodes flagged not to be drawn, with everything below them.
class DrawFilterAgent : public AAgent {
    LUMO_DECLARE_CLASS()
public:
    static DrawFilterAgent* Make() { return new DrawFilterAgent; }
    AAgent* Clone() const override { return new DrawFilterAgent; }
    int Process(Lumo::Devices::ADrawContext& dc, TraversalState& state) override;

protected:
    DrawFilterAgent() = default;
};

} // namespace Lumo::Graphics
