#include <Brio/Base/IdleHandler.h>
#include <Brio/DataModel/Asset.h>
#include <Brio/DataModel/Entity.h>
#include <Brio/DataModel/Segment.h>
#include <Lumo/Graphics/APrimitiveNode.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Graphics/NodeCallbacks.h>
#include <Lumo/Graphics/RenderFlags.h>
#include <Lumo/Graphics/TraversalState.h>
#include <Lumo/Objects/ADevMatrix.h>
#include <Scene/Attributes/AttributeSetListEx.h>
#include <Scene/Attributes/TransformAttribute.h>
#include <Scene/Attributes/TraversalState.h>
#include <Scene/Change/NodeChange.h>
#include <Scene/Change/NodeData.h>
#include <Scene/Change/SceneAttachment.h>
#include <Scene/Change/SceneNodes.h>
#include <Scene/Model/INodeSource.h>
#include <Scene/Nodes/ImageNode.h>
#include <Scene/Nodes/LODGeometryNode.h>
#include <Scene/Nodes/NodeFunctions.h>
#include <Scene/Nodes/ReferenceNodeData.h>
#include <Scene/Nodes/SceneWalk.h>
#include <Scene/Nodes/TextNode.h>

#include <Brio/Types/Color.h>
#include <Lumo/Graphics/PropertyBag.h>
#include <Scene/Change/ClientTypes.h>

#include <Lumo/Graphics/AWorld.h>
#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Attributes/AttributeSetEx.h>
#include <string>
#include <vector>

#include <mutex>

namespace Brio::Scene {

using Lumo::Objects::UString;

namespace {
/// Twelve colours far apart in hue, for telling neighbouring parts apart.
Brio::Color DefaultPalette(int index) {
    static const float rgb[][3] = {
        {0.90f, 0.30f, 0.25f}, {0.25f, 0.55f, 0.90f}, {0.30f, 0.75f, 0.35f}, {0.95f, 0.70f, 0.20f},
        {0.60f, 0.35f, 0.80f}, {0.20f, 0.75f, 0.75f}, {0.90f, 0.45f, 0.70f}, {0.55f, 0.55f, 0.20f},
        {0.45f, 0.30f, 0.20f}, {0.35f, 0.40f, 0.55f}, {0.95f, 0.55f, 0.35f}, {0.50f, 0.80f, 0.95f},
    };
    const auto& c = rgb[index % 12];
    return Brio::Color(c[0], c[1], c[2], 1.0f);
}

struct Cycling {
    std::mutex mutex; // the process-wide lock around the counter
    NodeData::CyclingPalette palette = &DefaultPalette;
    int count = 12;
    int next = 0;
};
Cycling& GetCycling() {
    static Cycling cycling;
    return cycling;
}
} // namespace

UString* NodeData::StaticClassName() {
    static UString* name = Lumo::Objects::Intern(L"NodeData");
    return name;
}
UString* NodeData::ClassName() const {
    return StaticClassName();
}
void* NodeData::GetInterface(UString* name) {
    return name == StaticClassName() ? this : ANodeData::GetInterface(name);
}

NodeData::NodeData(Lumo::Scene::ENodeType type) : ANodeData(type) {}

NodeData::~NodeData() {
    decorationWorld(nullptr);
}

void NodeData::Attach(Lumo::Graphics::ARenderNode* node, bool extended) {
    SetAttributeSet(extended ? static_cast<Lumo::Scene::AttributeSet*>(Lumo::Scene::AttributeSetEx::Make(node, 0, 0))
                             : Lumo::Scene::AttributeSet::Make(node, 0));
}

NodeData* NodeData::make(Lumo::Graphics::ARenderNode* node, INodeSource* source, Lumo::Scene::ENodeType type,
                         bool extended) {
    auto* data = new NodeData(type);
    data->m_source = source;
    data->Attach(node, extended || type == Lumo::Scene::eInstanceNode || type == Lumo::Scene::eReferenceInstanceNode);
    return data;
}

INodeSource* NodeData::source() {
    Lumo::Objects::Threads::MutexLocker lock(m_mutex);
    return m_source;
}

void NodeData::source(INodeSource* source) {
    Lumo::Objects::Threads::MutexLocker lock(m_mutex);
    m_source = source;
    forgetModelBox();
}

void NodeData::decorationWorld(Lumo::Graphics::AWorld* world) {
    if (world)
        world->AddRef();
    if (m_decorationWorld)
        m_decorationWorld->ReleaseRef();
    m_decorationWorld = world;
}

const Brio::Color& NodeData::cyclingColor() {
    Lumo::Objects::Threads::MutexLocker lock(m_mutex);
    if (!m_cyclingColor) {
        Cycling& c = GetCycling();
        std::lock_guard<std::mutex> counter(c.mutex);
        m_cyclingColor = std::make_unique<Brio::Color>(c.palette(c.next));
        if (++c.next >= c.count)
            c.next = 0;
    }
    return *m_cyclingColor;
}

namespace {
UString* Key(const wchar_t* text) {
    return Lumo::Objects::Intern(text);
}
} // namespace

void NodeData::writeProperties(Lumo::Serialization::PropertyBag& bag) const {
    // A source that is a host entity is saved by reference, to be linked back after a load.
    INodeSource* source = const_cast<NodeData*>(this)->source();
    auto* entity = source ? static_cast<Brio::Entity*>(source->queryInterface(Brio::Entity::interfaceId())) : nullptr;
    bag.Set(Key(L"INodeSourceSaved"), entity != nullptr);
    if (entity) {
        Brio::Asset* asset = entity->asset();
        bag.Set(Key(L"AssetName"), asset ? asset->name() : std::wstring());
        bag.Set(Key(L"SegmentId"), std::uint32_t(entity->segment() ? entity->segment()->id() : 0));
        bag.Set(Key(L"INodeSource"), std::uint64_t(entity->id()));
    }
    bag.Set(Key(L"Qualifier"), std::uint64_t(m_qualifier));
    std::vector<std::wstring> names;
    bag.Set(Key(L"ClientType"), std::uint32_t(GetStringsForClientType(clientType(), names, false)));
    bag.Set(Key(L"StringsForMaskCount"), std::uint32_t(names.size()));
    for (std::size_t i = 0; i < names.size(); ++i)
        bag.Set(Key((L"StringForMask::" + std::to_wstring(i)).c_str()), names[i]);
}

void NodeData::readProperties(const Lumo::Serialization::PropertyBag& bag) {
    bool saved = false;
    bag.Get(Key(L"INodeSourceSaved"), saved);
    if (saved) {
        std::uint32_t segment = 0;
        if (bag.Get(Key(L"SegmentId"), segment))
            m_segmentId = segment;
        bag.Get(Key(L"INodeSource"), m_savedSourceId);
        bag.Get(Key(L"AssetName"), m_savedAssetName);
    }
    std::uint64_t q = 0;
    if (bag.Get(Key(L"Qualifier"), q))
        m_qualifier = q;
    std::uint32_t mask = 0, count = 0;
    bag.Get(Key(L"ClientType"), mask);
    bag.Get(Key(L"StringsForMaskCount"), count);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::wstring name;
        if (bag.Get(Key((L"StringForMask::" + std::to_wstring(i)).c_str()), name))
            mask |= RegisterClientType(name);
    }
    clientType(mask);
}

void NodeData::cyclingPalette(CyclingPalette palette, int count) {
    Cycling& c = GetCycling();
    std::lock_guard<std::mutex> lock(c.mutex);
    c.palette = palette && count > 0 ? palette : &DefaultPalette;
    c.count = palette && count > 0 ? count : 12;
    c.next = 0;
}

// ---- revalidation ---------------------------------------------------------------------

void NodeData::revalidate(DataChange::EChangeType types) {
    Lumo::Objects::Threads::MutexLocker lock(m_mutex);
    Lumo::Graphics::ARenderNode* node = Target();
    if (!m_source || !node || types == DataChange::eNoChange)
        return;
    NodeChange change(node, false);
    m_source->revalidate(change, types);
}

Lumo::Objects::SBox3 NodeData::revalidateModelBox() {
    Lumo::Objects::Threads::MutexLocker lock(m_mutex);
    Lumo::Graphics::ARenderNode* node = Target();
    if (!m_source || !node)
        return {};
    if (m_modelBoxKnown.load(std::memory_order_relaxed))
        return m_modelBox;
    Lumo::Objects::SBox3 box;
    {
        NodeChange change(node, true);
        box = m_source->realizeModelBox(change);
    } // applied here, which forgets any kept box first
    m_modelBox = box;
    m_modelBoxKnown.store(true, std::memory_order_relaxed);
    return box;
}

void NodeData::revalidateGeometry(int lod) {
    Lumo::Objects::Threads::MutexLocker lock(m_mutex);
    Lumo::Graphics::ARenderNode* node = Target();
    if (!m_source || !node)
        return;
    if (auto* lodNode = static_cast<Lumo::Scene::LODGeometryNode*>(
            node->GetInterface(Lumo::Scene::LODGeometryNode::StaticClassName()))) {
        if (!lodNode->NeedsMesh(lod))
            return;
        {
            NodeChange change(node, true);
            m_source->realizeGeometry(change, lod);
        } // applied here
        if (!lodNode->RenderGeometry(lod))
            if (Lumo::Devices::IRenderGeom* closest = lodNode->ClosestRenderGeometry(lod))
                lodNode->RenderGeometry(closest, lod);
        return;
    }
    if (node->GetInterface(Lumo::Graphics::GeometryNode::StaticClassName()) &&
        !node->Test(Lumo::Graphics::eFlagItemBuilt)) {
        NodeChange change(node, true);
        m_source->realizeGeometry(change, Lumo::Graphics::GeometryNode::kGeometryLevel);
    }
}

// ---- render callbacks -----------------------------------------------------------------

namespace {

bool isPrimitiveOrImage(Lumo::Graphics::ARenderNode* node) {
    return node->GetInterface(Lumo::Graphics::APrimitiveNode::StaticClassName()) ||
           node->GetInterface(Lumo::Scene::ImageNode::StaticClassName());
}

Lumo::Objects::SBox3 subtreeBox(Lumo::Graphics::ARenderNode* node, int depth);

/// The box of a subtree in the node's own coordinates: leaves' boxes (asking sources for
/// missing ones), each child placed by its relative transform. Plain groups keep theirs
/// until the graph changes, so steady frames box each group once.
thread_local bool t_boxCutShort = false; // set when a box walk stopped at the depth limit

Lumo::Objects::SBox3 localBox(Lumo::Graphics::ARenderNode* node, int depth) {
    Lumo::Objects::SBox3 box;
    if (depth > 64)
        t_boxCutShort = true;
    if (!node || depth > 64)
        return box;
    if (Lumo::Graphics::BaseGroupNode* group = node->AsGroup()) {
        Lumo::Scene::ANodeData* data = Lumo::Scene::ANodeData::GetNodeData(node);
        // A reference node shows its target through its instance groups, each placed by its
        // own transform; only one without instances stands for the bare target.
        if (data && data->NodeType() == Lumo::Scene::eReferenceNode && group->ChildCount() == 0)
            return subtreeBox(data->Target(), depth + 1);
        if (group->CachedLocalBox(box))
            return box;
        const std::uint64_t stamp = Lumo::Graphics::ARenderNode::GraphStamp(); // read first: a change meanwhile wins
        const bool outer = t_boxCutShort;
        t_boxCutShort = false;
        for (int i = 0; i < group->ChildCount(); ++i)
            box.Extend(subtreeBox(group->Child(i), depth + 1));
        if (!t_boxCutShort) // a box cut short at the depth limit is not kept
            group->CacheLocalBox(box, stamp);
        t_boxCutShort = t_boxCutShort || outer;
        return box;
    }
    box = node->WorldBox();
    if (box.IsEmpty())
        if (NodeData* data = nodeData(node))
            box = data->revalidateModelBox();
    return box;
}

/// The subtree's box in its parent's coordinates: the local box through the node's own
/// relative transform.
Lumo::Objects::SBox3 subtreeBox(Lumo::Graphics::ARenderNode* node, int depth) {
    Lumo::Objects::SBox3 box = localBox(node, depth);
    if (box.IsEmpty())
        return box;
    if (const Lumo::Scene::AttributeSet* set = Lumo::Scene::GetAttributeSet(node))
        if (auto* t = static_cast<Lumo::Scene::TransformAttribute*>(set->GetAttribute(Lumo::Scene::eTransform));
            t && !t->Absolute())
            box = box.TransformAndRebox(t->Transform());
    return box;
}

/// A child's box in its parent's coordinates for the walk's culling of big groups; empty (never
/// culled) where the box depends on the view or the placement ignores the parent.
Lumo::Objects::SBox3 childBoxCB(Lumo::Graphics::ARenderNode* node) {
    if (node->GetInterface(Lumo::Scene::TextNode::StaticClassName()))
        return {};
    if (const Lumo::Scene::AttributeSet* set = Lumo::Scene::GetAttributeSet(node)) {
        if (set->GetAttribute(Lumo::Scene::eBillBoard) || set->GetAttribute(Lumo::Scene::ePixelScale))
            return {};
        if (auto* t = static_cast<Lumo::Scene::TransformAttribute*>(set->GetAttribute(Lumo::Scene::eTransform));
            t && t->Absolute())
            return {};
    }
    return subtreeBox(node, 0);
}

int placementCB(Lumo::Graphics::ARenderNode* node, Lumo::Objects::mat4<double>& out) {
    if (node->GetInterface(Lumo::Scene::TextNode::StaticClassName()))
        return 2;
    const Lumo::Scene::AttributeSet* set = Lumo::Scene::GetAttributeSet(node);
    if (!set)
        return 0;
    if (set->GetAttribute(Lumo::Scene::eBillBoard) || set->GetAttribute(Lumo::Scene::ePixelScale))
        return 2;
    auto* t = static_cast<Lumo::Scene::TransformAttribute*>(set->GetAttribute(Lumo::Scene::eTransform));
    if (!t)
        return 0;
    if (t->Absolute())
        return 2;
    out = t->Transform().Cast<double>();
    return 1;
}

} // namespace

Lumo::Objects::SBox3 NodeData::subtreeBox(Lumo::Graphics::ARenderNode* node) {
    return Brio::Scene::subtreeBox(node, 0);
}

void NodeData::RealizeCB(Lumo::Devices::ADrawContext&, Lumo::Graphics::TraversalState& state,
                         Lumo::Graphics::WorldIterator*, Lumo::Graphics::ARenderNode* node) {
    if (NodeData* data = nodeData(node))
        data->revalidateGeometry(state.GeomLOD());
}

int NodeData::RealizeWorldBoxCB(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state,
                                Lumo::Graphics::ARenderNode* node) {
    using namespace Lumo::Graphics;
    Brio::IIdleHandler::tick();
    Lumo::Scene::TraversalState& scene = *traversalState(dc, state);
    if (scene.HasAttribute(Lumo::Scene::eTransform) || scene.HasAttribute(Lumo::Scene::eBillBoard) ||
        scene.HasAttribute(Lumo::Scene::ePixelScale) || node->GetInterface(Lumo::Scene::TextNode::StaticClassName()))
        scene.UpdateTransform(dc, state, node);
    if (isPrimitiveOrImage(node))
        return eBoxNone;
    Lumo::Objects::SBox3 box;
    Lumo::Scene::ANodeData* any = Lumo::Scene::ANodeData::GetNodeData(node);
    auto* data = any ? static_cast<NodeData*>(any->GetInterface(NodeData::StaticClassName())) : nullptr;
    if (node->Test(eFlagWorldBoxValid)) {
        box = node->WorldBox();
    } else if (node->AsGroup()) {
        const Lumo::Scene::ENodeType kind = any ? any->NodeType() : Lumo::Scene::eNoNodeData;
        if (kind == Lumo::Scene::eReferenceNode) {
            if (state.IsSelectionPass())
                return eBoxFromChildren;
            ARenderNode* target = any->Target();
            if (!target || !target->Test(eFlagWorldBoxValid))
                return eBoxFromChildren;
            box = target->WorldBox();
        }
        // A reference instance boxes itself like any group (its placed target, kept per graph
        // change), so a placement outside the view or the pick is skipped before its target.
    }
    if (box.IsEmpty() && data)
        box = data->revalidateModelBox();
    if (box.IsEmpty()) {
        if (!node->GetInterface(GeometryNode::StaticClassName()))
            box = localBox(node, 0); // the world matrix below already holds the node's transform
        else if (static_cast<GeometryNode*>(node->GetInterface(GeometryNode::StaticClassName()))->RenderGeometry())
            box = node->WorldBox();
    }
    if (box.IsEmpty())
        return eBoxFromChildren;
    if (Lumo::Objects::ADevMatrix* world = state.WorldMatrix())
        box = box.TransformAndRebox(world->Matrix());
    state.CurrentBox(box);
    state.LODRadius(box.Size().Length() / 2);
    return eBoxKnown;
}

void NodeData::RealizeAttributesCB(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state,
                                   Lumo::Graphics::ARenderNode* node) {
    if (!Lumo::Scene::ANodeData::GetNodeData(node))
        return;
    Brio::IIdleHandler::tick();
    traversalState(dc, state);
    Lumo::Scene::SceneWalk::RealizeAttributes(dc, state, node);
    SceneAttachment* attachment = SceneAttachment::of(dc);
    if (!attachment || !attachment->hasRenderParams())
        return;
    NodeData* data = nodeData(node);
    if (!data)
        return;
    Lumo::Scene::TraversalState& scene = *Lumo::Scene::SceneWalk::State(state);
    const std::uint32_t ct = data->clientType();
    if ((ct == 8 || ct == 0x4000000) && attachment->visualStyle >= 0)
        scene.VisualStyle(attachment->visualStyle);
    if (ct == 16 || ct == 0x8000000)
        scene.DoubleSided(data->doubleSided());
    if (ct == 1 && attachment->colorCyclingEnabled) {
        const Brio::Color& c = data->cyclingColor();
        scene.ColorCyclingEnabled(true);
        scene.CyclingColor({c.red(), c.green(), c.blue()});
    }
}

void NodeData::ApplyAttributeCB(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state,
                                Lumo::Graphics::ARenderNode* node) {
    Lumo::Scene::SceneWalk::ApplyAttributes(dc, state, node);
}

int NodeData::PreRealizePrimitiveNode(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state,
                                      Lumo::Graphics::ARenderNode* node) {
    return Lumo::Scene::SceneWalk::PreRealizePrimitive(dc, state, node);
}

Lumo::Scene::TraversalState* NodeData::traversalState(Lumo::Devices::ADrawContext& dc,
                                                      Lumo::Graphics::TraversalState& state) {
    auto* scene =
        static_cast<Lumo::Scene::TraversalState*>(state.ClientState(Lumo::Scene::TraversalState::StaticClassName()));
    if (scene)
        return scene;
    scene = Lumo::Scene::SceneWalk::State(state);
    // A pass walks its scene node's world: the scene node's own attributes sit above it.
    if (SceneAttachment* attachment = SceneAttachment::of(dc))
        if (Lumo::Scene::ANodeData* data = Lumo::Scene::ANodeData::GetNodeData(attachment->sceneNode)) {
            const Lumo::Scene::AttributeSet* set = data->GetAttributeSet();
            scene->MergeAttributes(set);
            if (const auto* children = set ? set->Children() : nullptr)
                scene->AddPendingAttributeSets(*children);
            scene->SortPendingAttributeSets();
        }
    return scene;
}

namespace {
// The callbacks tick the idle handler per node; what a tick would deliver meanwhile (an event
// whose handler edits the graph) waits for the end of the walk.
void beginWalkCB(Lumo::Devices::ADrawContext&) {
    Brio::IIdleHandler::enterWalk();
}

void endWalkCB(Lumo::Devices::ADrawContext& dc) {
    Lumo::Scene::SceneWalk::EndWalk(dc);
    Brio::IIdleHandler::leaveWalk();
}
} // namespace

void NodeData::installRenderCallbacks() {
    Lumo::Scene::SceneWalk::Install();
    Lumo::Graphics::NodeCallbacks& cb = Lumo::Graphics::NodeCallbacks::Installed();
    cb.beginWalk = &beginWalkCB;
    cb.endWalk = &endWalkCB;
    cb.realize = &RealizeCB;
    cb.realizeWorldBox = &RealizeWorldBoxCB;
    cb.realizeAttributes = &RealizeAttributesCB;
    cb.applyAttributes = &ApplyAttributeCB;
    cb.preRealizePrimitive = &PreRealizePrimitiveNode;
    cb.childBox = &childBoxCB;
    cb.placement = &placementCB;
    Lumo::Scene::LODGeometryNode::RealizeMethodCB(&RealizeCB);
}

void NodeData::uninstallRenderCallbacks() {
    Lumo::Scene::SceneWalk::Uninstall();
    Lumo::Graphics::NodeCallbacks::Installed().childBox = nullptr;
    Lumo::Graphics::NodeCallbacks::Installed().placement = nullptr;
    Lumo::Scene::LODGeometryNode::RealizeMethodCB(nullptr);
}

bool NodeData::renderCallbacksInstalled() {
    return Lumo::Graphics::NodeCallbacks::Installed().realizeAttributes == &RealizeAttributesCB;
}

} // namespace Brio::Scene
