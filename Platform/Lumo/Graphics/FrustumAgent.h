#pragma once
#include <Lumo/Graphics/AAgent.h>
#include <Lumo/Objects/Mat4.h>
#include <Lumo/Objects/SBox3.h>

namespace Lumo::Graphics {

/// Culls whole subgraphs whose world boxes lie outside the view frustum.
class FrustumAgent : public AAgent {
    LUMO_DECLARE_CLASS()
public:
    static FrustumAgent* Make() { return new FrustumAgent; }
    AAgent* Clone() const override { return new FrustumAgent; }
    bool BeginPass(Lumo::Devices::ADrawContext& dc) override;
    /// True when the world box lies wholly outside one side of the frustum of viewProj.
    static bool Outside(const Lumo::Objects::SBox3& box, const Lumo::Objects::mat4<float>& viewProj);
    static bool Outside(const Lumo::Objects::SBox3& box, const Lumo::Objects::mat4<double>& viewProj);
    int Process(Lumo::Devices::ADrawContext& dc, TraversalState& state) override;
    /// The pass's view-projection, as the walk may cull with it before entering nodes.
    const Lumo::Objects::mat4<double>& ViewProj() const { return m_viewProjD; }

protected:
    FrustumAgent() = default;

private:
    Lumo::Objects::mat4<double> m_viewProjD;
};

} // namespace Lumo::Graphics
