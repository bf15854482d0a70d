#include <Scene/Change/NodeChange.h>

#include <Brio/Types/Color.h>
#include <Lumo/Devices/AVirtualDevice.h>
#include <Lumo/Devices/DeviceCaches.h>
#include <Lumo/Devices/TextureCache.h>
#include <Lumo/Graphics/APrimitiveNode.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Scene/Attributes/AmbraEffectAttribute.h>
#include <Scene/Attributes/AttributeSetEx.h>
#include <Scene/Attributes/BillBoardAttribute.h>
#include <Scene/Attributes/ColorEffectAttribute.h>
#include <Scene/Attributes/ColorHintAttribute.h>
#include <Scene/Attributes/CullModeAttribute.h>
#include <Scene/Attributes/CurvatureMapAttribute.h>
#include <Scene/Attributes/DecalGeometryAttribute.h>
#include <Scene/Attributes/DepthPriorityAttribute.h>
#include <Scene/Attributes/DraftAnalysisAttribute.h>
#include <Scene/Attributes/GroupAttribute.h>
#include <Scene/Attributes/LineStyleAttribute.h>
#include <Scene/Attributes/MaterialEffectAttribute.h>
#include <Scene/Attributes/MultipleSliceNoCapAttribute.h>
#include <Scene/Attributes/ObjectIDAttribute.h>
#include <Scene/Attributes/OccludedEffectAttribute.h>
#include <Scene/Attributes/OpacityAttribute.h>
#include <Scene/Attributes/OrderInTransparentGroupAttribute.h>
#include <Scene/Attributes/PixelScaleAttribute.h>
#include <Scene/Attributes/PrioritizedAmbraAttribute.h>
#include <Scene/Attributes/SelectabilityAttribute.h>
#include <Scene/Attributes/SingleSidedFaceEffectAttribute.h>
#include <Scene/Attributes/SliceCapAttribute.h>
#include <Scene/Attributes/TextureEffectAttribute.h>
#include <Scene/Attributes/ThreadAttribute.h>
#include <Scene/Attributes/TransformAttribute.h>
#include <Scene/Attributes/TransparentLayerAttribute.h>
#include <Scene/Attributes/TwoSidedFaceEffectAttribute.h>
#include <Scene/Attributes/TypeSpecificAttributeSet.h>
#include <Scene/Attributes/VertexColorEffectAttribute.h>
#include <Scene/Attributes/VisibilityAttribute.h>
#include <Scene/Attributes/WireframeMaterialEffectAttribute.h>
#include <Scene/Attributes/ZebraAnalysisAttribute.h>
#include <Scene/Change/ChangePacket.h>
#include <Scene/Change/CreateChangePacket.h>
#include <Scene/Change/GeometryConversion.h>
#include <Scene/Change/GroupChangePacket.h>
#include <Scene/Change/NodePath.h>
#include <Scene/Change/ObjectManager.h>
#include <Scene/Change/ProxyTree.h>
#include <Scene/Change/SceneNodes.h>
#include <Scene/Change/ServerToClientObjectManager.h>
#include <Scene/Model/IBodyNodeSource.h>
#include <Scene/Nodes/ImageNode.h>
#include <Scene/Nodes/LODGeometryNode.h>
#include <Scene/Nodes/NodeFunctions.h>
#include <Scene/Nodes/ReferenceNodeData.h>
#include <Scene/Nodes/TextNode.h>
#include <ZoGe/ZoGeCircArc3d.h>
#include <ZoGe/ZoGeEllipArc3d.h>
#include <ZoGe/ZoGeMatrix3d.h>
#include <ZoGe/ZoGeNurbCurve3d.h>

#include <atomic>
#include <new>

namespace Brio::Scene {

using Lumo::Graphics::ARenderNode;
using Lumo::Graphics::GroupNode;
using Lumo::Objects::AutoPtr;
using Lumo::Scene::AttributeSet;
using Lumo::Scene::AttributeSetEx;
using Lumo::Scene::ENodeType;

namespace {

std::atomic<NodeChange::EQuill> g_quill{NodeChange::eQuillOff};

GroupNode* asGroupNode(ARenderNode* node) {
    return node ? static_cast<GroupNode*>(node->GetInterface(GroupNode::StaticClassName())) : nullptr;
}

Lumo::Objects::vec4<float> toVec4(const Brio::Color& c) {
    return {c.red(), c.green(), c.blue(), c.alpha()};
}

Lumo::Graphics::CircleArc3d toArc(const ZoGeCircArc3d& arc) {
    Lumo::Graphics::CircleArc3d out;
    out.center = toVec3d(arc.center());
    out.normal = toVec3d(arc.normal());
    // The arc starts at centre + reference vector * radius.
    out.refDirection = toVec3d(arc.startPoint() - arc.center());
    out.radius = arc.radius();
    out.startAngle = arc.startAng();
    out.endAngle = arc.endAng();
    return out;
}

Lumo::Graphics::EllipseArc3d toArc(const ZoGeEllipArc3d& arc) {
    Lumo::Graphics::EllipseArc3d out;
    out.center = toVec3d(arc.center());
    out.majorAxis = toVec3d(arc.majorAxis());
    out.normal = toVec3d(arc.normal());
    out.majorRadius = arc.majorRadius();
    out.minorRadius = arc.minorRadius();
    out.startAngle = arc.startAng();
    out.endAngle = arc.endAng();
    return out;
}

Lumo::Graphics::NurbsCurve3d toCurve(const ZoGeNurbCurve3d& curve) {
    int degree = 1;
    bool rational = false, periodic = false;
    std::vector<double> knots, weights;
    std::vector<ZoGePoint3d> points;
    curve.getDefinitionData(degree, rational, periodic, knots, points, weights);
    Lumo::Graphics::NurbsCurve3d out;
    out.degree = degree;
    for (const ZoGePoint3d& p : points)
        out.controlPoints.push_back(toVec3d(p));
    if (rational)
        out.weights = weights;
    // Knots closer than the tolerance are one knot: snap them so spans of rounding noise
    // do not become degenerate spans.
    constexpr double kKnotTolerance = 1e-9;
    for (std::size_t i = 0; i < knots.size(); ++i)
        out.knots.push_back(i > 0 && knots[i] - out.knots.back() < kKnotTolerance && knots[i] >= out.knots.back()
                                ? out.knots.back()
                                : knots[i]);
    return out;
}

Lumo::Graphics::PolyLine3d toPolyLine(const std::vector<ZoGePoint3d>& points) {
    Lumo::Graphics::PolyLine3d out;
    for (const ZoGePoint3d& p : points)
        out.points.push_back(toVec3d(p));
    return out;
}

Lumo::Graphics::Torus3d toTorus(const ZoGePoint3d& c, double major, double minor, const ZoGeVector3d& axis) {
    Lumo::Graphics::Torus3d out;
    out.center = toVec3d(c);
    out.axis = toVec3d(axis);
    out.majorRadius = major;
    out.minorRadius = minor;
    return out;
}

Lumo::Graphics::Box3d toBox(const ZoGePoint3d& corner, const ZoGeVector3d& x, const ZoGeVector3d& y,
                            const ZoGeVector3d& z, double lx, double ly, double lz) {
    Lumo::Graphics::Box3d out;
    out.corner = toVec3d(corner);
    out.xAxis = toVec3d(x);
    out.yAxis = toVec3d(y);
    out.zAxis = toVec3d(z);
    out.lengths = {lx, ly, lz};
    return out;
}

Lumo::Graphics::Cone3d toCone(const ZoGePoint3d& base, const ZoGeVector3d& axis, double baseRadius, double topRadius) {
    Lumo::Graphics::Cone3d out;
    out.baseCenter = toVec3d(base);
    out.axis = toVec3d(axis);
    out.height = axis.length();
    out.baseRadius = baseRadius;
    out.topRadius = topRadius;
    return out;
}

Lumo::Graphics::Sphere3d toSphere(const ZoGePoint3d& c, double r) {
    Lumo::Graphics::Sphere3d out;
    out.center = toVec3d(c);
    out.radius = r;
    return out;
}

} // namespace

// ---- construction and end -------------------------------------------------------------

NodeChange::NodeChange(ARenderNode* node, bool justCreated) : m_target(node) {
    if (m_target)
        m_target->AddRef();
    if (justCreated)
        m_flags |= kJustCreated;
}

NodeChange::NodeChange() : m_flags(kJustCreated) {}

NodeChange::NodeChange(const NodeChange& other)
    : m_activeReference(other.m_activeReference), m_stack(other.m_stack), m_target(other.m_target),
      m_packet(other.m_packet), m_flags(other.m_flags), m_refInstanceName(other.m_refInstanceName) {
    for (int i = 0; i < m_stack.size(); ++i)
        m_stack[i]->AddRef();
    if (m_target)
        m_target->AddRef();
    if (m_packet)
        m_packet->AddRef();
}

NodeChange& NodeChange::operator=(const NodeChange& other) {
    if (this == &other)
        return *this;
    NodeChange copy(other);
    // The packet this builder collected so far is ended as if the builder went away.
    processChangePacket();
    std::swap(m_activeReference, copy.m_activeReference);
    std::swap(m_stack, copy.m_stack);
    std::swap(m_target, copy.m_target);
    std::swap(m_packet, copy.m_packet);
    std::swap(m_flags, copy.m_flags);
    std::swap(m_refInstanceName, copy.m_refInstanceName);
    return *this;
}

NodeChange::~NodeChange() {
    processChangePacket();
}

void* NodeChange::operator new(std::size_t size) {
    return ::operator new(size);
}
void NodeChange::operator delete(void* p) {
    ::operator delete(p);
}

void NodeChange::setQuill(EQuill mode) {
    g_quill.store(mode, std::memory_order_relaxed);
}
NodeChange::EQuill NodeChange::_Quill() {
    return g_quill.load(std::memory_order_relaxed);
}

bool NodeChange::doItNow() const {
    return (m_flags & kJustCreated) && !ObjectManager::splitTestEnabled();
}

void NodeChange::processChangePacket() {
    ChangePacket* packet = m_packet;
    ARenderNode* target = m_target;
    m_packet = nullptr;
    m_target = nullptr;
    m_activeReference = nullptr;
    for (int i = 0; i < m_stack.size(); ++i)
        m_stack[i]->ReleaseRef();
    m_stack.clear();
    // Copies share the packet; the last builder holding it hands it on, so it is posted once.
    if (packet && packet->RefCount() == 1 && target && _Quill() != eQuillOnly) {
        const bool newData = packet->ChangeType() & (RevalidatePacket::kNewGeometry | RevalidatePacket::kNewBox);
        DataChange::EChangeType types = packet->revalidationTypes();
        ObjectManager* manager = ObjectManager::get();
        if ((m_flags & kJustCreated) && !ObjectManager::splitTestEnabled()) {
            if (newData)
                DataChange::clear(types, DataChange::eGeometry);
            if (types != DataChange::eNoChange)
                manager->postToRevalidateManager(*packet);
            packet->prepare();
            packet->UpdateNode();
        } else {
            if (types != DataChange::eNoChange || newData)
                manager->postToRevalidateManager(*packet);
            packet->prepare();
            manager->postToChangeManager(packet);
        }
    }
    if (packet)
        packet->ReleaseRef();
    if (target)
        target->ReleaseRef();
}

// ---- the target -----------------------------------------------------------------------

GroupNode* NodeChange::groupNode() const {
    return nodeType(m_target) == Lumo::Scene::eGroupNode ? asGroupNode(m_target) : nullptr;
}

GroupNode* NodeChange::instanceNode() const {
    return nodeType(m_target) == Lumo::Scene::eInstanceNode ? asGroupNode(m_target) : nullptr;
}

Lumo::Scene::TextNode* NodeChange::textNode() const {
    if (nodeType(m_target) != Lumo::Scene::eTextNode)
        return nullptr;
    return static_cast<Lumo::Scene::TextNode*>(m_target->GetInterface(Lumo::Scene::TextNode::StaticClassName()));
}

Lumo::Graphics::GeometryNode* NodeChange::geometryNode() const {
    if (nodeType(m_target) != Lumo::Scene::eGeometryNode)
        return nullptr;
    return static_cast<Lumo::Graphics::GeometryNode*>(
        m_target->GetInterface(Lumo::Graphics::GeometryNode::StaticClassName()));
}

Lumo::Scene::LODGeometryNode* NodeChange::lodGeometryNode() const {
    if (nodeType(m_target) != Lumo::Scene::eLODGeometryNode)
        return nullptr;
    return static_cast<Lumo::Scene::LODGeometryNode*>(
        m_target->GetInterface(Lumo::Scene::LODGeometryNode::StaticClassName()));
}

NodeData* NodeChange::_QuillNode() const {
    return (m_flags & kQuillTarget) ? nodeData(m_target) : nullptr;
}

void NodeChange::clearSource() {
    if (NodeData* data = nodeData(m_target))
        data->source(nullptr);
}

ChangePacket* NodeChange::getChangePacket() {
    if (!m_target)
        return nullptr;
    if (!m_packet) {
        m_packet = ChangePacket::make(m_target);
        m_packet->AddRef();
    }
    return m_packet;
}

// ---- creating the target --------------------------------------------------------------

template <class N> N* NodeChange::adopt(N* node, INodeSource* source, ENodeType type, bool extended) {
    NodeData::make(node, source, type, extended);
    m_target = node;
    m_target->AddRef();
    return node;
}

void NodeChange::postCreate(std::uint32_t createType, std::uint32_t worldType, bool extended, bool post) {
    if (!post || !ObjectManager::splitTestEnabled())
        return;
    AutoPtr<CreateChangePacket> packet;
    packet = CreateChangePacket::make(CreateChangePacket::ECreateType(createType), m_target, worldType, extended);
    ServerToClientObjectManager::get()->postToObjectManager(packet);
}

GroupNode* NodeChange::createGroupNode(INodeSource* source, Lumo::Graphics::EWorldType worldType, bool extended,
                                       bool post) {
    if (m_target)
        return nullptr;
    GroupNode* node = adopt(Lumo::Scene::MakeGroupNode(worldType, false), source, Lumo::Scene::eGroupNode, extended);
    postCreate(CreateChangePacket::eCreateGroup, worldType, extended, post);
    return node;
}

GroupNode* NodeChange::createComponentNode(INodeSource* source, Lumo::Graphics::EWorldType worldType, bool post) {
    if (m_target)
        return nullptr;
    GroupNode* node = adopt(Lumo::Scene::MakeGroupNode(worldType, false), source, Lumo::Scene::eGroupNode, true);
    postCreate(CreateChangePacket::eCreateComponent, worldType, false, post);
    return node;
}

GroupNode* NodeChange::createBodyNode(IBodyNodeSource* source, std::uint64_t, Lumo::Graphics::EWorldType worldType,
                                      bool post) {
    if (m_target)
        return nullptr;
    GroupNode* node = adopt(Lumo::Scene::MakeGroupNode(worldType, false), static_cast<INodeSource*>(source),
                            Lumo::Scene::eGroupNode, true);
    postCreate(CreateChangePacket::eCreateBody, worldType, false, post);
    return node;
}

GroupNode* NodeChange::createInstanceNode(INodeSource* source, bool post) {
    if (m_target)
        return nullptr;
    GroupNode* node = adopt(Lumo::Scene::MakeInstanceNode(false, false), source, Lumo::Scene::eInstanceNode, false);
    postCreate(CreateChangePacket::eCreateInstance, 1, false, post);
    return node;
}

Lumo::Graphics::GeometryNode* NodeChange::createGeometryNode(INodeSource* source, bool post) {
    if (m_target)
        return nullptr;
    auto* node = adopt(Lumo::Scene::MakeGeometryNode(false), source, Lumo::Scene::eGeometryNode, false);
    postCreate(CreateChangePacket::eCreateGeometry, 1, false, post);
    return node;
}

Lumo::Scene::LODGeometryNode* NodeChange::createLODGeometryNode(INodeSource* source, bool post) {
    if (m_target)
        return nullptr;
    auto* node = adopt(Lumo::Scene::MakeLODGeometryNode(false), source, Lumo::Scene::eLODGeometryNode, false);
    postCreate(CreateChangePacket::eCreateLODGeometry, 1, false, post);
    return node;
}

Lumo::Scene::TextNode* NodeChange::createTextNode(INodeSource* source) {
    if (m_target)
        return nullptr;
    return adopt(Lumo::Scene::MakeTextNode(false), source, Lumo::Scene::eTextNode, false);
}

ARenderNode* NodeChange::createImageNode(INodeSource* source, const ZoGePoint3d& start, const std::wstring& file) {
    if (m_target)
        return nullptr;
    Lumo::Devices::TextureInstance* texture = nullptr;
    if (!file.empty())
        if (Lumo::Devices::AVirtualDevice* device = Lumo::Devices::AVirtualDevice::First())
            texture = device->Caches()->Textures()->Acquire(Lumo::Objects::Intern(file.c_str()));
    return adopt(Lumo::Scene::MakeImageNode(toVec3f(start), texture, false), source, Lumo::Scene::ePrimitiveNode,
                 false);
}

ARenderNode* NodeChange::createCircleArcNode(INodeSource* source, const ZoGeCircArc3d& arc) {
    if (m_target)
        return nullptr;
    return adopt(Lumo::Scene::MakeCircleArcNode(toArc(arc), false), source, Lumo::Scene::ePrimitiveNode, false);
}

ARenderNode* NodeChange::createEllipseArcNode(INodeSource* source, const ZoGeEllipArc3d& arc) {
    if (m_target)
        return nullptr;
    return adopt(Lumo::Scene::MakeEllipseArcNode(toArc(arc), false), source, Lumo::Scene::ePrimitiveNode, false);
}

ARenderNode* NodeChange::createTorusNode(INodeSource* source, const ZoGePoint3d& center, double majorRadius,
                                         double minorRadius, const ZoGeVector3d& axis, int, int) {
    if (m_target)
        return nullptr;
    return adopt(Lumo::Scene::MakeTorusNode(toTorus(center, majorRadius, minorRadius, axis), false), source,
                 Lumo::Scene::ePrimitiveNode, false);
}

ARenderNode* NodeChange::createBoxNode(INodeSource* source, const ZoGePoint3d& corner, const ZoGeVector3d& xAxis,
                                       const ZoGeVector3d& yAxis, const ZoGeVector3d& zAxis, double xLength,
                                       double yLength, double zLength) {
    if (m_target)
        return nullptr;
    return adopt(Lumo::Scene::MakeBoxNode(toBox(corner, xAxis, yAxis, zAxis, xLength, yLength, zLength), false), source,
                 Lumo::Scene::ePrimitiveNode, false);
}

ARenderNode* NodeChange::createConeNode(INodeSource* source, const ZoGePoint3d& baseCenter, const ZoGeVector3d& axis,
                                        double baseRadius, double topRadius) {
    if (m_target)
        return nullptr;
    return adopt(Lumo::Scene::MakeConeNode(toCone(baseCenter, axis, baseRadius, topRadius), false), source,
                 Lumo::Scene::ePrimitiveNode, false);
}

ARenderNode* NodeChange::createSphereNode(INodeSource* source, const ZoGePoint3d& center, double radius) {
    if (m_target)
        return nullptr;
    return adopt(Lumo::Scene::MakeSphereNode(toSphere(center, radius), false), source, Lumo::Scene::ePrimitiveNode,
                 false);
}

ARenderNode* NodeChange::createNurbsCurveNode(INodeSource* source, const ZoGeNurbCurve3d& curve) {
    if (m_target)
        return nullptr;
    return adopt(Lumo::Scene::MakeNurbsCurveNode(toCurve(curve), false), source, Lumo::Scene::ePrimitiveNode, false);
}

ARenderNode* NodeChange::createPolyLineNode(INodeSource* source, const std::vector<ZoGePoint3d>& points) {
    if (m_target)
        return nullptr;
    return adopt(Lumo::Scene::MakePolyLineNode(toPolyLine(points), false), source, Lumo::Scene::ePrimitiveNode, false);
}

// ---- changing the target --------------------------------------------------------------

bool NodeChange::setPrimitive(int kind, Lumo::Graphics::APrimitive* primitive) {
    AutoPtr<Lumo::Graphics::APrimitive> hold = primitive;
    auto* node = m_target ? static_cast<Lumo::Graphics::APrimitiveNode*>(
                                m_target->GetInterface(Lumo::Graphics::APrimitiveNode::StaticClassName()))
                          : nullptr;
    if (!node || node->Kind() != kind)
        return false;
    getChangePacket()->primitive(primitive);
    return true;
}

bool NodeChange::setCircleArc(const ZoGeCircArc3d& arc) {
    return setPrimitive(Lumo::Graphics::ePrimitiveCircleArc, Lumo::Graphics::APrimitive::Make(toArc(arc)));
}

bool NodeChange::setEllipseArc(const ZoGeEllipArc3d& arc) {
    return setPrimitive(Lumo::Graphics::ePrimitiveEllipseArc, Lumo::Graphics::APrimitive::Make(toArc(arc)));
}

bool NodeChange::setTorus(const ZoGePoint3d& center, double majorRadius, double minorRadius, const ZoGeVector3d& axis,
                          int, int) {
    return setPrimitive(Lumo::Graphics::ePrimitiveTorus,
                        Lumo::Graphics::APrimitive::Make(toTorus(center, majorRadius, minorRadius, axis)));
}

bool NodeChange::setBox(const ZoGePoint3d& corner, const ZoGeVector3d& xAxis, const ZoGeVector3d& yAxis,
                        const ZoGeVector3d& zAxis, double xLength, double yLength, double zLength) {
    return setPrimitive(Lumo::Graphics::ePrimitiveBox, Lumo::Graphics::APrimitive::Make(toBox(
                                                           corner, xAxis, yAxis, zAxis, xLength, yLength, zLength)));
}

bool NodeChange::setCone(const ZoGePoint3d& baseCenter, const ZoGeVector3d& axis, double baseRadius, double topRadius) {
    return setPrimitive(Lumo::Graphics::ePrimitiveCone,
                        Lumo::Graphics::APrimitive::Make(toCone(baseCenter, axis, baseRadius, topRadius)));
}

bool NodeChange::setSphere(const ZoGePoint3d& center, double radius) {
    return setPrimitive(Lumo::Graphics::ePrimitiveSphere, Lumo::Graphics::APrimitive::Make(toSphere(center, radius)));
}

bool NodeChange::setNurbsCurve(const ZoGeNurbCurve3d& curve) {
    return setPrimitive(Lumo::Graphics::ePrimitiveNurbsCurve, Lumo::Graphics::APrimitive::Make(toCurve(curve)));
}

bool NodeChange::setPolyLine(const std::vector<ZoGePoint3d>& points) {
    return setPrimitive(Lumo::Graphics::ePrimitivePolyLine, Lumo::Graphics::APrimitive::Make(toPolyLine(points)));
}

bool NodeChange::setImage(const ZoGePoint3d&, const std::wstring&) {
    return false;
}

void NodeChange::geometry(Lumo::Devices::SimpleMesh* mesh, int lod) {
    if (lodGeometryNode())
        getChangePacket()->geometry(mesh, lod);
    else if (geometryNode())
        getChangePacket()->geometry(mesh, Lumo::Graphics::GeometryNode::kGeometryLevel);
}

void NodeChange::modelBox(const Lumo::Objects::SBox3& box) {
    if (m_target && !box.IsEmpty())
        getChangePacket()->boundingBox(box);
}

void NodeChange::markDynamic(bool on) {
    setFlags(0x8, on);
}

void NodeChange::setFlags(unsigned long flags, bool on) {
    if (ChangePacket* packet = getChangePacket())
        packet->setFlags(static_cast<std::uint32_t>(flags), on);
}

void NodeChange::textData(const wchar_t* text) {
    if (textNode())
        getChangePacket()->textData(text);
}

void NodeChange::qualifier(std::uint64_t q) {
    if (ChangePacket* packet = getChangePacket())
        packet->qualifier(q);
}

void NodeChange::clientType(std::uint32_t types) {
    if (ChangePacket* packet = getChangePacket())
        packet->clientType(types);
}

void NodeChange::doubleSided(EDoubleSided mode) {
    if (ChangePacket* packet = getChangePacket())
        packet->doubleSided(mode);
}

void NodeChange::invalidate(DataChange::EChangeType types) {
    if (!m_target || types == DataChange::eNoChange)
        return;
    getChangePacket()->invalidate(types);
}

// ---- attributes -----------------------------------------------------------------------

template <class A> A* NodeChange::put(A* attribute) {
    AutoPtr<Lumo::Scene::Attribute> hold = attribute;
    if (AttributeSet* set = getActiveAttributeSet())
        set->SetAttribute(attribute);
    else
        m_orphans.push_back(attribute); // returned to the caller: alive while the builder is
    return attribute;
}

Lumo::Scene::VisibilityAttribute* NodeChange::visibility(bool visible, bool winTies, unsigned char priority) {
    return put(Lumo::Scene::VisibilityAttribute::Make(visible, winTies, priority));
}

Lumo::Scene::SelectabilityAttribute* NodeChange::selectability(bool selectable, int selectionPriority,
                                                               Lumo::Scene::SelectionQualifier* qualifier, bool winTies,
                                                               unsigned char priority) {
    return put(Lumo::Scene::SelectabilityAttribute::Make(selectable, selectionPriority, qualifier, winTies, priority));
}

Lumo::Scene::OpacityAttribute* NodeChange::opacity(float opacity, bool absolute, bool winTies, unsigned char priority) {
    return put(Lumo::Scene::OpacityAttribute::Make(opacity, absolute, winTies, priority));
}

Lumo::Scene::ColorHintAttribute* NodeChange::colorHint(const Lumo::Objects::vec3<float>& color, bool winTies,
                                                       unsigned char priority) {
    return put(Lumo::Scene::ColorHintAttribute::Make(color, winTies, priority));
}

Lumo::Scene::DepthPriorityAttribute* NodeChange::depthPriority(int depthPriority, bool winTies,
                                                               unsigned char priority) {
    return put(Lumo::Scene::DepthPriorityAttribute::Make(depthPriority, winTies, priority));
}

Lumo::Scene::TransformAttribute* NodeChange::transform(const ZoGeMatrix3d& matrix, bool absolute, bool winTies,
                                                       unsigned char priority) {
    return put(Lumo::Scene::TransformAttribute::Make(GeMatrixToLumoMatrix(matrix), absolute, winTies, priority));
}

Lumo::Scene::TransformAttribute* NodeChange::transform(const ZoGeVector3d& translation, bool absolute, bool winTies,
                                                       unsigned char priority) {
    return put(Lumo::Scene::TransformAttribute::Make(Lumo::Objects::mat4<float>::Translation(toVec3f(translation)),
                                                     absolute, winTies, priority));
}

Lumo::Scene::TransformAttribute* NodeChange::transform(const ZoGePoint3d& translation, bool absolute, bool winTies,
                                                       unsigned char priority) {
    return put(Lumo::Scene::TransformAttribute::Make(Lumo::Objects::mat4<float>::Translation(toVec3f(translation)),
                                                     absolute, winTies, priority));
}

Lumo::Scene::VertexColorEffectAttribute* NodeChange::vertexColorEffect(bool alphaFlag, float opacity, bool winTies,
                                                                       unsigned char priority) {
    return put(Lumo::Scene::VertexColorEffectAttribute::Make(alphaFlag, opacity, winTies, priority));
}

Lumo::Scene::SingleSidedFaceEffectAttribute* NodeChange::singleSidedFaceEffect(Lumo::Scene::EffectAttribute* face,
                                                                               Lumo::Devices::ECull cull, bool winTies,
                                                                               unsigned char priority) {
    return put(Lumo::Scene::SingleSidedFaceEffectAttribute::Make(face, cull, winTies, priority));
}

Lumo::Scene::TwoSidedFaceEffectAttribute* NodeChange::twoSidedFaceEffect(Lumo::Scene::EffectAttribute* front,
                                                                         Lumo::Scene::EffectAttribute* back,
                                                                         bool winTies, unsigned char priority) {
    return put(Lumo::Scene::TwoSidedFaceEffectAttribute::Make(front, back, winTies, priority));
}

Lumo::Scene::MaterialEffectAttribute* NodeChange::materialEffect(const Lumo::Scene::BasicColorMaterial& material,
                                                                 Lumo::Scene::EColorSource colorSource, bool winTies,
                                                                 unsigned char priority) {
    return put(Lumo::Scene::MaterialEffectAttribute::Make(material, colorSource, winTies, priority));
}

Lumo::Scene::WireframeMaterialEffectAttribute*
NodeChange::wireframeMaterialEffect(const Lumo::Scene::BasicColorMaterial& material, bool winTies,
                                    unsigned char priority) {
    return put(Lumo::Scene::WireframeMaterialEffectAttribute::Make(material, winTies, priority));
}

Lumo::Scene::ColorEffectAttribute* NodeChange::colorEffect(const Brio::Color& color, bool winTies,
                                                           unsigned char priority) {
    return put(Lumo::Scene::ColorEffectAttribute::Make(toVec4(color), winTies, priority));
}

Lumo::Scene::TextureEffectAttribute* NodeChange::textureEffect(const std::wstring& texture, const Brio::Color& color,
                                                               bool winTies, unsigned char priority) {
    return put(Lumo::Scene::TextureEffectAttribute::Make(Lumo::Objects::Intern(texture.c_str()), toVec4(color), winTies,
                                                         priority));
}

Lumo::Scene::AmbraEffectAttribute* NodeChange::ambraEffect(const std::wstring& material, bool useCustomizedColor,
                                                           const Brio::Color& customizedColor, float scale,
                                                           float rotation, bool winTies, unsigned char priority) {
    return put(Lumo::Scene::AmbraEffectAttribute::Make(Lumo::Objects::Intern(material.c_str()), useCustomizedColor,
                                                       toVec4(customizedColor), scale, rotation, winTies, priority));
}

Lumo::Scene::PrioritizedAmbraAttribute* NodeChange::prioritizedAmbraEffect(const std::wstring& material,
                                                                           bool useCustomizedColor,
                                                                           const Brio::Color& customizedColor,
                                                                           float scale, float rotation) {
    return put(Lumo::Scene::PrioritizedAmbraAttribute::Make(Lumo::Objects::Intern(material.c_str()), useCustomizedColor,
                                                            toVec4(customizedColor), scale, rotation));
}

Lumo::Scene::OccludedEffectAttribute* NodeChange::occludedEffect(const std::wstring& texture, const Brio::Color& color,
                                                                 float visibleOpacity, float occludedOpacity,
                                                                 bool winTies, unsigned char priority) {
    if (visibleOpacity == -1.0f)
        visibleOpacity = Lumo::Scene::OccludedEffectAttribute::VISIBLE_OPACITY();
    if (occludedOpacity == -1.0f)
        occludedOpacity = Lumo::Scene::OccludedEffectAttribute::OCCLUDED_OPACITY();
    return put(Lumo::Scene::OccludedEffectAttribute::Make(Lumo::Objects::Intern(texture.c_str()), toVec4(color),
                                                          visibleOpacity, occludedOpacity, winTies, priority));
}

Lumo::Scene::ZebraAnalysisAttribute* NodeChange::zebraAnalysis(const Lumo::Scene::ZebraAnalysisData& data,
                                                               bool highQuality, bool winTies, unsigned char priority) {
    return put(Lumo::Scene::ZebraAnalysisAttribute::Make(data, highQuality, winTies, priority));
}

Lumo::Scene::DraftAnalysisAttribute* NodeChange::draftAnalysis(const Lumo::Scene::DraftAnalysisData& data,
                                                               bool highQuality, bool winTies, unsigned char priority) {
    return put(Lumo::Scene::DraftAnalysisAttribute::Make(data, highQuality, winTies, priority));
}

Lumo::Scene::CurvatureMapAttribute* NodeChange::curvatureMap(const Lumo::Scene::CurvatureMapData& data,
                                                             bool highQuality, bool winTies, unsigned char priority) {
    return put(Lumo::Scene::CurvatureMapAttribute::Make(data, highQuality, winTies, priority));
}

Lumo::Scene::ThreadAttribute* NodeChange::cosmeticThreads(const std::vector<Lumo::Scene::ThreadData>& threads,
                                                          bool winTies, unsigned char priority) {
    return put(Lumo::Scene::ThreadAttribute::Make(threads, winTies, priority));
}

Lumo::Scene::DecalGeometryAttribute* NodeChange::decalGeometry(bool winTies, unsigned char priority) {
    return put(Lumo::Scene::DecalGeometryAttribute::Make(winTies, priority));
}

Lumo::Scene::ObjectIDAttribute* NodeChange::objectID(bool winTies, unsigned char priority) {
    return put(Lumo::Scene::ObjectIDAttribute::Make(winTies, priority));
}

Lumo::Scene::SliceCapAttribute* NodeChange::SliceCap(Lumo::Scene::ESectionType sectionType, bool doCap,
                                                     Lumo::Objects::vec4<float>* plane1,
                                                     Lumo::Objects::vec4<float>* plane2, bool winTies,
                                                     unsigned char priority) {
    return put(Lumo::Scene::SliceCapAttribute::Make(sectionType, doCap, plane1, plane2, winTies, priority));
}

Lumo::Scene::MultipleSliceNoCapAttribute*
NodeChange::MultipleSLiceNoCap(const std::vector<Lumo::Objects::vec4<float>>& planes, bool winTies,
                               unsigned char priority) {
    return put(Lumo::Scene::MultipleSliceNoCapAttribute::Make(planes, winTies, priority));
}

Lumo::Scene::GroupAttribute* NodeChange::Group(bool winTies, unsigned char priority) {
    return put(Lumo::Scene::GroupAttribute::Make(winTies, priority));
}

Lumo::Scene::OrderInTransparentGroupAttribute* NodeChange::OrderInTransparentGroup(int order, bool winTies,
                                                                                   unsigned char priority) {
    return put(Lumo::Scene::OrderInTransparentGroupAttribute::Make(order, winTies, priority));
}

Lumo::Scene::TransparentLayerAttribute* NodeChange::TransparentLayer(int layer, bool winTies, unsigned char priority) {
    return put(
        Lumo::Scene::TransparentLayerAttribute::Make(Lumo::Scene::TransparentLayerType(layer), winTies, priority));
}

Lumo::Scene::CullModeAttribute* NodeChange::cullMode(Lumo::Devices::ECull cull, bool winTies, unsigned char priority) {
    return put(Lumo::Scene::CullModeAttribute::Make(cull, winTies, priority));
}

Lumo::Scene::LineStyleAttribute* NodeChange::lineStyle(const Lumo::Scene::LineStyle& style, bool winTies,
                                                       unsigned char priority) {
    const std::uint32_t ct = Brio::Scene::clientType(m_target);
    if (!referenceActive() && (ct == 64 || ct == 128))
        return nullptr;
    return put(Lumo::Scene::LineStyleAttribute::Make(style, winTies, priority));
}

Lumo::Scene::BillBoardAttribute* NodeChange::billBoard(const ZoGePoint3d& anchor,
                                                       Lumo::Scene::BillBoardAttribute::EStyle style,
                                                       const ZoGeVector3d& axis, bool winTies, unsigned char priority) {
    setFlags(0x100000, true);
    return put(Lumo::Scene::BillBoardAttribute::Make(toVec3f(anchor), style, toVec3f(axis), winTies, priority));
}

Lumo::Scene::PixelScaleAttribute* NodeChange::pixelScale(double screenSpaceSize, double modelSpaceSize,
                                                         const ZoGePoint3d& scaleCenter, bool winTies,
                                                         unsigned char priority) {
    setFlags(0x100000, true);
    return put(Lumo::Scene::PixelScaleAttribute::Make(screenSpaceSize, modelSpaceSize, toVec3f(scaleCenter), winTies,
                                                      priority));
}

void NodeChange::setAttribute(Lumo::Scene::Attribute* attribute) {
    AutoPtr<Lumo::Scene::Attribute> hold = attribute;
    if (!attribute)
        return;
    if (AttributeSet* set = getActiveAttributeSet())
        set->SetAttribute(attribute);
}

void NodeChange::removeAttribute(Lumo::Scene::EAttributeType type) {
    if (AttributeSet* set = getActiveAttributeSet())
        set->RemoveAttribute(type);
}

// ---- attribute-set levels -------------------------------------------------------------

AttributeSet* NodeChange::getActiveAttributeSet() {
    if (!m_target)
        return nullptr;
    if (m_stack.empty()) {
        GroupNode* holder = getChangePacket()->attributeHolder(true);
        m_activeReference = holder;
        pushSet(Lumo::Scene::GetAttributeSet(holder));
    }
    return m_stack.back();
}

void NodeChange::pushSet(AttributeSet* set) {
    if (!set)
        return;
    set->AddRef();
    m_stack.push_back(set);
}

void NodeChange::popOne() {
    if (m_stack.size() <= 1)
        return; // the holder's set stays
    AutoPtr<AttributeSet> popped = m_stack.back();
    popped->ReleaseRef(); // the stack's reference; `popped` keeps it alive here
    m_stack.pop_back();
    AttributeSet* top = m_stack.back();
    if ((m_flags & kMergeTypeSpecific) && popped->ApplyTypes() && top->IsExtended()) {
        static_cast<AttributeSetEx*>(top)->MergeWildClientType(popped, true);
        m_flags &= ~kMergeTypeSpecific;
    }
}

bool NodeChange::pushAttributeSet(ARenderNode* node, unsigned clientTypes) {
    AttributeSet* active = getActiveAttributeSet();
    if (!active)
        return true;
    if (active->IsExtended())
        pushSet(static_cast<AttributeSetEx*>(active)->GetAttributeSet(node, clientTypes, true));
    else
        pushSet(active);
    return true;
}

int NodeChange::pushAttributeSet(const std::vector<ARenderNode*>& nodes, unsigned mask) {
    unsigned accumulated = 0;
    int levels = 0;
    for (ARenderNode* node : nodes) {
        const unsigned shared = Brio::Scene::clientType(node) & mask;
        if (shared) {
            accumulated |= shared;
            continue;
        }
        pushAttributeSet(node, accumulated);
        accumulated = 0;
        ++levels;
    }
    return levels;
}

bool NodeChange::pushAttributeSet(unsigned applyTypes, unsigned appendTypes) {
    AttributeSet* active = getActiveAttributeSet();
    if (!active)
        return true;
    if (active->IsExtended())
        if (AttributeSet* child =
                static_cast<AttributeSetEx*>(active)->GetAttributeSet(applyTypes, appendTypes, true)) {
            pushSet(child);
            return true;
        }
    AutoPtr<AttributeSet> set = Lumo::Scene::TypeSpecificAttributeSet::Make(applyTypes, appendTypes, 0);
    pushSet(set);
    m_flags |= kMergeTypeSpecific;
    return true;
}

bool NodeChange::popAttributeSet(int n) {
    for (int i = 0; i < n && m_stack.size() > 1; ++i)
        popOne();
    return true;
}

bool NodeChange::popAllAttributeSets() {
    while (m_stack.size() > 1)
        popOne();
    return true;
}

// ---- references and instances ---------------------------------------------------------

void NodeChange::pushReferenceNode(ARenderNode* target, Lumo::Graphics::EWorldType worldType) {
    if (!m_target || !target || !getActiveAttributeSet())
        return;
    GroupNode* proxy = ProxyTree::childReference(*m_activeReference, target);
    if (!proxy) {
        AutoPtr<GroupNode> made = Lumo::Scene::MakeReferenceNode(target, m_activeReference, worldType);
        Lumo::Scene::GetReferenceNodeData(made)->MarkReferenceProxy();
        m_activeReference->AddChild(made, false);
        proxy = made;
    }
    ProxyTree::clearRemoved(*proxy);
    m_activeReference = proxy;
    pushSet(Lumo::Scene::GetAttributeSet(proxy));
}

int NodeChange::pushReferenceNode(const NodePath& path, Lumo::Graphics::EWorldType last,
                                  Lumo::Graphics::EWorldType others) {
    for (int i = 0; i < path.size(); ++i)
        pushReferenceNode(path[i], i == path.size() - 1 ? last : others);
    return path.size();
}

void NodeChange::popReferenceNode(int n) {
    for (int i = 0; i < n; ++i) {
        if (Lumo::Scene::ReferenceNodeData* data = Lumo::Scene::GetReferenceNodeData(m_activeReference))
            if (data->Parent())
                m_activeReference = data->Parent();
        popOne();
    }
}

void NodeChange::pushRefInstance(const std::string& name) {
    if (!getActiveAttributeSet() || !m_activeReference)
        return;
    GroupNode* instance = ProxyTree::refInstance(m_activeReference, name);
    pushSet(Lumo::Scene::GetAttributeSet(instance));
    m_flags |= kRefInstanceActive;
    m_refInstanceName = name;
}

void NodeChange::popRefInstance() {
    m_flags &= ~kRefInstanceActive;
    m_refInstanceName.clear();
    popOne();
}

void NodeChange::popToRootNode() {
    if (m_flags & kRefInstanceActive)
        popRefInstance();
    GroupNode* holder = m_packet ? m_packet->attributeHolder() : nullptr;
    while (m_activeReference && m_activeReference != holder) {
        GroupNode* before = m_activeReference;
        popReferenceNode(1);
        if (m_activeReference == before)
            break; // a level without a parent: nothing further up
    }
}

void NodeChange::markRemoved() {
    if (!m_activeReference)
        return;
    if (m_flags & kRefInstanceActive)
        ProxyTree::removeInstance(m_activeReference, m_refInstanceName);
    else
        ProxyTree::markRemoved(*m_activeReference);
}

// ---- children -------------------------------------------------------------------------

bool NodeChange::referenceActive() const {
    return m_activeReference && m_packet && m_activeReference != m_packet->attributeHolder();
}

void NodeChange::postGroupChange(ARenderNode* child, bool add) {
    AutoPtr<GroupChangePacket> packet = GroupChangePacket::make(asGroupNode(m_target));
    (add ? packet->ChildToAdd() : packet->ChildToRemove()).Add(child);
    ObjectManager::get()->postToChangeManager(packet);
}

void NodeChange::childProxy(ARenderNode* child, bool add) {
    AutoPtr<GroupNode> proxy = ProxyTree::childProxy(child, add);
    m_activeReference->AddChild(proxy, false);
}

void NodeChange::addChild(ARenderNode* child) {
    if (!child || !asGroupNode(m_target) || _Quill() == eQuillOnly)
        return;
    if (referenceActive())
        childProxy(child, true);
    else
        postGroupChange(child, true);
}

void NodeChange::removeChild(ARenderNode* child) {
    if (!child || !asGroupNode(m_target) || _Quill() == eQuillOnly)
        return;
    if (referenceActive())
        childProxy(child, false);
    else
        postGroupChange(child, false);
}

void NodeChange::removeAllChildren() {
    GroupNode* group = asGroupNode(m_target);
    if (!group || _Quill() == eQuillOnly)
        return;
    if (referenceActive()) {
        ProxyTree::markRemoved(*m_activeReference);
        return;
    }
    if (group->ChildCount() == 0)
        return;
    AutoPtr<GroupChangePacket> packet = GroupChangePacket::make(group);
    for (ARenderNode* child : group->Children())
        packet->ChildToRemove().Add(child);
    ObjectManager::get()->postToChangeManager(packet);
}

// ---- dumps ----------------------------------------------------------------------------

bool NodeChange::testDumpToXML(const std::wstring& path) {
    return m_packet && m_packet->testDumpToXML(path);
}

bool NodeChange::testDumpMergeResultToXML(const std::wstring& path) {
    if (!m_packet)
        return false;
    m_packet->dumpPath(path);
    return m_packet->testDumpToXML(path);
}

} // namespace Brio::Scene
