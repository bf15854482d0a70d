#pragma once
/// Forward declarations of the render-graph library.
namespace Lumo::Graphics {
class ANodeEntity;
class ARenderNode;
class BaseGroupNode;
class GroupNode;
} // namespace Lumo::Graphics
