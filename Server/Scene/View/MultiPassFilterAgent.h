#pragma once
#include <Lumo/Graphics/AAgent.h>

namespace Brio::Scene {

/// Keeps faces, edges and analysis geometry in the passes meant for them: in the faces pass
/// ("InFacesPass1") edges are held out and analysis faces get their finer levels of detail;
/// in the edges pass ("FilterFaces") faces are held out.
class MultiPassFilterAgent : public Lumo::Graphics::AAgent {
    LUMO_DECLARE_CLASS()
public:
    static MultiPassFilterAgent* Make() { return new MultiPassFilterAgent; }
    AAgent* Clone() const override { return new MultiPassFilterAgent; }
    bool BeginPass(Lumo::Devices::ADrawContext& dc) override;
    int Process(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state) override;

protected:
    MultiPassFilterAgent();

private:
    bool m_inFacesPass1 = true, m_filterFaces = true;
};

} // namespace Brio::Scene
