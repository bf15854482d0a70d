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
class TraversalState;
class ANodeData;
class ReferenceNodeData;
class ReferenceNotifier;
class LODGeometryNode;
class VisibilityAttribute;
class DepthPriorityAttribute;
class OpacityAttribute;
class TransformAttribute;
class SelectionQualifier;
class SelectabilityAttribute;
class LineStyle;
class LineStyleAttribute;
class BillBoardAttribute;
class PixelScaleAttribute;
class CullModeAttribute;
class ObjectIDAttribute;
class SliceCapAttribute;
class MultipleSliceNoCapAttribute;
class ColorHintAttribute;
struct ThreadData;
class ThreadAttribute;
class GroupAttribute;
class TransparentLayerAttribute;
class OrderInTransparentGroupAttribute;
class DecalGeometryAttribute;
class EffectAttribute;
class ColorEffectAttribute;
class VertexColorEffectAttribute;
class MaterialEffectAttribute;
class TextureEffectAttribute;
class OccludedEffectAttribute;
class AmbraEffectAttribute;
class PrioritizedAmbraAttribute;
class WireframeMaterialEffectAttribute;
class GenericEffectAttribute;
class TwoSidedFaceEffectAttribute;
class SingleSidedFaceEffectAttribute;
class VisualAnalysisAttribute;
class ZebraAnalysisAttribute;
class DraftAnalysisAttribute;
class CurvatureMapAttribute;
class BasicColorMaterial;
class EffectInstanceCache;
class AmbraTranslator;
class TextNode;
class ImageNode;
class SceneWalk;
class AlphaImageSelectionQualifier;
} // namespace Lumo::Scene

/// Forward declarations of the host-facing scene classes.
namespace Brio::Scene {
class CircleGeometry;
class Geometry;
class GeometryAttachment;
class LumoSerializer;
class LumoSerializerBase;
class MeshAction;
class MeshGeometry;
class SceneEntityMetaType;
class SphereGeometry;
class ViewFragment;
class NodePath;
class NodeData;
class ObjectManager;
class INodeSource;
} // namespace Brio::Scene
