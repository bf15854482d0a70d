#pragma once
#include <Lumo/Devices/SelectionContext.h>
#include <Lumo/Graphics/SWPickAgent.h>
#include <Lumo/Objects/SBox3.h>

namespace Brio::Scene {

/// The selector's software pick agent: refuses leaves the graphics system may not pick, takes
/// a leaf that lies wholly inside a window rectangle without testing its geometry, and stops
/// the walk once a context that wants the first hit has one. The context and the list come
/// from the inputs "Selection Context" and "Intersection List".
class TavexSWPickAgent : public Lumo::Graphics::SWPickAgent {
    LUMO_DECLARE_CLASS()
public:
    static TavexSWPickAgent* Make() { return new TavexSWPickAgent; }
    AAgent* Clone() const override { return new TavexSWPickAgent; }
    bool BeginPass(Lumo::Devices::ADrawContext& dc) override;
    int Process(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state) override;

    Lumo::Devices::SelectionContext* Context() const { return m_context.get(); }
    Lumo::Graphics::IntersectionList* Intersections() const { return m_list.get(); }

    /// Whether the world box lies wholly inside the device rectangle (x0, y0, x1, y1) under
    /// viewProj, all of it in front of the eye.
    static bool BoxInside(const Lumo::Objects::SBox3& box, const Lumo::Objects::mat4<double>& viewProj,
                          const double rect[4]);

protected:
    TavexSWPickAgent() = default;

private:
    Lumo::Objects::AutoPtr<Lumo::Devices::SelectionContext> m_context;
    Lumo::Objects::AutoPtr<Lumo::Graphics::IntersectionList> m_list;
    Lumo::Objects::AutoPtr<Lumo::Graphics::PickSetup> m_pick;
};

} // namespace Brio::Scene
