#pragma once
#include <Lumo/Graphics/AAgent.h>
#include <Lumo/Graphics/IIntersection.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/Mat4.h>

namespace Lumo::Devices {
class ISelectionRegion2D;
class SelectionContext;
} // namespace Lumo::Devices

namespace Lumo::Graphics {

/// What one pick looks for, handed by the selection stage to its pick agent.
class PickSetup : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    static PickSetup* Make() { return new PickSetup; }
    Lumo::Objects::mat4<double> viewProj, inverseViewProj; ///< the camera's, not narrowed to the region
    bool point = true;
    double x = 0, y = 0;   ///< the pick point in device coordinates
    double toleranceX = 0; ///< the tolerance in device units along x
    /// A point pick's world segment under the point, near (t = 0) to far (t = 1), and the radius
    /// of the tolerance's cone at each end: the same for every item, so made once per pick.
    Lumo::Objects::vec3<double> nearW, farW;
    double nearRadius = 0, farRadius = 0;
    double rect[4] = {0, 0, 0, 0}; ///< a rectangle pick's bounds in device coordinates
    bool crossing = true, cullBack = false;
    Lumo::Objects::AutoPtr<IntersectionList> out;

protected:
    PickSetup() = default;
};

/// Tests the render items of each leaf against the pick, through the hierarchy of each item's
/// mesh (shared by every instance: the ray goes into the item's own space): the nearest facet
/// under a point, segments and points within its tolerance, or whether a rectangle holds
/// (window) or touches (crossing) the mesh. Each hit joins the stage's intersection list with
/// the walk's path to it.
class SWPickAgent : public AAgent {
    LUMO_DECLARE_CLASS()
public:
    static SWPickAgent* Make() { return new SWPickAgent; }
    AAgent* Clone() const override { return new SWPickAgent; }
    bool BeginPass(Lumo::Devices::ADrawContext& dc) override;
    int Process(Lumo::Devices::ADrawContext& dc, TraversalState& state) override;
    bool WantsItems() const override { return true; }
    /// The renderer parameter the stage hands the pick in.
    static Lumo::Objects::UString* SetupName();

protected:
    SWPickAgent() = default;

private:
    Lumo::Objects::AutoPtr<PickSetup> m_setup;
};

} // namespace Lumo::Graphics
