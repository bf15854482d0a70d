#include <Scene/Selection/TavexSWPickAgent.h>

#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Devices/SelectionContext.h>
#include <Lumo/Graphics/ARenderNode.h>
#include <Lumo/Graphics/ScriptPipeRenderer.h>
#include <Lumo/Graphics/SelectionStage.h>
#include <Lumo/Graphics/TraversalState.h>
#include <Lumo/Objects/ADevMatrix.h>

namespace Brio::Scene {

LUMO_DEFINE_CLASS(TavexSWPickAgent, Lumo::Graphics::SWPickAgent)

using Lumo::Objects::AutoPtr;
using mat4d = Lumo::Objects::mat4<double>;

namespace {
template <class T> T* ParameterOf(Lumo::Graphics::ScriptPipeRenderer* r, Lumo::Objects::UString* name) {
    Lumo::Objects::ARefCounted* p = r ? r->Parameter(name) : nullptr;
    return p ? static_cast<T*>(p->GetInterface(T::StaticClassName())) : nullptr;
}
} // namespace

bool TavexSWPickAgent::BeginPass(Lumo::Devices::ADrawContext& dc) {
    m_context = ParameterOf<Lumo::Devices::SelectionContext>(Renderer(), Lumo::Graphics::SelectionStage::ContextName());
    m_list =
        ParameterOf<Lumo::Graphics::IntersectionList>(Renderer(), Lumo::Graphics::SelectionStage::IntersectionsName());
    m_pick = ParameterOf<Lumo::Graphics::PickSetup>(Renderer(), SetupName());
    return SWPickAgent::BeginPass(dc);
}

bool TavexSWPickAgent::BoxInside(const Lumo::Objects::SBox3& box, const mat4d& m, const double rect[4]) {
    if (box.IsEmpty())
        return false;
    for (int i = 0; i < 8; ++i) {
        const Lumo::Objects::vec4<double> p((i & 1) ? box.Max().x : box.Min().x, (i & 2) ? box.Max().y : box.Min().y,
                                            (i & 4) ? box.Max().z : box.Min().z, 1.0);
        const auto c = m.Transform(p);
        if (!(c.w > 0))
            return false;
        const double x = c.x / c.w, y = c.y / c.w;
        if (x < rect[0] || x > rect[2] || y < rect[1] || y > rect[3])
            return false;
    }
    return true;
}

int TavexSWPickAgent::Process(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state) {
    Lumo::Graphics::ARenderNode* node = state.RenderNode();
    if (!node || !state.Pickable())
        return Lumo::Graphics::eAgentRemove;
    Lumo::Graphics::IntersectionList* list = m_pick ? m_pick->out.get() : nullptr;
    if (!list)
        return Lumo::Graphics::eAgentRemove;
    const int before = list->Count();
    // A rectangle that holds the leaf's whole box holds every item of it: no geometry test.
    const bool wholeItems = m_context && (m_context->SelectionLevel() & 1) && !m_context->IsCullBackFace();
    if (!m_pick->point && wholeItems && BoxInside(state.CurrentBox(), m_pick->viewProj, m_pick->rect)) {
        for (int i = 0; i < state.NodeItemCount(); ++i) {
            Lumo::Devices::RenderItem* item = state.NodeItem(i);
            if (!item || !item->Mesh())
                continue;
            const mat4d world = item->WorldMatrix() ? item->WorldMatrix()->Matrix().Cast<double>() : mat4d::Identity();
            AutoPtr<Lumo::Graphics::IIntersection> hit = WholeItemHit(*m_pick, node, item->Mesh(), world);
            hit->WorldMatrix(world);
            hit->Path(PathOf(state));
            list->Add(hit.get());
        }
    } else {
        SWPickAgent::Process(dc, state);
    }
    // Leaves that gave nothing go no further: the agents behind record only what was hit.
    return list->Count() > before ? Lumo::Graphics::eAgentContinue : Lumo::Graphics::eAgentRemove;
}

} // namespace Brio::Scene
