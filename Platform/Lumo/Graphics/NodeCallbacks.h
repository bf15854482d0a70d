#pragma once
#include <Lumo/Objects/Mat4.h>
#include <Lumo/Objects/SBox3.h>

namespace Lumo::Devices {
class ADrawContext;
}

namespace Lumo::Graphics {

class ARenderNode;
class TraversalState;
class WorldIterator;

/// World-box answers of the box callback.
enum EWorldBoxStatus : int {
    eBoxNone = 0,         ///< the node takes no part in boxing
    eBoxFromChildren = 1, ///< box the node from what lies below it
    eBoxKnown = 2,        ///< the callback set the traversal state's current box
};

/// The hooks a client library installs into the walk. Null hooks are skipped.
struct NodeCallbacks {
    /// Entering any node: merge the node's attributes into the client state.
    void (*realizeAttributes)(Lumo::Devices::ADrawContext&, TraversalState&, ARenderNode*) = nullptr;
    /// Entering any node: place it (world matrix) and box it.
    int (*realizeWorldBox)(Lumo::Devices::ADrawContext&, TraversalState&, ARenderNode*) = nullptr;
    /// At a leaf, before drawing: make sure its geometry exists (run by ARenderNode::RealizeNode;
    /// node kinds with a callback of their own run that instead).
    void (*realize)(Lumo::Devices::ADrawContext&, TraversalState&, WorldIterator*, ARenderNode*) = nullptr;
    /// At a leaf: turn the accumulated attributes into render items.
    void (*applyAttributes)(Lumo::Devices::ADrawContext&, TraversalState&, ARenderNode*) = nullptr;
    /// At a primitive node, before its primitive is tessellated; answers the primitive state.
    int (*preRealizePrimitive)(Lumo::Devices::ADrawContext&, TraversalState&, ARenderNode*) = nullptr;
    /// Around a whole walk (also when a callback throws): what must not happen while a graph
    /// is being walked, such as delivering events that could edit it, waits for the end.
    void (*beginWalk)(Lumo::Devices::ADrawContext&) = nullptr;
    void (*endWalk)(Lumo::Devices::ADrawContext&) = nullptr;
    /// A subtree's box in its parent's coordinates, empty when it cannot be known without a
    /// view (billboards, pixel scale, absolute placement). Lets a walk skip, among many
    /// siblings, those wholly outside its frustum without entering each.
    Lumo::Objects::SBox3 (*childBox)(ARenderNode*) = nullptr;
    /// The node's own placement in its parent: 0 none, 1 relative (given in out, row vectors),
    /// 2 anything else (absolute, view dependent). Lets the walk look past a group that only
    /// holds many placements.
    int (*placement)(ARenderNode*, Lumo::Objects::mat4<double>& out) = nullptr;

    /// The process-wide set the walk uses.
    static NodeCallbacks& Installed();
};

} // namespace Lumo::Graphics
