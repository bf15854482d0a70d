#pragma once
#include <Lumo/Graphics/AAgent.h>

namespace Brio::Scene {

/// Takes out states that are not visible (with what lies below them), except reference twigs
/// whose spatial node is a group: their instances decide for themselves.
class VisibilityAgent : public Lumo::Graphics::AAgent {
    LUMO_DECLARE_CLASS()
public:
    static VisibilityAgent* Make() { return new VisibilityAgent; }
    AAgent* Clone() const override { return new VisibilityAgent; }
    int Process(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state) override;

protected:
    VisibilityAgent() = default;
};

} // namespace Brio::Scene
