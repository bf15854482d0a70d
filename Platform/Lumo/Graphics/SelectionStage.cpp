#include <Lumo/Graphics/SelectionStage.h>

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/RenderCamera.h>
#include <Lumo/Devices/SelectionContext.h>
#include <Lumo/Devices/SelectionRegion.h>
#include <Lumo/Graphics/ARenderNode.h>
#include <Lumo/Graphics/IIntersection.h>
#include <Lumo/Graphics/SWPickAgent.h>
#include <Lumo/Graphics/ScriptPipeRenderer.h>
#include <Lumo/Objects/UString.h>

#include <algorithm>

namespace Lumo::Graphics {

LUMO_DEFINE_CLASS(SelectionStage, Lumo::Objects::ARefCounted)

using Lumo::Objects::AutoPtr;
using mat4d = Lumo::Objects::mat4<double>;

struct SelectionStage::Impl {
    AutoPtr<Lumo::Devices::ARenderCamera> camera;
    AutoPtr<ARenderNode> world;
    AutoPtr<Lumo::Devices::SelectionContext> context;
    AutoPtr<Lumo::Devices::ISelectionRegion2D> region;
    AutoPtr<IntersectionList> list;
    AutoPtr<ScriptPipeRenderer> pipe;
};

SelectionStage* SelectionStage::Make() {
    return new SelectionStage;
}

SelectionStage::SelectionStage() : m_impl(new Impl) {
    ScriptPipeRenderer::RegisterStockAgents();
    if (ScriptPipeRenderer::AgentList(L"::StdPickAgents").empty())
        ScriptPipeRenderer::DefineAgentList(L"::StdPickAgents",
                                            L"DrawFilterAgent,RealizeBoxAgent,FrustumAgent,SWPickAgent");
    if (ScriptPipeRenderer::AgentList(L"::StdHWPickAgents").empty())
        ScriptPipeRenderer::DefineAgentList(L"::StdHWPickAgents",
                                            L"DrawFilterAgent,RealizeBoxAgent,FrustumAgent,HWPickAgent");
    m_impl->pipe = ScriptPipeRenderer::Make();
    m_impl->pipe->SetAgents(L"::StdPickAgents");
}

void SelectionStage::Initialize(bool software) {
    m_impl->pipe->SetAgents(software ? L"::StdPickAgents" : L"::StdHWPickAgents");
}

Lumo::Objects::UString* SelectionStage::ContextName() {
    static Lumo::Objects::UString* name = Lumo::Objects::Intern(L"Selection Context");
    return name;
}
Lumo::Objects::UString* SelectionStage::IntersectionsName() {
    static Lumo::Objects::UString* name = Lumo::Objects::Intern(L"Intersection List");
    return name;
}
Lumo::Objects::UString* SelectionStage::RegionName() {
    static Lumo::Objects::UString* name = Lumo::Objects::Intern(L"Selection Region");
    return name;
}
Lumo::Devices::ARenderCamera* SelectionStage::Camera() const {
    return m_impl->camera.get();
}
ARenderNode* SelectionStage::World() const {
    return m_impl->world.get();
}
Lumo::Devices::SelectionContext* SelectionStage::Context() const {
    return m_impl->context.get();
}
Lumo::Devices::ISelectionRegion2D* SelectionStage::Region() const {
    return m_impl->region.get();
}

SelectionStage::~SelectionStage() {
    delete m_impl;
}

void SelectionStage::Camera(Lumo::Devices::ARenderCamera* camera) {
    m_impl->camera = camera;
}
void SelectionStage::World(ARenderNode* world) {
    m_impl->world = world;
}
void SelectionStage::Context(Lumo::Devices::SelectionContext* context) {
    m_impl->context = context;
}
void SelectionStage::Region(Lumo::Devices::ISelectionRegion2D* region) {
    m_impl->region = region;
}
void SelectionStage::Intersections(IntersectionList* list) {
    m_impl->list = list;
}
IntersectionList* SelectionStage::Intersections() const {
    return m_impl->list.get();
}
ScriptPipeRenderer& SelectionStage::Pipe() const {
    return *m_impl->pipe;
}

bool SelectionStage::Run(Lumo::Devices::ADrawContext& dc) {
    Impl& s = *m_impl;
    if (!s.world || !s.region || !s.context || !s.list)
        return false;
    double bounds[4];
    if (!s.region->DeviceBounds(bounds))
        return false;
    const Lumo::Objects::mat4<float> view = s.camera ? s.camera->ViewMatrix() : Lumo::Objects::mat4<float>();
    const Lumo::Objects::mat4<float> proj = s.camera ? s.camera->ProjMatrix() : Lumo::Objects::mat4<float>();
    AutoPtr<PickSetup> setup(PickSetup::Make());
    setup->viewProj = view.Cast<double>() * proj.Cast<double>();
    if (!setup->viewProj.Inverse(setup->inverseViewProj))
        return false;
    const auto& window = s.region->WindowSize();
    setup->windowW = window.x;
    setup->windowH = window.y;
    setup->selectionType = s.context->SelectionType();
    if (auto* point = static_cast<Lumo::Devices::PointRegion*>(
            s.region->GetInterface(Lumo::Devices::PointRegion::StaticClassName()))) {
        setup->point = true;
        setup->x = 2.0 * point->Point().x / window.x - 1.0;
        setup->y = 2.0 * point->Point().y / window.y - 1.0;
        setup->toleranceX = 2.0 * double(point->Tolerance()) / window.x;
        auto unproject = [&](double x, double y, double z) {
            const auto q = setup->inverseViewProj.Transform(Lumo::Objects::vec4<double>(x, y, z, 1.0));
            return Lumo::Objects::vec3<double>(q.x / q.w, q.y / q.w, q.z / q.w);
        };
        setup->nearW = unproject(setup->x, setup->y, 0);
        setup->farW = unproject(setup->x, setup->y, 1);
        setup->nearRadius = (unproject(setup->x + setup->toleranceX, setup->y, 0) - setup->nearW).Length();
        setup->farRadius = (unproject(setup->x + setup->toleranceX, setup->y, 1) - setup->farW).Length();
    } else {
        setup->point = false;
        std::copy(bounds, bounds + 4, setup->rect);
    }
    setup->crossing = s.context->SelectionType() != 1;
    setup->cullBack = s.context->IsCullBackFace();
    setup->nearestOnly = s.context->SelectionHint();
    setup->out = s.list;
    setup->region = s.region;
    setup->selectionLevel = s.context->SelectionLevel();

    // The frustum narrowed to the region: the frustum agent then prunes what lies outside it.
    const double w = std::max(1e-12, bounds[2] - bounds[0]), h = std::max(1e-12, bounds[3] - bounds[1]);
    mat4d narrow;
    narrow.m[0][0] = 2.0 / w;
    narrow.m[1][1] = 2.0 / h;
    narrow.m[3][0] = -(bounds[0] + bounds[2]) / w;
    narrow.m[3][1] = -(bounds[1] + bounds[3]) / h;
    const Lumo::Objects::mat4<float> oldView = dc.ViewMatrix(), oldProj = dc.ProjMatrix();
    dc.ViewMatrix(view);
    dc.ProjMatrix((proj.Cast<double>() * narrow).Cast<float>());
    s.pipe->SetParameter(SWPickAgent::SetupName(), setup.get());
    s.pipe->SetParameter(ContextName(), s.context.get());
    s.pipe->SetParameter(IntersectionsName(), s.list.get());
    s.pipe->SetParameter(RegionName(), s.region.get());
    s.pipe->Render(dc, s.world);
    s.pipe->SetParameter(SWPickAgent::SetupName(), nullptr);
    s.pipe->SetParameter(ContextName(), nullptr);
    s.pipe->SetParameter(IntersectionsName(), nullptr);
    s.pipe->SetParameter(RegionName(), nullptr);
    dc.ViewMatrix(oldView);
    dc.ProjMatrix(oldProj);
    if (s.context->SelectionHint())
        s.list->KeepNearest();
    else
        s.list->SortByDepth();
    return true;
}

} // namespace Lumo::Graphics
