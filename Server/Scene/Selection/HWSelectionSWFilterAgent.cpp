#include <Scene/Selection/HWSelectionSWFilterAgent.h>

#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Devices/SelectionContext.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Graphics/MeshBVH.h>
#include <Lumo/Graphics/SWPickAgent.h>
#include <Lumo/Graphics/ScriptPipeRenderer.h>
#include <Lumo/Graphics/TraversalState.h>
#include <Lumo/Objects/ADevMatrix.h>
#include <Scene/Selection/TavexSWPickAgent.h>

namespace Brio::Scene {

LUMO_DEFINE_CLASS(HWSelectionSWFilterAgent, Lumo::Graphics::AAgent)

using mat4d = Lumo::Objects::mat4<double>;

void HWSelectionSWFilterAgent::arm(Lumo::Devices::SelectionContext* context) {
    m_context = context;
    m_armed = true;
}

void HWSelectionSWFilterAgent::disarm() {
    m_context = nullptr;
    m_armed = false;
}

bool HWSelectionSWFilterAgent::BeginPass(Lumo::Devices::ADrawContext&) {
    Lumo::Objects::ARefCounted* p =
        Renderer() ? Renderer()->Parameter(Lumo::Graphics::SWPickAgent::SetupName()) : nullptr;
    m_pick = p ? static_cast<Lumo::Graphics::PickSetup*>(p->GetInterface(Lumo::Graphics::PickSetup::StaticClassName()))
               : nullptr;
    return false;
}

int HWSelectionSWFilterAgent::Process(Lumo::Devices::ADrawContext&, Lumo::Graphics::TraversalState& state) {
    using Lumo::Graphics::eAgentContinue;
    using Lumo::Graphics::eAgentRemove;
    if (!m_armed)
        return eAgentContinue;
    if (!m_context || !m_pick)
        return eAgentRemove;
    if (!state.RenderNode() || !state.Pickable())
        return eAgentRemove;
    if (TavexSWPickAgent::BoxInside(state.CurrentBox(), m_pick->viewProj, m_pick->rect))
        return eAgentContinue;
    // Otherwise every item's geometry must lie inside the rectangle, as a window pick asks.
    for (int i = 0; i < state.NodeItemCount(); ++i) {
        Lumo::Devices::RenderItem* item = state.NodeItem(i);
        Lumo::Devices::SimpleMesh* mesh = item ? item->Mesh() : nullptr;
        if (!mesh)
            continue;
        Lumo::Objects::AutoPtr<Lumo::Graphics::MeshBVH> bvh = Lumo::Graphics::MeshBVH::For(*mesh);
        if (!bvh)
            return eAgentRemove;
        const mat4d world = item->WorldMatrix() ? item->WorldMatrix()->Matrix().Cast<double>() : mat4d::Identity();
        const double* r = m_pick->rect;
        if (bvh->Contain(world * m_pick->viewProj, r[0], r[1], r[2], r[3], false) != Lumo::Graphics::MeshBVH::eInside)
            return eAgentRemove;
    }
    return eAgentContinue;
}

} // namespace Brio::Scene
