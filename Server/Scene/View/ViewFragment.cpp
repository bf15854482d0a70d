#include <Scene/View/ViewFragment.h>

#include <Brio/Base/IdleHandler.h>
#include <Brio/Base/UniqueString.h>
#include <Brio/Types/BBox.h>
#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Graphics/GraphWalker.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Graphics/NodeCallbacks.h>
#include <Scene/Change/NodeChange.h>
#include <Scene/Change/NodeData.h>
#include <Scene/Change/ObjectManager.h>
#include <Scene/Change/SceneNodes.h>
#include <Scene/Environment/Camera.h>
#include <Scene/Environment/Lighting.h>
#include <Scene/Environment/Viewport.h>
#include <Scene/Persistence/SceneAssetAdapter.h>
#include <Scene/View/SketchSelectionRenderParams.h>
#include <Scene/View/ViewFragementPassNames.h>
#include <Scene/View/ViewFragmentNodeData.h>
#include <Scene/View/ViewFragmentPass.h>
#include <Scene/View/ViewNodes.h>

namespace Brio::Scene {

using Lumo::Graphics::ARenderNode;
using Lumo::Graphics::GroupNode;

BRIO_SCENE_ENTITY_META_TYPE(ViewFragment, "ViewFragmentMetaType", Entity::s_metaTypeId, 2)

namespace {

/// Boxes a subgraph with the walk's own world-box callback, so that transforms, billboards
/// and boxes sources give on demand count as they do when drawing. A node whose box is known
/// covers everything below it, which is then not walked.
class BoxWalk : public Lumo::Graphics::IWalkVisitor {
public:
    Lumo::Objects::SBox3 run(ARenderNode* root) {
        Lumo::Graphics::NodeCallbacks callbacks;
        callbacks.realizeAttributes = &NodeData::RealizeAttributesCB;
        callbacks.realizeWorldBox = &boxed;
        callbacks.beginWalk = [](Lumo::Devices::ADrawContext&) { Brio::IIdleHandler::enterWalk(); };
        callbacks.endWalk = [](Lumo::Devices::ADrawContext&) { Brio::IIdleHandler::leaveWalk(); };
        Lumo::Objects::AutoPtr<Lumo::Devices::ADrawContext> dc = Lumo::Devices::ADrawContext::Make(nullptr);
        Lumo::Graphics::GraphWalker walker(*dc);
        walker.Callbacks(&callbacks);
        walker.Visitor(this);
        BoxWalk* outer = t_current;
        t_current = this;
        Lumo::Graphics::RenderItemList items;
        try {
            walker.Walk(root, items);
        } catch (...) {
            t_current = outer;
            throw;
        }
        t_current = outer;
        return m_box;
    }

    bool Enter(Lumo::Graphics::TraversalState& state) override {
        // Leaves without a box have nothing to add, and their geometry need not be made.
        return !m_known && state.RenderNode() && state.RenderNode()->AsGroup();
    }
    void Leaf(Lumo::Graphics::TraversalState&) override {}

private:
    static int boxed(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state, ARenderNode* node) {
        const int status = NodeData::RealizeWorldBoxCB(dc, state, node);
        BoxWalk* walk = t_current;
        walk->m_known = status == Lumo::Graphics::eBoxKnown;
        if (walk->m_known)
            walk->m_box.Extend(state.CurrentBox());
        return status;
    }

    static thread_local BoxWalk* t_current;
    Lumo::Objects::SBox3 m_box;
    bool m_known = false;
};

thread_local BoxWalk* BoxWalk::t_current = nullptr;

/// Fresh overlay-layer parameters whose transparent geometry is drawn with the layer itself.
RenderParams* overlayParams() {
    RenderParams* params = RenderParams::make();
    params->renderer(eRendererLayer);
    params->transparentCollectionEnabled(false);
    return params;
}

/// A dependency on `other` would lead back to `fragment`.
bool leadsBackTo(const ViewFragment* fragment, StrongRef<ViewFragment> other) {
    for (int depth = 0; other && depth < 1024; ++depth) {
        if (other.getTarget() == fragment)
            return true;
        other = other->dependentFragment();
    }
    return other.getTarget() != nullptr; // a chain that long is a cycle already
}

} // namespace

ViewFragment::ViewFragment(Segment* segment) : SceneEntity(segment) {}

ViewFragment::ViewFragment(Segment* segment, std::uint64_t persistedId) : SceneEntity(segment, persistedId) {}

ViewFragment::~ViewFragment() {
    // The node may outlive the fragment (a view holds it): it must not point back here.
    if (NodeData* data = nodeData(m_node.get()))
        data->source(nullptr);
}

const Brio::UniqueString* ViewFragment::interfaceId() {
    static const Brio::UniqueString* id = Brio::UniqueString::find(L"Brio::Scene::ViewFragment");
    return id;
}

void* ViewFragment::queryInterface(const Brio::UniqueString* id) const {
    if (id == interfaceId())
        return const_cast<ViewFragment*>(this);
    if (void* entity = Entity::queryInterface(id))
        return entity;
    return INodeSource::queryInterface(id);
}

void ViewFragment::onPostCreation() {
    SceneEntity::onPostCreation();
    createScene();
}

void ViewFragment::onPreDeletion() {
    SceneEntity::onPreDeletion();
    releaseScene();
}

// ---- the node -------------------------------------------------------------------------

GroupNode* ViewFragment::viewFragmentNode() {
    if (!m_node)
        m_node = makeViewFragmentNode(this);
    return m_node.get();
}

ARenderNode* ViewFragment::createScene() {
    return viewFragmentNode();
}
ARenderNode* ViewFragment::createScene(NodeChange&) {
    return viewFragmentNode();
}
ARenderNode* ViewFragment::sceneNode() const {
    return m_node.get();
}

void ViewFragment::sceneNode(ARenderNode* node) {
    if (!node) {
        m_node.reset();
        return;
    }
    if (auto* group = static_cast<GroupNode*>(node->GetInterface(GroupNode::StaticClassName())))
        m_node = group;
}

void ViewFragment::onCreateScene(NodeChange&) {}

void ViewFragment::releaseScene() {
    if (!m_node)
        return;
    {
        NodeChange change(m_node.get(), false);
        change.clearSource();
    }
    m_node.reset();
}

ViewFragmentNodeData* ViewFragment::fragmentData() const {
    return viewFragmentNodeData(m_node.get());
}
ViewFragmentNodeData* ViewFragment::madeFragmentData() {
    return viewFragmentNodeData(viewFragmentNode());
}

// ---- passes ---------------------------------------------------------------------------

void ViewFragment::scene(GroupNode* root, const RenderParams* params) {
    if (!root)
        return;
    {
        NodeChange change(viewFragmentNode(), false);
        change.addChild(root);
    }
    ViewFragmentPass pass(root, ViewFragementPassNames::sModel, true, params ? params->clone() : nullptr);
    addLayerPass(pass);
}

void ViewFragment::scene(SceneAssetAdapter* adapter) {
    if (!adapter)
        return;
    using Names = ViewFragementPassNames;
    scene(adapter->scene(), &adapter->sceneEffectParams());
    const ViewFragmentPass passes[] = {
        {adapter->activeEditScene(), Names::sActiveEdit, true, adapter->layerEffectParams().clone()},
        {adapter->selectionScene(), Names::sSelection, false, adapter->layerEffectParams().clone()},
        {adapter->selectionEffectScene(), Names::sSelectionEffect, false, adapter->selectionEffectParams().clone()},
        {adapter->sketchSelectionScene(), Names::sSketchSelection, false,
         adapter->sketchSelectionEffectParams().clone()},
        {adapter->prehighlightEffectScene(), Names::sPrehighlightEffect, false,
         adapter->highlightEffectParams().clone()},
        {adapter->prehighlightScene(), Names::sPrehighlight, false, overlayParams()},
        {adapter->manipulatorScene(), Names::sManipulator, true, overlayParams()},
    };
    for (const ViewFragmentPass& pass : passes)
        addLayerPass(pass);
    madeFragmentData()->sceneAssetAdapter(adapter);
}

void ViewFragment::addLayerPass(ViewFragmentPass pass) {
    madeFragmentData()->addViewFragmentPass(pass);
}

void ViewFragment::insertLayerPass(unsigned position, ViewFragmentPass& pass) {
    madeFragmentData()->insertViewFragmentPass(position, pass);
}

void ViewFragment::removeLayerPass(const Brio::UniqueString* name) {
    if (ViewFragmentNodeData* data = fragmentData())
        data->removeLayerPass(name);
}

int ViewFragment::findLayerPassPosition(const Brio::UniqueString* name) const {
    ViewFragmentNodeData* data = fragmentData();
    return data ? data->findLayerPassPosition(name) : -1;
}

RenderParams* ViewFragment::renderParams(int index) const {
    ViewFragmentNodeData* data = fragmentData();
    return data ? data->renderParams(index) : nullptr;
}

RenderParams* ViewFragment::renderParams(GroupNode* scene) const {
    ViewFragmentNodeData* data = fragmentData();
    return data ? data->renderParams(scene) : nullptr;
}

// ---- what the fragment is seen through --------------------------------------------------

StrongRef<Camera> ViewFragment::camera() const {
    ViewFragmentNodeData* data = fragmentData();
    return data ? data->camera() : StrongRef<Camera>();
}
void ViewFragment::camera(const StrongRef<Camera>& camera) {
    madeFragmentData()->camera(camera);
}

StrongRef<Viewport> ViewFragment::viewport() const {
    ViewFragmentNodeData* data = fragmentData();
    return data ? data->viewport() : StrongRef<Viewport>();
}
void ViewFragment::viewport(const StrongRef<Viewport>& viewport) {
    madeFragmentData()->viewport(viewport);
}

StrongRef<Lighting> ViewFragment::lighting() const {
    ViewFragmentNodeData* data = fragmentData();
    return data ? data->lighting() : StrongRef<Lighting>();
}
void ViewFragment::lighting(const StrongRef<Lighting>& lighting) {
    madeFragmentData()->lighting(lighting);
}

bool ViewFragment::supportSelectBackground() const {
    ViewFragmentNodeData* data = fragmentData();
    return data ? data->supportSelectBackground() : true;
}
void ViewFragment::supportSelectBackground(bool on) {
    madeFragmentData()->supportSelectBackground(on);
}

std::wstring ViewFragment::name() const {
    ViewFragmentNodeData* data = fragmentData();
    return data ? data->name() : std::wstring();
}
void ViewFragment::name(const std::wstring& name) {
    madeFragmentData()->name(name);
}

void ViewFragment::dependentFragment(const StrongRef<ViewFragment>& other) {
    if (other && leadsBackTo(this, other))
        return;
    m_dependent = other;
    madeFragmentData()->dependentFragmentNode(other ? other->viewFragmentNode() : nullptr);
}

SceneAssetAdapter* ViewFragment::sceneAssetAdapter() const {
    ViewFragmentNodeData* data = fragmentData();
    return data ? data->sceneAssetAdapter() : nullptr;
}

Brio::BBox ViewFragment::bounds() const {
    if (m_dependent)
        return m_dependent->bounds();
    Brio::BBox result;
    if (!m_node)
        return result;
    ObjectManager::get()->syncChanges();
    const Lumo::Objects::AutoPtr<GroupNode> node = m_node; // a sync may let go of it meanwhile
    const Lumo::Objects::SBox3 box = BoxWalk().run(node);
    if (box.IsEmpty())
        return result;
    result.extend(Brio::Point3f(float(box.Min().x), float(box.Min().y), float(box.Min().z)));
    result.extend(Brio::Point3f(float(box.Max().x), float(box.Max().y), float(box.Max().z)));
    return result;
}

} // namespace Brio::Scene
