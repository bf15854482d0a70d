#pragma once

namespace Lumo::Devices {
class ADrawContext;
}
namespace Lumo::Graphics {
class ARenderNode;
class TraversalState;
} // namespace Lumo::Graphics

namespace Lumo::Scene {

class TraversalState;

/// The scene's hooks into the graph walk: each node's attribute set is merged into the scene
/// traversal state (shared targets through their reference nodes), nodes are placed and boxed,
/// and leaves turn the accumulated attributes into render items.
class SceneWalk {
public:
    /// Installs the hooks as the walk's callbacks (and the LOD, text and primitive hooks).
    static void Install();
    static void Uninstall();

    /// The scene state of a walk's node, attached (fresh) on first use.
    static TraversalState* State(Lumo::Graphics::TraversalState& graphicsState);

    static void RealizeAttributes(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& graphicsState,
                                  Lumo::Graphics::ARenderNode* node);
    static int RealizeWorldBox(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& graphicsState,
                               Lumo::Graphics::ARenderNode* node);
    static void ApplyAttributes(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& graphicsState,
                                Lumo::Graphics::ARenderNode* node);
    static int PreRealizePrimitive(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& graphicsState,
                                   Lumo::Graphics::ARenderNode* node);
    /// At the end of a walk: effect variants nobody draws with any more are let go.
    static void EndWalk(Lumo::Devices::ADrawContext& dc);
};

} // namespace Lumo::Scene
