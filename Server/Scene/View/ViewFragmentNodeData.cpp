#include <Scene/View/ViewFragmentNodeData.h>

#include <Lumo/Devices/RenderCamera.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Objects/SharedMatrix.h>
#include <Scene/Change/SceneNodes.h>
#include <Scene/Environment/Camera.h>
#include <Scene/Environment/Lighting.h>
#include <Scene/Environment/Viewport.h>
#include <Scene/View/ViewNodes.h>

namespace Brio::Scene {

using Lumo::Graphics::GroupNode;
using Lumo::Objects::UString;

namespace {

/// What a resolve pass draws with: one object for the process, cloned into each resolve pass.
RenderParams& resolveParams() {
    static const Lumo::Objects::AutoPtr<RenderParams> params = [] {
        RenderParams* p = RenderParams::make();
        p->renderer(eRendererTransparencyOnly);
        return p;
    }();
    return *params;
}

ViewFragmentPass resolvePass() {
    return ViewFragmentPass(nullptr, nullptr, false, resolveParams().clone());
}

bool isSelectionKind(ERenderer renderer) {
    return renderer >= eRendererSelection && renderer <= eRendererSketchSelectionSimplified;
}

/// Chains of dependent fragments are short; a longer one can only be a cycle.
constexpr int kMaxDependencyDepth = 64;

} // namespace

UString* ViewFragmentNodeData::StaticClassName() {
    static UString* name = Lumo::Objects::Intern(L"ViewFragmentNodeData");
    return name;
}
UString* ViewFragmentNodeData::ClassName() const {
    return StaticClassName();
}
void* ViewFragmentNodeData::GetInterface(UString* name) {
    return name == StaticClassName() ? this : NodeData::GetInterface(name);
}

ViewFragmentNodeData::ViewFragmentNodeData()
    : NodeData(Lumo::Scene::eViewFragmentNode), m_renderCamera(Lumo::Devices::ARenderCamera::Make()) {
    m_renderCamera->AddRef();
}

ViewFragmentNodeData::~ViewFragmentNodeData() {
    m_renderCamera->ReleaseRef();
}

ViewFragmentNodeData* ViewFragmentNodeData::make(GroupNode* node, INodeSource* source) {
    auto* data = new ViewFragmentNodeData;
    data->source(source);
    data->Attach(node, true);
    return data;
}

Lumo::Graphics::ARenderNode* ViewFragmentNodeData::Target() {
    return m_dependentFragmentNode.get();
}

void ViewFragmentNodeData::dependentFragmentNode(GroupNode* node) {
    m_dependentFragmentNode = node;
}

ViewFragmentNodeData* ViewFragmentNodeData::dependedOn() {
    ViewFragmentNodeData* data = this;
    for (int depth = 0; depth < kMaxDependencyDepth && data->m_dependentFragmentNode; ++depth) {
        ViewFragmentNodeData* next = viewFragmentNodeData(data->m_dependentFragmentNode);
        if (!next)
            break;
        data = next;
    }
    return data;
}

StrongRef<Camera> ViewFragmentNodeData::camera() {
    return dependedOn()->m_camera;
}
void ViewFragmentNodeData::camera(const StrongRef<Camera>& camera) {
    m_camera = camera;
}
StrongRef<Viewport> ViewFragmentNodeData::viewport() {
    return dependedOn()->m_viewport;
}
void ViewFragmentNodeData::viewport(const StrongRef<Viewport>& viewport) {
    m_viewport = viewport;
}
StrongRef<Lighting> ViewFragmentNodeData::lighting() {
    return dependedOn()->m_lighting;
}
void ViewFragmentNodeData::lighting(const StrongRef<Lighting>& lighting) {
    m_lighting = lighting;
}

RenderParams* ViewFragmentNodeData::renderParams(int index) const {
    if (index < 0 || index >= static_cast<int>(m_layerPasses.size()))
        return nullptr;
    return m_layerPasses[index].renderParams.get();
}

RenderParams* ViewFragmentNodeData::renderParams(GroupNode* scene) const {
    for (const ViewFragmentPass& pass : m_layerPasses)
        if (pass.scene.get() == scene)
            return pass.renderParams.get();
    return nullptr;
}

int ViewFragmentNodeData::findLayerPassPosition(const Brio::UniqueString* name) const {
    for (std::size_t i = 0; i < m_layerPasses.size(); ++i)
        if (m_layerPasses[i].name == name)
            return static_cast<int>(i);
    return -1;
}

void ViewFragmentNodeData::insertViewFragmentPass(unsigned position, ViewFragmentPass& pass) {
    const std::size_t count = m_layerPasses.size();
    if (position == 0 || position > count + 1)
        return;
    ViewFragmentPass copy = pass;
    if (!copy.renderParams) {
        copy.renderParams = RenderParams::make();
        copy.renderParams->renderer(eRendererLayer);
    }
    // Positions count from 1 in effect: a position names the pass the new one goes behind.
    if (position >= count)
        m_layerPasses.push_back(copy);
    else
        m_layerPasses.insert(m_layerPasses.begin() + position + 1, copy);
    if (copy.selectable)
        m_selectionPasses.push_back(copy);
}

void ViewFragmentNodeData::addViewFragmentPass(ViewFragmentPass& pass) {
    insertViewFragmentPass(static_cast<unsigned>(m_layerPasses.size() + 1), pass);
}

void ViewFragmentNodeData::removeLayerPass(const Brio::UniqueString* name) {
    const int at = findLayerPassPosition(name);
    if (at < 0)
        return;
    const bool selectable = m_layerPasses[at].selectable;
    m_layerPasses.erase(m_layerPasses.begin() + at);
    if (!selectable)
        return;
    for (auto it = m_selectionPasses.begin(); it != m_selectionPasses.end(); ++it)
        if (it->name == name) {
            m_selectionPasses.erase(it);
            return;
        }
}

void ViewFragmentNodeData::viewFragmentRenderingPass(std::vector<ViewFragmentPass>& out) const {
    out.clear();
    bool collecting = false;
    for (const ViewFragmentPass& pass : m_layerPasses) {
        if (!pass.scene)
            continue;
        const RenderParams* params = pass.renderParams.get();
        if (params && isSelectionKind(params->renderer()) && isSelectionFragmentPassEmpty(pass.scene))
            continue;
        if (params && params->renderer() == eRendererLayer && isLayeredFragmentPassEmpty(pass.scene))
            continue;
        // Transparent geometry of a run of collecting passes is resolved once, before the
        // first pass that draws over it.
        if (params && params->transparentCollectionEnabled()) {
            collecting = true;
        } else if (collecting) {
            out.push_back(resolvePass());
            collecting = false;
        }
        out.push_back(pass);
    }
    if (collecting)
        out.push_back(resolvePass());
}

void ViewFragmentNodeData::viewFragmentSelectionPass(std::vector<ViewFragmentPass>& out) const {
    out.clear();
    for (const ViewFragmentPass& pass : m_selectionPasses)
        if (pass.scene && !isLayeredFragmentPassEmpty(pass.scene) && pass.renderParams)
            out.push_back(pass);
}

void ViewFragmentNodeData::updateRenderCamera(Lumo::Objects::SharedMatrix* view,
                                              Lumo::Objects::SharedMatrix* projection) {
    if (!view || !projection)
        return;
    m_renderCamera->ViewMatrix(view->Matrix());
    m_renderCamera->ProjMatrix(projection->Matrix());
}

} // namespace Brio::Scene
