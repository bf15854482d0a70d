#include <Lumo/Graphics/SWPickAgent.h>

#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Graphics/ARenderNode.h>
#include <Lumo/Graphics/EdgeIntersection.h>
#include <Lumo/Graphics/FacetIntersection.h>
#include <Lumo/Graphics/MeshBVH.h>
#include <Lumo/Graphics/ScriptPipeRenderer.h>
#include <Lumo/Graphics/TraversalState.h>
#include <Lumo/Objects/ADevMatrix.h>
#include <Lumo/Objects/UString.h>

#include <algorithm>
#include <cmath>

namespace Lumo::Graphics {

LUMO_DEFINE_CLASS(PickSetup, Lumo::Objects::ARefCounted)
LUMO_DEFINE_CLASS(SWPickAgent, AAgent)

using mat4d = Lumo::Objects::mat4<double>;
using vec3d = Lumo::Objects::vec3<double>;
using Lumo::Objects::AutoPtr;

Lumo::Objects::UString* SWPickAgent::SetupName() {
    static Lumo::Objects::UString* name = Lumo::Objects::Intern(L"Pick Setup");
    return name;
}

bool SWPickAgent::BeginPass(Lumo::Devices::ADrawContext&) {
    Lumo::Objects::ARefCounted* p = Renderer() ? Renderer()->Parameter(SetupName()) : nullptr;
    m_setup = p ? static_cast<PickSetup*>(p->GetInterface(PickSetup::StaticClassName())) : nullptr;
    return false;
}

std::vector<AutoPtr<ARenderNode>> SWPickAgent::PathOf(const TraversalState& state) {
    std::vector<AutoPtr<ARenderNode>> path;
    for (const TraversalState* s = &state; s; s = s->Parent())
        if (s->RenderNode())
            path.emplace_back(s->RenderNode());
    return {path.rbegin(), path.rend()};
}

AutoPtr<IIntersection> SWPickAgent::WholeItemHit(const PickSetup& s, ARenderNode* node, Lumo::Devices::SimpleMesh* mesh,
                                                 const mat4d& world) {
    const auto box = mesh->Box();
    const vec3d centre = world.TransformPoint(
        {(box.Min().x + box.Max().x) / 2, (box.Min().y + box.Max().y) / 2, (box.Min().z + box.Max().z) / 2});
    const auto clip = s.viewProj.Transform(Lumo::Objects::vec4<double>(centre, 1.0));
    return AutoPtr<IIntersection>(
        FacetIntersection::Make(node, mesh, -1, {0, 0}, centre, clip.w != 0 ? clip.z / clip.w : 0));
}

int SWPickAgent::Process(Lumo::Devices::ADrawContext&, TraversalState& state) {
    if (!m_setup || !m_setup->out || !state.Pickable())
        return eAgentContinue;
    const PickSetup& s = *m_setup;
    for (int i = 0; i < state.NodeItemCount(); ++i) {
        Lumo::Devices::RenderItem* item = state.NodeItem(i);
        Lumo::Devices::SimpleMesh* mesh = item ? item->Mesh() : nullptr;
        if (!mesh)
            continue;
        AutoPtr<MeshBVH> bvh = MeshBVH::For(*mesh);
        if (!bvh)
            continue;
        const mat4d world = item->WorldMatrix() ? item->WorldMatrix()->Matrix().Cast<double>() : mat4d::Identity();
        mat4d toLocal;
        if (!world.Inverse(toLocal))
            continue; // a flattened placement has no inside to pick
        ARenderNode* node = state.RenderNode();
        AutoPtr<IIntersection> hit;
        if (s.point) {
            // Local lengths: the placement's scale, taken as the mean of its axes.
            const double scale = std::cbrt(std::abs(world.Determinant()));
            MeshBVH::Ray ray;
            ray.origin = toLocal.TransformPoint(s.nearW);
            ray.direction = toLocal.TransformVector(s.farW - s.nearW);
            ray.radius = scale > 0 ? s.nearRadius / scale : 0;
            ray.slope = scale > 0 ? (s.farRadius - s.nearRadius) / scale : 0;
            MeshBVH::Hit h;
            const double tMax = s.nearestOnly ? std::min(1.0, s.nearestT * (1.0 + 1e-6) + 1e-9) : 1.0;
            if (!bvh->Nearest(ray, tMax, s.cullBack, h))
                continue;
            if (bvh->Kind() == MeshBVH::eFacets && h.t < m_setup->nearestT)
                m_setup->nearestT = h.t;
            const vec3d at = world.TransformPoint(h.point);
            switch (bvh->Kind()) {
            case MeshBVH::eFacets:
                hit = FacetIntersection::Make(node, mesh, h.primitive, {0, 0}, at, h.t);
                hit->Normal(world.TransformVector(h.normal).Normalized());
                break;
            case MeshBVH::eSegments: {
                // The region says where along the edge its point lies, as seen on screen.
                double along = h.u;
                if (auto* region = static_cast<Lumo::Devices::PointRegion*>(
                        s.region ? s.region->GetInterface(Lumo::Devices::PointRegion::StaticClassName()) : nullptr)) {
                    const mat4d toClip = world * s.viewProj;
                    auto screen = [&](const vec3d& p) {
                        const auto c = toClip.Transform(Lumo::Objects::vec4<double>(p.x, p.y, p.z, 1.0));
                        const double w = c.w != 0 ? c.w : 1e-12;
                        return vec3d((c.x / w + 1) / 2 * s.windowW, (c.y / w + 1) / 2 * s.windowH, c.w);
                    };
                    double t = 0;
                    if (region->TestEdgeIntersect(screen(bvh->Corner(h.primitive, 0)),
                                                  screen(bvh->Corner(h.primitive, 1)), t))
                        along = t;
                }
                hit = EdgeIntersection::Make(node, mesh, h.primitive, along, at, h.t);
                break;
            }
            case MeshBVH::ePoints:
                hit = VertexIntersection::Make(node, mesh, h.primitive, at, h.t);
                break;
            }
        } else {
            const MeshBVH::EContainment c =
                bvh->Contain(world * s.viewProj, s.rect[0], s.rect[1], s.rect[2], s.rect[3], s.crossing);
            if (s.crossing ? c == MeshBVH::eOutside : c != MeshBVH::eInside)
                continue;
            hit = WholeItemHit(s, node, mesh, world);
        }
        hit->WorldMatrix(world);
        hit->Path(PathOf(state));
        s.out->Add(hit.get());
    }
    return eAgentContinue;
}

} // namespace Lumo::Graphics
