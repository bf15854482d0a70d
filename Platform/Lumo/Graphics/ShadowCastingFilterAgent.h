#pragma once
#include <Lumo/Graphics/AAgent.h>

namespace Lumo::Graphics {

/// Keeps out of shadow passes what casts no shadow: nodes flagged so, and fully transparent states.
class ShadowCastingFilterAgent : public AAgent {
    LUMO_DECLARE_CLASS()
public:
    static ShadowCastingFilterAgent* Make() { return new ShadowCastingFilterAgent; }
    AAgent* Clone() const override { return new ShadowCastingFilterAgent; }
    int Process(Lumo::Devices::ADrawContext& dc, TraversalState& state) override;
    bool WantsItems() const override { return true; }

protected:
    ShadowCastingFilterAgent() = default;
};

} // namespace Lumo::Graphics
