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
    /// The six sides of a clip volume (-w <= x, y <= w, 0 <= z <= w) as planes in the space
    /// the matrix maps from: a box is outside when its corner farthest inside one plane is
    /// still behind it, the same answer as testing its eight corners in clip space.
    struct Planes {
        double p[6][4];
        explicit Planes(const Lumo::Objects::mat4<double>& m);
        bool Outside(const Lumo::Objects::SBox3& box) const;
    };
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
    Planes m_planes{Lumo::Objects::mat4<double>()};
};

} // namespace Lumo::Graphics
