#pragma once

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

    /// The process-wide set the walk uses.
    static NodeCallbacks& Installed();
};

} // namespace Lumo::Graphics
