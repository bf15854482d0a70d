#pragma once
/// Factories and conveniences that make render nodes with node data and read or set
/// attributes on them.
#include <Lumo/Graphics/AWorld.h>
#include <Lumo/Objects/Mat4.h>
#include <Lumo/Objects/Vec.h>
#include <Scene/Attributes/BasicColorMaterial.h>
#include <Scene/Attributes/BillBoardAttribute.h>
#include <Scene/Attributes/EAttributeType.h>

#include <vector>

namespace Lumo::Graphics {
class ARenderNode;
class GroupNode;
class GeometryNode;
class APrimitiveNode;
struct CircleArc3d;
struct EllipseArc3d;
struct NurbsCurve3d;
struct PolyLine3d;
struct Torus3d;
struct Box3d;
struct Cone3d;
struct Sphere3d;
} // namespace Lumo::Graphics
namespace Lumo::Devices {
class TextureInstance;
class VertexFormat;
} // namespace Lumo::Devices

namespace Lumo::Scene {

class ANodeData;
class Attribute;
class LODGeometryNode;
class TextNode;
class ImageNode;
class AttributeSet;
class ReferenceNodeData;
class LineStyle;
class SelectionQualifier;
class DepthPriorityAttribute;
class LineStyleAttribute;
class OpacityAttribute;
class PixelScaleAttribute;
class SelectabilityAttribute;
class TransformAttribute;
class VisibilityAttribute;
class ColorEffectAttribute;
class MaterialEffectAttribute;
class TextureEffectAttribute;

using RenderNodeVector = std::vector<Lumo::Graphics::ARenderNode*>;

/// render-node flag set on groups that box themselves from their children
constexpr unsigned kGroupBoxesItselfFlag = 0x8000;

/// A group with a world of the given type; node data of kind group when asked.
Lumo::Graphics::GroupNode* MakeGroupNode(Lumo::Graphics::EWorldType type, bool withNodeData);
/// A group showing target, with reference node data; a null parent makes it a proxy.
Lumo::Graphics::GroupNode* MakeReferenceNode(Lumo::Graphics::ARenderNode* target, Lumo::Graphics::GroupNode* parent,
                                             Lumo::Graphics::EWorldType type);
/// An instance group (extended node data of kind instance, or reference instance).
Lumo::Graphics::GroupNode* MakeInstanceNode(bool withNodeData, bool referenceInstance);

/// Leaves, with node data of their kind when asked.
Lumo::Graphics::GeometryNode* MakeGeometryNode(bool withNodeData);
LODGeometryNode* MakeLODGeometryNode(bool withNodeData);
TextNode* MakeTextNode(bool withNodeData);
ImageNode* MakeImageNode(const Lumo::Objects::vec3<float>& start, Lumo::Devices::TextureInstance* texture,
                         bool withNodeData);
Lumo::Graphics::APrimitiveNode* MakeCircleArcNode(const Lumo::Graphics::CircleArc3d& arc, bool withNodeData);
Lumo::Graphics::APrimitiveNode* MakeEllipseArcNode(const Lumo::Graphics::EllipseArc3d& arc, bool withNodeData);
Lumo::Graphics::APrimitiveNode* MakeNurbsCurveNode(const Lumo::Graphics::NurbsCurve3d& curve, bool withNodeData);
Lumo::Graphics::APrimitiveNode* MakePolyLineNode(const Lumo::Graphics::PolyLine3d& line, bool withNodeData);
Lumo::Graphics::APrimitiveNode* MakeTorusNode(const Lumo::Graphics::Torus3d& torus, bool withNodeData);
Lumo::Graphics::APrimitiveNode* MakeBoxNode(const Lumo::Graphics::Box3d& box, bool withNodeData);
Lumo::Graphics::APrimitiveNode* MakeConeNode(const Lumo::Graphics::Cone3d& cone, bool withNodeData);
Lumo::Graphics::APrimitiveNode* MakeSphereNode(const Lumo::Graphics::Sphere3d& sphere, bool withNodeData);
/// The shared vertex format of the geometry built here: positions, with normals when asked,
/// plus the extra component bits given.
Lumo::Devices::VertexFormat* MakeVertexFormat(bool withNormals, int extraComponents);

ANodeData* GetNodeData(Lumo::Graphics::ARenderNode* node);
/// The node's data when it is a reference node's.
ReferenceNodeData* GetReferenceNodeData(Lumo::Graphics::ARenderNode* node);
AttributeSet* GetAttributeSet(ANodeData* data);
AttributeSet* GetAttributeSet(Lumo::Graphics::ARenderNode* node);

Attribute* GetAttribute(const AttributeSet* set, EAttributeType type);
void RemoveAttribute(AttributeSet* set, EAttributeType type);
void SetAttribute(AttributeSet* set, Attribute* attribute);

void SetBillBoard(AttributeSet* set, const Lumo::Objects::vec3<float>& anchor, BillBoardAttribute::EStyle style,
                  const Lumo::Objects::vec3<float>& axis, bool winTies = false, unsigned char priority = 0);
void SetDepthPriority(AttributeSet* set, int depthPriority, bool winTies = false, unsigned char priority = 0);
void SetLineStyle(AttributeSet* set, const LineStyle& style, bool winTies = false, unsigned char priority = 0);
/// Relative opacity when relative is true; absolute otherwise.
void SetOpacity(AttributeSet* set, float opacity, bool relative, bool winTies = false, unsigned char priority = 0);
void SetPixelScale(AttributeSet* set, double screenSpaceSize, double modelSpaceSize,
                   const Lumo::Objects::vec3<float>& scaleCenter, bool winTies = false, unsigned char priority = 0);
void SetSelectability(AttributeSet* set, bool selectable, int selectionPriority, SelectionQualifier* qualifier,
                      bool winTies = false, unsigned char priority = 0);
void SetTransform(AttributeSet* set, const Lumo::Objects::mat4<float>& matrix, bool absolute, bool winTies = false,
                  unsigned char priority = 0);
void SetVisibility(AttributeSet* set, bool visible, bool winTies = false, unsigned char priority = 0);
void SetColorEffect(AttributeSet* set, const Lumo::Objects::vec4<float>& color, bool winTies = false,
                    unsigned char priority = 0);
void SetMaterialEffect(AttributeSet* set, const BasicColorMaterial& material, EColorSource colorSource,
                       bool winTies = false, unsigned char priority = 0);
void SetTextureEffect(AttributeSet* set, const Lumo::Objects::UString* path, const Lumo::Objects::vec4<float>& color,
                      bool winTies = false, unsigned char priority = 0);

BillBoardAttribute* GetBillBoardAttribute(const AttributeSet* set);
DepthPriorityAttribute* GetDepthPriorityAttribute(const AttributeSet* set);
Attribute* GetEffectAttribute(const AttributeSet* set);
LineStyleAttribute* GetLineStyleAttribute(const AttributeSet* set);
OpacityAttribute* GetOpacityAttribute(const AttributeSet* set);
PixelScaleAttribute* GetPixelScaleAttribute(const AttributeSet* set);
SelectabilityAttribute* GetSelectabilityAttribute(const AttributeSet* set);
TransformAttribute* GetTransformAttribute(const AttributeSet* set);
VisibilityAttribute* GetVisibilityAttribute(const AttributeSet* set);
/// The effect attribute when it answers that kind's interface (a texture effect is also a colour effect).
ColorEffectAttribute* GetColorEffectAttribute(const AttributeSet* set);
MaterialEffectAttribute* GetMaterialEffectAttribute(const AttributeSet* set);
TextureEffectAttribute* GetTextureEffectAttribute(const AttributeSet* set);

/// The first reference node below group (depth first) that shows target and has a parent.
Lumo::Graphics::ARenderNode* FindReferenceNodeChild(Lumo::Graphics::GroupNode* group,
                                                    Lumo::Graphics::ARenderNode* target);
void GetChildNodeList(Lumo::Graphics::GroupNode* group, RenderNodeVector& out);
void RemoveAllChildren(Lumo::Graphics::GroupNode* group);

} // namespace Lumo::Scene
