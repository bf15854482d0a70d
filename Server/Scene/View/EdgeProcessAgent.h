#pragma once
#include <Scene/View/DeferringAgent.h>

namespace Lumo::Devices {
class SolidEffectInstance;
}

namespace Brio::Scene {

/// Draws body edges crisp over their faces: edge items get an unlit "Stock_Solid" in the
/// edge colour with a depth test of their own and are lifted a little towards the viewer
/// (the faces pass pushes faces back), so edges never fight with faces. In the faces pass
/// ("InFacesPass2") edges are drawn at once when "DrawEdgeInFacesPass" is on and deferred to
/// the end of the pass otherwise; in the edges pass everything but edges is held out.
class EdgeProcessAgent : public DeferringAgent {
    LUMO_DECLARE_CLASS()
public:
    static EdgeProcessAgent* Make() { return new EdgeProcessAgent; }
    AAgent* Clone() const override { return new EdgeProcessAgent; }
    bool BeginPass(Lumo::Devices::ADrawContext& dc) override;
    int Process(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state) override;
    bool WantsItems() const override { return true; }
    ~EdgeProcessAgent() override;

protected:
    EdgeProcessAgent();

private:
    Lumo::Objects::AutoPtr<Lumo::Devices::SolidEffectInstance> m_effect;
    bool m_inFacesPass2 = true, m_drawInFacesPass = true;
};

} // namespace Brio::Scene
