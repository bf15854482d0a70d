#pragma once
/// Forward declarations of the render-graph library.
namespace Lumo::Graphics {
class ANodeEntity;
class ARenderNode;
class BaseGroupNode;
class ClientTraversalState;
class GroupNode;
} // namespace Lumo::Graphics
