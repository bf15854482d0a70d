#pragma once
#include <Lumo/Devices/SelectionRegion.h>
#include <Lumo/Graphics/AAgent.h>
#include <Lumo/Graphics/IIntersection.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/Mat4.h>

namespace Lumo::Devices {
class SelectionContext;
class SimpleMesh;
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
    double rect[4] = {0, 0, 0, 0};   ///< a rectangle pick's bounds in device coordinates
    double windowW = 0, windowH = 0; ///< the region's window in pixels
    int selectionType = 3;           ///< 1 window, 3 crossing
    bool crossing = true, cullBack = false;
    /// Only the nearest hit is wanted: later items are searched no deeper than the nearest
    /// facet found so far (a little deeper, so an edge on that facet still wins a tie).
    bool nearestOnly = false;
    double nearestT = 1.0;
    Lumo::Objects::AutoPtr<IntersectionList> out;
    Lumo::Objects::AutoPtr<Lumo::Devices::ISelectionRegion2D> region;
    int selectionLevel = 16;

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
    /// The walk's render nodes down to the state's own, root first.
    static std::vector<Lumo::Objects::AutoPtr<ARenderNode>> PathOf(const TraversalState& state);
    /// A rectangle's hit on a whole item: at the centre of its mesh's box, facet -1.
    static Lumo::Objects::AutoPtr<IIntersection> WholeItemHit(const PickSetup& setup, ARenderNode* node,
                                                              Lumo::Devices::SimpleMesh* mesh,
                                                              const Lumo::Objects::mat4<double>& world);

protected:
    SWPickAgent() = default;

private:
    Lumo::Objects::AutoPtr<PickSetup> m_setup;
};

} // namespace Lumo::Graphics
