#include <Scene/Nodes/NodeFunctions.h>

#include <Lumo/Devices/FormatCache.h>
#include <Lumo/Devices/VertexFormat.h>
#include <Lumo/Graphics/APrimitiveNode.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Attributes/ColorEffectAttribute.h>
#include <Scene/Attributes/DepthPriorityAttribute.h>
#include <Scene/Attributes/LineStyleAttribute.h>
#include <Scene/Attributes/MaterialEffectAttribute.h>
#include <Scene/Attributes/OpacityAttribute.h>
#include <Scene/Attributes/PixelScaleAttribute.h>
#include <Scene/Attributes/SelectabilityAttribute.h>
#include <Scene/Attributes/TextureEffectAttribute.h>
#include <Scene/Attributes/TransformAttribute.h>
#include <Scene/Attributes/VisibilityAttribute.h>
#include <Scene/Foundations/AddInStaticInternal.h>
#include <Scene/Nodes/ANodeData.h>
#include <Scene/Nodes/ImageNode.h>
#include <Scene/Nodes/LODGeometryNode.h>
#include <Scene/Nodes/ReferenceNodeData.h>
#include <Scene/Nodes/TextNode.h>

namespace Lumo::Scene {

using Lumo::Graphics::ARenderNode;
using Lumo::Graphics::EWorldType;
using Lumo::Graphics::GroupNode;

namespace {
template <class T> T* Typed(const AttributeSet* set, EAttributeType type) {
    Attribute* a = GetAttribute(set, type);
    return a ? static_cast<T*>(a->GetInterface(T::StaticClassName())) : nullptr;
}

void SetMade(AttributeSet* set, Attribute* made) {
    Lumo::Objects::AutoPtr<Attribute> hold = made; // freed here when there is no set
    if (set)
        set->SetAttribute(made);
}
} // namespace

GroupNode* MakeGroupNode(EWorldType type, bool withNodeData) {
    GroupNode* node = GroupNode::Make(type);
    if (type != Lumo::Graphics::eBSPWorld && type != Lumo::Graphics::eLODConsolidatedWorld)
        node->SetFlags(kGroupBoxesItselfFlag, true);
    if (withNodeData)
        ANodeData::Make(node, eGroupNode, false);
    return node;
}

GroupNode* MakeReferenceNode(ARenderNode* target, GroupNode* parent, EWorldType type) {
    GroupNode* node = MakeGroupNode(type, false);
    ReferenceNodeData::Make(node, target, parent);
    node->SetFlags(kGroupBoxesItselfFlag, false);
    return node;
}

GroupNode* MakeInstanceNode(bool withNodeData, bool referenceInstance) {
    GroupNode* node = GroupNode::Make(Lumo::Graphics::eSingleNodeWorld);
    if (withNodeData)
        ANodeData::Make(node, referenceInstance ? eReferenceInstanceNode : eInstanceNode, true);
    if (!referenceInstance)
        node->SetFlags(kGroupBoxesItselfFlag, true);
    return node;
}

namespace {
template <class N> N* WithData(N* node, ENodeType type, bool withNodeData) {
    if (withNodeData)
        ANodeData::Make(node, type, false);
    return node;
}
} // namespace

Lumo::Graphics::GeometryNode* MakeGeometryNode(bool withNodeData) {
    return WithData(Lumo::Graphics::GeometryNode::Make(), eGeometryNode, withNodeData);
}
LODGeometryNode* MakeLODGeometryNode(bool withNodeData) {
    return WithData(LODGeometryNode::Make(), eLODGeometryNode, withNodeData);
}
TextNode* MakeTextNode(bool withNodeData) {
    return WithData(TextNode::Make(), eTextNode, withNodeData);
}
ImageNode* MakeImageNode(const Lumo::Objects::vec3<float>& start, Lumo::Devices::TextureInstance* texture,
                         bool withNodeData) {
    return WithData(ImageNode::Make(start, texture), eImageNode, withNodeData);
}

using Lumo::Graphics::APrimitiveNode;
APrimitiveNode* MakeCircleArcNode(const Lumo::Graphics::CircleArc3d& p, bool d) {
    return WithData(APrimitiveNode::MakeCircleArc(p), ePrimitiveNode, d);
}
APrimitiveNode* MakeEllipseArcNode(const Lumo::Graphics::EllipseArc3d& p, bool d) {
    return WithData(APrimitiveNode::MakeEllipseArc(p), ePrimitiveNode, d);
}
APrimitiveNode* MakeNurbsCurveNode(const Lumo::Graphics::NurbsCurve3d& p, bool d) {
    return WithData(APrimitiveNode::MakeNurbsCurve(p), ePrimitiveNode, d);
}
APrimitiveNode* MakePolyLineNode(const Lumo::Graphics::PolyLine3d& p, bool d) {
    return WithData(APrimitiveNode::MakePolyLine(p), ePrimitiveNode, d);
}
APrimitiveNode* MakeTorusNode(const Lumo::Graphics::Torus3d& p, bool d) {
    return WithData(APrimitiveNode::MakeTorus(p), ePrimitiveNode, d);
}
APrimitiveNode* MakeBoxNode(const Lumo::Graphics::Box3d& p, bool d) {
    return WithData(APrimitiveNode::MakeBox(p), ePrimitiveNode, d);
}
APrimitiveNode* MakeConeNode(const Lumo::Graphics::Cone3d& p, bool d) {
    return WithData(APrimitiveNode::MakeCone(p), ePrimitiveNode, d);
}
APrimitiveNode* MakeSphereNode(const Lumo::Graphics::Sphere3d& p, bool d) {
    return WithData(APrimitiveNode::MakeSphere(p), ePrimitiveNode, d);
}

Lumo::Devices::VertexFormat* MakeVertexFormat(bool withNormals, int extraComponents) {
    // One format per layout for the whole process: geometry made here is not tied to a device.
    static Brio::Scene::AddInStatic<Lumo::Devices::FormatCache> cache;
    unsigned components = Lumo::Devices::eVertexPosition | unsigned(extraComponents);
    if (withNormals)
        components |= Lumo::Devices::eVertexNormal;
    return cache->Acquire(components);
}

ANodeData* GetNodeData(ARenderNode* node) {
    return ANodeData::GetNodeData(node);
}

ReferenceNodeData* GetReferenceNodeData(ARenderNode* node) {
    ANodeData* data = ANodeData::GetNodeData(node);
    if (!data || data->NodeType() != eReferenceNode)
        return nullptr;
    return static_cast<ReferenceNodeData*>(data->GetInterface(ReferenceNodeData::StaticClassName()));
}

AttributeSet* GetAttributeSet(ANodeData* data) {
    return data ? data->GetAttributeSet() : nullptr;
}
AttributeSet* GetAttributeSet(ARenderNode* node) {
    return GetAttributeSet(ANodeData::GetNodeData(node));
}

Attribute* GetAttribute(const AttributeSet* set, EAttributeType type) {
    return set ? set->GetAttribute(type) : nullptr;
}
void RemoveAttribute(AttributeSet* set, EAttributeType type) {
    if (set)
        set->RemoveAttribute(type);
}
void SetAttribute(AttributeSet* set, Attribute* attribute) {
    if (set)
        set->SetAttribute(attribute);
}

void SetBillBoard(AttributeSet* set, const Lumo::Objects::vec3<float>& anchor, BillBoardAttribute::EStyle style,
                  const Lumo::Objects::vec3<float>& axis, bool winTies, unsigned char priority) {
    SetMade(set, BillBoardAttribute::Make(anchor, style, axis, winTies, priority));
}
void SetDepthPriority(AttributeSet* set, int depthPriority, bool winTies, unsigned char priority) {
    SetMade(set, DepthPriorityAttribute::Make(depthPriority, winTies, priority));
}
void SetLineStyle(AttributeSet* set, const LineStyle& style, bool winTies, unsigned char priority) {
    SetMade(set, LineStyleAttribute::Make(style, winTies, priority));
}
void SetOpacity(AttributeSet* set, float opacity, bool relative, bool winTies, unsigned char priority) {
    SetMade(set, OpacityAttribute::Make(opacity, !relative, winTies, priority));
}
void SetPixelScale(AttributeSet* set, double screenSpaceSize, double modelSpaceSize,
                   const Lumo::Objects::vec3<float>& scaleCenter, bool winTies, unsigned char priority) {
    SetMade(set, PixelScaleAttribute::Make(screenSpaceSize, modelSpaceSize, scaleCenter, winTies, priority));
}
void SetSelectability(AttributeSet* set, bool selectable, int selectionPriority, SelectionQualifier* qualifier,
                      bool winTies, unsigned char priority) {
    SetMade(set, SelectabilityAttribute::Make(selectable, selectionPriority, qualifier, winTies, priority));
}
void SetTransform(AttributeSet* set, const Lumo::Objects::mat4<float>& matrix, bool absolute, bool winTies,
                  unsigned char priority) {
    SetMade(set, TransformAttribute::Make(matrix, absolute, winTies, priority));
}
void SetVisibility(AttributeSet* set, bool visible, bool winTies, unsigned char priority) {
    SetMade(set, VisibilityAttribute::Make(visible, winTies, priority));
}

void SetColorEffect(AttributeSet* set, const Lumo::Objects::vec4<float>& color, bool winTies, unsigned char priority) {
    SetMade(set, ColorEffectAttribute::Make(color, winTies, priority));
}
void SetMaterialEffect(AttributeSet* set, const BasicColorMaterial& material, EColorSource colorSource, bool winTies,
                       unsigned char priority) {
    SetMade(set, MaterialEffectAttribute::Make(material, colorSource, winTies, priority));
}
void SetTextureEffect(AttributeSet* set, const Lumo::Objects::UString* path, const Lumo::Objects::vec4<float>& color,
                      bool winTies, unsigned char priority) {
    SetMade(set, TextureEffectAttribute::Make(path, color, winTies, priority));
}

BillBoardAttribute* GetBillBoardAttribute(const AttributeSet* s) {
    return Typed<BillBoardAttribute>(s, eBillBoard);
}
DepthPriorityAttribute* GetDepthPriorityAttribute(const AttributeSet* s) {
    return Typed<DepthPriorityAttribute>(s, eDepthPriority);
}
Attribute* GetEffectAttribute(const AttributeSet* s) {
    return GetAttribute(s, eEffect);
}
LineStyleAttribute* GetLineStyleAttribute(const AttributeSet* s) {
    return Typed<LineStyleAttribute>(s, eLineStyle);
}
OpacityAttribute* GetOpacityAttribute(const AttributeSet* s) {
    return Typed<OpacityAttribute>(s, eOpacity);
}
PixelScaleAttribute* GetPixelScaleAttribute(const AttributeSet* s) {
    return Typed<PixelScaleAttribute>(s, ePixelScale);
}
SelectabilityAttribute* GetSelectabilityAttribute(const AttributeSet* s) {
    return Typed<SelectabilityAttribute>(s, eSelectability);
}
TransformAttribute* GetTransformAttribute(const AttributeSet* s) {
    return Typed<TransformAttribute>(s, eTransform);
}
VisibilityAttribute* GetVisibilityAttribute(const AttributeSet* s) {
    return Typed<VisibilityAttribute>(s, eVisibility);
}
ColorEffectAttribute* GetColorEffectAttribute(const AttributeSet* s) {
    return Typed<ColorEffectAttribute>(s, eEffect);
}
MaterialEffectAttribute* GetMaterialEffectAttribute(const AttributeSet* s) {
    return Typed<MaterialEffectAttribute>(s, eEffect);
}
TextureEffectAttribute* GetTextureEffectAttribute(const AttributeSet* s) {
    return Typed<TextureEffectAttribute>(s, eEffect);
}

namespace {
ARenderNode* FindReference(GroupNode* group, ARenderNode* target, int depth) {
    if (!group || depth > 1024)
        return nullptr;
    for (int i = 0; i < group->ChildCount(); ++i) {
        ARenderNode* child = group->Child(i);
        if (ReferenceNodeData* r = GetReferenceNodeData(child); r && r->Target() == target && r->Parent())
            return child;
        if (auto* g = static_cast<GroupNode*>(child->GetInterface(GroupNode::StaticClassName())))
            if (ARenderNode* found = FindReference(g, target, depth + 1))
                return found;
    }
    return nullptr;
}
} // namespace

ARenderNode* FindReferenceNodeChild(GroupNode* group, ARenderNode* target) {
    return FindReference(group, target, 0);
}

void GetChildNodeList(GroupNode* group, RenderNodeVector& out) {
    out.clear();
    if (!group)
        return;
    for (ARenderNode* child : group->Children())
        out.push_back(child);
}

void RemoveAllChildren(GroupNode* group) {
    if (!group)
        return;
    std::vector<Lumo::Objects::AutoPtr<ARenderNode>> children(group->Children().begin(), group->Children().end());
    for (auto& child : children)
        group->RemoveChild(child, true);
}

} // namespace Lumo::Scene
