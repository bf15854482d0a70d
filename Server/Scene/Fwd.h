#pragma once
/// Forward declarations of the scene library.
namespace Lumo::Scene {
class Attribute;
class CompositeAttribute;
class AttributeSet;
class TypeSpecificAttributeSet;
class AttributeSetEx;
class SimpleAttributeSet;
class AttributeSetListEx;
class ANodeData;
class VisibilityAttribute;
class DepthPriorityAttribute;
class OpacityAttribute;
class TransformAttribute;
} // namespace Lumo::Scene
