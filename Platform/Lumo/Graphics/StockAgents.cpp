#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/DrawManager.h>
#include <Lumo/Devices/EffectInstance.h>
#include <Lumo/Devices/GLDevice.h>
#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Devices/TextureInstance.h>
#include <Lumo/Graphics/ARenderNode.h>
#include <Lumo/Graphics/DrawAgent.h>
#include <Lumo/Graphics/DrawFilterAgent.h>
#include <Lumo/Graphics/FrustumAgent.h>
#include <Lumo/Graphics/HWPickAgent.h>
#include <Lumo/Graphics/RealizeBoxAgent.h>
#include <Lumo/Graphics/RenderFlags.h>
#include <Lumo/Graphics/SWPickAgent.h>
#include <Lumo/Graphics/ScriptPipeRenderer.h>
#include <Lumo/Graphics/ShadowCastingFilterAgent.h>
#include <Lumo/Graphics/StockAgents.h>
#include <Lumo/Graphics/SwapAgent.h>
#include <Lumo/Graphics/TextureAgent.h>
#include <Lumo/Graphics/TransparencyAgent.h>
#include <Lumo/Graphics/TraversalState.h>
#include <Lumo/Graphics/TraversalStateList.h>
#include <Lumo/Objects/ADevMatrix.h>
#include <Lumo/Objects/ClassFactory.h>
#include <Lumo/Objects/UString.h>

#include <mutex>

namespace Lumo::Graphics {

LUMO_DEFINE_CLASS(DrawFilterAgent, AAgent)
LUMO_DEFINE_CLASS(RealizeBoxAgent, AAgent)
LUMO_DEFINE_CLASS(FrustumAgent, AAgent)
LUMO_DEFINE_CLASS(SwapAgent, AAgent)
LUMO_DEFINE_CLASS(TextureAgent, AAgent)
LUMO_DEFINE_CLASS(TransparencyAgent, AAgent)
LUMO_DEFINE_CLASS(DrawAgent, AAgent)
LUMO_DEFINE_CLASS(ShadowCastingFilterAgent, AAgent)

namespace {
Lumo::Devices::DrawManager* DrawManagerOf(Lumo::Devices::ADrawContext& dc) {
    auto* device = dc.VirtualDevice();
    if (!device)
        return nullptr;
    auto* gl = static_cast<Lumo::Devices::GLDevice*>(device->GetInterface(Lumo::Devices::GLDevice::StaticClassName()));
    return gl ? &gl->Draw() : nullptr;
}

template <class T> void RegisterAgent() {
    Lumo::Objects::ClassFactory::Get().Register(T::StaticClassName(),
                                                [] { return static_cast<Lumo::Objects::ARefCounted*>(T::Make()); });
}
} // namespace

void StockAgents::Register() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterAgent<DrawFilterAgent>();
        RegisterAgent<RealizeBoxAgent>();
        RegisterAgent<FrustumAgent>();
        RegisterAgent<SwapAgent>();
        RegisterAgent<TextureAgent>();
        RegisterAgent<TransparencyAgent>();
        RegisterAgent<DrawAgent>();
        RegisterAgent<ShadowCastingFilterAgent>();
        RegisterAgent<SWPickAgent>();
        RegisterAgent<HWPickAgent>();
    });
}

void ScriptPipeRenderer::RegisterStockAgents() {
    StockAgents::Register();
}

int DrawFilterAgent::Process(Lumo::Devices::ADrawContext&, TraversalState& state) {
    ARenderNode* node = state.RenderNode();
    return node && node->Test(eFlagNoDraw) ? eAgentRemove : eAgentContinue;
}

int RealizeBoxAgent::Process(Lumo::Devices::ADrawContext&, TraversalState& state) {
    if (!state.CurrentBox().IsEmpty() || !state.RenderNode())
        return eAgentContinue;
    Lumo::Objects::SBox3 box = state.RenderNode()->WorldBox();
    if (box.IsEmpty())
        return eAgentContinue;
    if (Lumo::Objects::ADevMatrix* world = state.WorldMatrix(); world && !world->IsIdentity())
        box = box.TransformAndRebox(world->Matrix());
    state.CurrentBox(box);
    return eAgentContinue;
}

bool FrustumAgent::BeginPass(Lumo::Devices::ADrawContext& dc) {
    m_viewProjD = dc.ViewMatrix().Cast<double>() * dc.ProjMatrix().Cast<double>();
    m_planes = Planes(m_viewProjD);
    return false;
}

bool FrustumAgent::Outside(const Lumo::Objects::SBox3& box, const Lumo::Objects::mat4<float>& m) {
    return Outside(box, m.Cast<double>());
}

FrustumAgent::Planes::Planes(const Lumo::Objects::mat4<double>& m) {
    // Clip coordinate k of a point is x * m[0][k] + y * m[1][k] + z * m[2][k] + m[3][k].
    auto set = [&](int i, int k, double sk, int l, double sl) {
        for (int r = 0; r < 4; ++r)
            p[i][r] = sk * m.m[r][k] + sl * (l >= 0 ? m.m[r][l] : 0.0);
    };
    set(0, 0, 1, 3, 1);  // x >= -w
    set(1, 3, 1, 0, -1); // x <= w
    set(2, 1, 1, 3, 1);  // y >= -w
    set(3, 3, 1, 1, -1); // y <= w
    set(4, 2, 1, -1, 0); // z >= 0
    set(5, 3, 1, 2, -1); // z <= w
}

bool FrustumAgent::Planes::Outside(const Lumo::Objects::SBox3& box) const {
    if (box.IsEmpty())
        return false;
    const auto &lo = box.Min(), &hi = box.Max();
    for (const auto& q : p) {
        const double most = q[3] + (q[0] > 0 ? q[0] * hi.x : q[0] * lo.x) + (q[1] > 0 ? q[1] * hi.y : q[1] * lo.y) +
                            (q[2] > 0 ? q[2] * hi.z : q[2] * lo.z);
        if (most < 0)
            return true;
    }
    return false;
}

bool FrustumAgent::Outside(const Lumo::Objects::SBox3& box, const Lumo::Objects::mat4<double>& m) {
    return Planes(m).Outside(box);
}

int FrustumAgent::Process(Lumo::Devices::ADrawContext&, TraversalState& state) {
    return m_planes.Outside(state.CurrentBox()) ? eAgentRemove : eAgentContinue;
}

Lumo::Objects::UString* SwapAgent::SwapEffectName() {
    static Lumo::Objects::UString* name = Lumo::Objects::Intern(L"SwapEffect");
    return name;
}

bool SwapAgent::BeginPass(Lumo::Devices::ADrawContext& dc) {
    m_active = false;
    Lumo::Objects::ARefCounted* p = Renderer() ? Renderer()->Parameter(SwapEffectName()) : nullptr;
    auto* effect = p ? static_cast<Lumo::Devices::EffectInstance*>(
                           p->GetInterface(Lumo::Devices::EffectInstance::StaticClassName()))
                     : nullptr;
    if (effect)
        if (auto* draw = DrawManagerOf(dc)) {
            draw->OverrideEffect(effect);
            m_active = true;
        }
    return false;
}

void SwapAgent::EndPass(Lumo::Devices::ADrawContext& dc, AWorld*) {
    if (m_active)
        if (auto* draw = DrawManagerOf(dc))
            draw->OverrideEffect(nullptr);
    m_active = false;
}

int SwapAgent::Process(Lumo::Devices::ADrawContext&, TraversalState&) {
    return eAgentContinue;
}

int TextureAgent::Process(Lumo::Devices::ADrawContext&, TraversalState& state) {
    for (int i = 0; i < state.NodeItemCount(); ++i) {
        Lumo::Devices::EffectInstance* e = state.NodeItem(i)->Effect();
        if (!e)
            continue;
        const auto& values = e->Values();
        for (int k = 0; k < values.Count(); ++k)
            if (values.Type(k) == Lumo::Devices::eParamTexture)
                if (Lumo::Devices::TextureInstance* t = values.GetTexture(k); t && t->IsLocked())
                    return eAgentRemove;
    }
    return eAgentContinue;
}

int TransparencyAgent::Process(Lumo::Devices::ADrawContext& dc, TraversalState& state) {
    TraversalStateList* list = Renderer() ? Renderer()->TransparencyList() : nullptr;
    if (!list)
        return eAgentContinue;
    for (int i = 0; i < state.NodeItemCount(); ++i) {
        Lumo::Devices::EffectInstance* e = state.NodeItem(i)->Effect();
        if (e && e->IsTransparent(&dc)) {
            list->Add(state);
            return eAgentRemove;
        }
    }
    return eAgentContinue;
}

bool DrawAgent::BeginPass(Lumo::Devices::ADrawContext&) {
    m_drawn = 0;
    return false;
}

int DrawAgent::Process(Lumo::Devices::ADrawContext& dc, TraversalState& state) {
    Lumo::Devices::DrawManager* draw = DrawManagerOf(dc);
    if (!draw)
        return eAgentContinue;
    for (int i = 0; i < state.NodeItemCount(); ++i) {
        draw->Draw(state.NodeItem(i));
        ++m_drawn;
    }
    return eAgentContinue;
}

void DrawAgent::EndPass(Lumo::Devices::ADrawContext& dc, AWorld*) {
    if (Lumo::Devices::DrawManager* draw = DrawManagerOf(dc))
        draw->Flush(dc);
}

int ShadowCastingFilterAgent::Process(Lumo::Devices::ADrawContext& dc, TraversalState& state) {
    if (state.RenderNode() && state.RenderNode()->Test(eFlagNoShadow))
        return eAgentRemove;
    if (state.NodeItemCount() == 0)
        return eAgentContinue;
    // Opaque surfaces cast shadows; transparent items and lines or points (edges, wires:
    // too thin to show in a shadow map, and as many draws as the faces) do not.
    for (int i = 0; i < state.NodeItemCount(); ++i) {
        Lumo::Devices::RenderItem* item = state.NodeItem(i);
        auto* mesh = item->Geometry() ? static_cast<Lumo::Devices::SimpleMesh*>(item->Geometry()->GetInterface(
                                            Lumo::Devices::SimpleMesh::StaticClassName()))
                                      : nullptr;
        if (mesh && mesh->PrimitiveType() < Lumo::Devices::ePrimTriangleList)
            continue;
        Lumo::Devices::EffectInstance* e = item->Effect();
        if (!e || !e->IsTransparent(&dc))
            return eAgentContinue;
    }
    return eAgentRemove;
}

} // namespace Lumo::Graphics
