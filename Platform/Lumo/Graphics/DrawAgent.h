#pragma once
#include <Lumo/Graphics/AAgent.h>

namespace Lumo::Graphics {

/// Hands the items of each state to the device's draw manager and flushes it when the pass ends.
class DrawAgent : public AAgent {
    LUMO_DECLARE_CLASS()
public:
    static DrawAgent* Make() { return new DrawAgent; }
    AAgent* Clone() const override { return new DrawAgent; }
    void EndPass(Lumo::Devices::ADrawContext& dc, AWorld* world) override;
    bool BeginPass(Lumo::Devices::ADrawContext& dc) override;
    /// Items handed on in the last pass.
    int ItemsDrawn() const { return m_drawn; }
    int Process(Lumo::Devices::ADrawContext& dc, TraversalState& state) override;
    bool WantsItems() const override { return true; }

protected:
    DrawAgent() = default;

private:
    int m_drawn = 0;
};

} // namespace Lumo::Graphics
