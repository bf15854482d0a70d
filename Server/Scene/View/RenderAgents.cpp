// The scene library's render agents and its level-of-detail strategy.
#include <Scene/View/DeferringAgent.h>
#include <Scene/View/EdgeProcessAgent.h>
#include <Scene/View/FacetOrderAgent.h>
#include <Scene/View/LODAgent.h>
#include <Scene/View/LODStrategy.h>
#include <Scene/View/MultiPassFilterAgent.h>
#include <Scene/View/SliceAgent.h>
#include <Scene/View/SliceCapAgent.h>
#include <Scene/View/VisibilityAgent.h>
#include <Scene/View/VisualStyleAgent.h>

#include <Brio/Base/MultiThreadOptionGroup.h>
#include <Lumo/Devices/ADepthStencilState.h>
#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Devices/SolidEffectInstance.h>
#include <Lumo/Graphics/ARenderNode.h>
#include <Lumo/Graphics/BaseGroupNode.h>
#include <Lumo/Graphics/ScriptPipeRenderer.h>
#include <Lumo/Graphics/TraversalState.h>
#include <Lumo/Graphics/TraversalStateList.h>
#include <Lumo/Objects/UString.h>
#include <Scene/Attributes/TraversalState.h>
#include <Scene/Change/NodeData.h>
#include <Scene/Change/SceneAttachment.h>
#include <Scene/Change/SceneNodes.h>
#include <Scene/Environment/Environment.h>
#include <Scene/Environment/EnvironmentManager.h>
#include <Scene/Nodes/LODGeometryNode.h>
#include <Scene/Nodes/SceneWalk.h>

#include <cmath>

namespace Brio::Scene {

using Lumo::Graphics::eAgentContinue;
using Lumo::Graphics::eAgentRemove;
using Lumo::Objects::Intern;

namespace {
/// The scene state of a walk's state, when the walk carries one.
Lumo::Scene::TraversalState* SceneState(Lumo::Graphics::TraversalState& s) {
    auto* c = s.ClientState(Lumo::Scene::TraversalState::StaticClassName());
    return c ? static_cast<Lumo::Scene::TraversalState*>(
                   c->GetInterface(Lumo::Scene::TraversalState::StaticClassName()))
             : nullptr;
}
std::uint32_t ClientTypeOf(Lumo::Graphics::ARenderNode* node) {
    NodeData* data = node ? nodeData(node) : nullptr;
    return data ? data->clientType() : 0;
}
bool HasNodeData(Lumo::Graphics::ARenderNode* node) {
    return node && nodeData(node);
}
/// Whether the device shares drawing among threads; the OpenGL devices here draw on one.
bool DeviceDrawsOnThreads() {
    return false;
}
} // namespace

// ---- deferred lists -------------------------------------------------------------------

LUMO_DEFINE_CLASS(DeferringAgent, Lumo::Graphics::AAgent)

DeferringAgent::DeferringAgent() : m_list(Lumo::Graphics::TraversalStateList::Make()) {}
DeferringAgent::~DeferringAgent() = default;

bool DeferringAgent::BeginPass(Lumo::Devices::ADrawContext&) {
    m_next.store(0);
    m_list->Clear();
    return false;
}

void DeferringAgent::EndPass(Lumo::Devices::ADrawContext&, Lumo::Graphics::AWorld*) {
    m_list->Clear();
    m_next.store(0);
}

Lumo::Graphics::TraversalState* DeferringAgent::GetDeferred(Lumo::Devices::ADrawContext&) {
    const int index = m_next.fetch_add(1);
    if (index >= m_list->Count()) {
        m_next.store(m_list->Count()); // keeps the index from running away on repeated calls
        return nullptr;
    }
    return &m_list->At(index);
}

int DeferringAgent::DeferredCount() const {
    return m_list->Count();
}

int DeferringAgent::Defer(const Lumo::Graphics::TraversalState& state) {
    m_list->Add(state);
    return eAgentRemove;
}

// ---- visibility -----------------------------------------------------------------------

LUMO_DEFINE_CLASS(VisibilityAgent, Lumo::Graphics::AAgent)

int VisibilityAgent::Process(Lumo::Devices::ADrawContext&, Lumo::Graphics::TraversalState& state) {
    Lumo::Scene::TraversalState* c = SceneState(state);
    if (c && !c->Visibility()) {
        Lumo::Graphics::ARenderNode* node = state.RenderNode();
        if (!(c->IsRefTwig() && node && node->AsGroup()))
            return eAgentRemove;
    }
    return eAgentContinue;
}

// ---- multi-pass filter ----------------------------------------------------------------

LUMO_DEFINE_CLASS(MultiPassFilterAgent, Lumo::Graphics::AAgent)

MultiPassFilterAgent::MultiPassFilterAgent() {
    DeclareInput(Intern(L"InFacesPass1"));
    DeclareInput(Intern(L"FilterFaces"));
}

bool MultiPassFilterAgent::BeginPass(Lumo::Devices::ADrawContext&) {
    m_inFacesPass1 = Input(Intern(L"InFacesPass1"), true);
    m_filterFaces = Input(Intern(L"FilterFaces"), true);
    return false;
}

int MultiPassFilterAgent::Process(Lumo::Devices::ADrawContext&, Lumo::Graphics::TraversalState& state) {
    Lumo::Graphics::ARenderNode* node = state.RenderNode();
    const std::uint32_t ct = ClientTypeOf(node);
    if (!m_inFacesPass1)
        return m_filterFaces && HasNodeData(node) && ct == 16 ? eAgentRemove : eAgentContinue;
    if (HasNodeData(node)) {
        if (ct == 32 || ct == 0x10000000)
            return eAgentRemove;
        if (ct == 16) {
            if (Lumo::Scene::TraversalState* c = SceneState(state)) {
                const int level = state.GeomLOD();
                if (c->IsDecalGeometry())
                    state.GeomLOD(13);
                else if (c->IsHighQualityVisualAnalysis())
                    state.GeomLOD(level > 8 && level < 12 ? 13 : level >= 12 ? 15 : 11);
            }
        }
    }
    // Curvature-map faces are supplied by their sources through the analysis pass.
    Lumo::Scene::TraversalState* c = SceneState(state);
    if (c && c->GetCurvatureMapEffect() && ct == 16)
        return eAgentRemove;
    return eAgentContinue;
}

// ---- edges ----------------------------------------------------------------------------

LUMO_DEFINE_CLASS(EdgeProcessAgent, DeferringAgent)

EdgeProcessAgent::EdgeProcessAgent() {
    DeclareInput(Intern(L"InFacesPass2"));
    DeclareInput(Intern(L"DrawEdgeInFacesPass"));
}
EdgeProcessAgent::~EdgeProcessAgent() = default;

bool EdgeProcessAgent::BeginPass(Lumo::Devices::ADrawContext& dc) {
    DeferringAgent::BeginPass(dc);
    m_inFacesPass2 = Input(Intern(L"InFacesPass2"), true);
    m_drawInFacesPass = Input(Intern(L"DrawEdgeInFacesPass"), true);
    // The edge colour of the active environment; a dark grey without one.
    Lumo::Objects::vec4<float> color(0.08f, 0.08f, 0.1f, 1.0f);
    if (Environment* env = EnvironmentManager::getEnvManager()->activeEnvironment()) {
        const Brio::Color& c = env->modeledgeColor();
        color = {c.red(), c.green(), c.blue(), 1.0f};
    }
    if (!m_effect || m_effect->Color() != color) {
        m_effect = Lumo::Devices::SolidEffectInstance::Make(dc.VirtualDevice());
        if (m_effect) {
            m_effect->Color(color);
            m_effect->Lighting(false);
            Lumo::Objects::AutoPtr<Lumo::Devices::ADepthStencilState> depth(
                Lumo::Devices::ADepthStencilState::Make(true, true, Lumo::Devices::eCompareLessEqual));
            m_effect->OverrideState(depth.get());
        }
    }
    return false;
}

int EdgeProcessAgent::Process(Lumo::Devices::ADrawContext&, Lumo::Graphics::TraversalState& state) {
    const bool edge = HasNodeData(state.RenderNode()) && ClientTypeOf(state.RenderNode()) == 32;
    if (!edge)
        return m_inFacesPass2 ? eAgentContinue : eAgentRemove;
    if (m_effect)
        for (int i = 0; i < state.NodeItemCount(); ++i) {
            Lumo::Devices::RenderItem* item = state.NodeItem(i);
            item->Effect(m_effect);
            item->DepthPriority(item->DepthPriority() + 1);
        }
    if (m_inFacesPass2 && !m_drawInFacesPass)
        return Defer(state);
    return eAgentContinue;
}

// ---- slicing and visual styles (their geometry comes later) ------------------------------

LUMO_DEFINE_CLASS(SliceAgent, Lumo::Graphics::AAgent)
SliceAgent::SliceAgent() = default;
int SliceAgent::Process(Lumo::Devices::ADrawContext&, Lumo::Graphics::TraversalState&) {
    return eAgentContinue;
}

LUMO_DEFINE_CLASS(SliceCapAgent, DeferringAgent)
SliceCapAgent::SliceCapAgent() {
    DeclareInput(Intern(L"DoCapping"));
}
int SliceCapAgent::Process(Lumo::Devices::ADrawContext&, Lumo::Graphics::TraversalState&) {
    return eAgentContinue;
}

LUMO_DEFINE_CLASS(VisualStyleAgent, DeferringAgent)
VisualStyleAgent::VisualStyleAgent() = default;
int VisualStyleAgent::Process(Lumo::Devices::ADrawContext&, Lumo::Graphics::TraversalState&) {
    return eAgentContinue;
}

// ---- facet order ----------------------------------------------------------------------

LUMO_DEFINE_CLASS(FacetOrderAgent, DeferringAgent)

int FacetOrderAgent::Process(Lumo::Devices::ADrawContext&, Lumo::Graphics::TraversalState& state) {
    // The devices here draw on one thread: facets are deferred only where drawing is shared.
    const bool threads = Brio::MultiThreadOptionGroup::get()->multiThreadLumo() && DeviceDrawsOnThreads();
    if (threads && HasNodeData(state.RenderNode()) && ClientTypeOf(state.RenderNode()) == 32)
        return Defer(state);
    return eAgentContinue;
}

// ---- levels of detail -----------------------------------------------------------------

LUMO_DEFINE_CLASS(LODStrategy, Lumo::Graphics::PixelBasedLODStrategy)

int LODStrategy::mapLevel(int l) {
    if (l < 9)
        return 8;
    if (l < 12)
        return 11;
    if (l < 15)
        return 13;
    return l;
}

void LODStrategy::ComputeLOD(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state) {
    Lumo::Graphics::ARenderNode* node = state.RenderNode();
    const std::uint32_t ct = ClientTypeOf(node);
    if (state.IsSelectionPass() && (ct == 64 || ct == 128 || ct == 0x20000 || ct == 0x40000)) {
        if (auto* lod = static_cast<Lumo::Scene::LODGeometryNode*>(
                node->GetInterface(Lumo::Scene::LODGeometryNode::StaticClassName()))) {
            const int level = lod->FindClosestLOD(state.GeomLOD());
            if (level >= 0)
                state.GeomLOD(level);
            return;
        }
    }
    if (state.CurrentBox().IsEmpty())
        return;
    state.GeomLOD(mapLevel(LevelForPixels(ProjectedPixels(dc, state))));
}

} // namespace Brio::Scene

namespace Lumo::Graphics {

// The class name is the one agent lists use, not the C++ name.
Lumo::Objects::UString* LODAgent::StaticClassName() {
    static Lumo::Objects::UString* name =
        Lumo::Objects::ClassRegistry::Register(Lumo::Objects::Intern(L"TavexLODAgent"), AAgent::StaticClassName());
    return name;
}
Lumo::Objects::UString* LODAgent::ClassName() const {
    return StaticClassName();
}
void* LODAgent::GetInterface(Lumo::Objects::UString* name) {
    return name == StaticClassName() ? static_cast<void*>(this) : AAgent::GetInterface(name);
}

LODAgent::LODAgent() : m_default(PixelBasedLODStrategy::Make()) {}
LODAgent::~LODAgent() = default;

bool LODAgent::BeginPass(Lumo::Devices::ADrawContext& dc) {
    m_strategy = Renderer() ? Renderer()->LODStrategy() : nullptr;
    if (!m_strategy)
        m_strategy = m_default;
    const auto& p = dc.ProjMatrix();
    if (p.m[0][3] != 0 || p.m[1][3] != 0 || p.m[2][3] != 0) {
        // Field of view along the larger side of the viewport.
        const bool tall = dc.ViewportHeight() > dc.ViewportWidth();
        const double m = tall ? p.m[1][1] : p.m[0][0];
        if (m > 0) {
            const double fov = 2.0 * std::atan(1.0 / m);
            dc.InverseUnitExtent(float(0.5 / std::tan(fov / 2.0)));
        }
    } else {
        // Orthographic: a unit spans the scale of the larger side.
        const bool tall = dc.ViewportHeight() > dc.ViewportWidth();
        dc.InverseUnitExtent(float((tall ? p.m[1][1] : p.m[0][0]) / 2.0));
    }
    return false;
}

int LODAgent::Process(Lumo::Devices::ADrawContext& dc, TraversalState& state) {
    if (m_strategy)
        m_strategy->ComputeLOD(dc, state);
    return eAgentContinue;
}

} // namespace Lumo::Graphics
