#include <Lumo/Graphics/HWPickAgent.h>

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/DrawManager.h>
#include <Lumo/Devices/GLDevice.h>
#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Graphics/ARenderNode.h>
#include <Lumo/Graphics/FacetIntersection.h>
#include <Lumo/Graphics/MeshBVH.h>
#include <Lumo/Graphics/SWPickAgent.h>
#include <Lumo/Graphics/ScriptPipeRenderer.h>
#include <Lumo/Graphics/TraversalState.h>
#include <Lumo/Objects/ADevMatrix.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace Lumo::Graphics {

LUMO_DEFINE_CLASS(HWPickAgent, AAgent)

using mat4d = Lumo::Objects::mat4<double>;
using vec3d = Lumo::Objects::vec3<double>;
using vec4d = Lumo::Objects::vec4<double>;
using Lumo::Objects::AutoPtr;

HWPickAgent::HWPickAgent() = default;
HWPickAgent::~HWPickAgent() = default;

void HWPickAgent::Forget() {
    m_records.clear(); // lets the walk's pool have its items back
    m_setup = nullptr;
}

bool HWPickAgent::BeginPass(Lumo::Devices::ADrawContext&) {
    Forget();
    m_drawn = 0;
    Lumo::Objects::ARefCounted* p = Renderer() ? Renderer()->Parameter(SWPickAgent::SetupName()) : nullptr;
    m_setup = p ? static_cast<PickSetup*>(p->GetInterface(PickSetup::StaticClassName())) : nullptr;
    return false;
}

int HWPickAgent::Process(Lumo::Devices::ADrawContext&, TraversalState& state) {
    if (!m_setup || !m_setup->out || !state.Pickable())
        return eAgentContinue;
    const PickSetup& s = *m_setup;
    const bool window = !s.point && !s.crossing;
    std::vector<AutoPtr<ARenderNode>> path;
    for (int i = 0; i < state.NodeItemCount(); ++i) {
        Lumo::Devices::RenderItem* item = state.NodeItem(i);
        Lumo::Devices::SimpleMesh* mesh = item ? item->Mesh() : nullptr;
        if (!mesh)
            continue;
        const mat4d world = item->WorldMatrix() ? item->WorldMatrix()->Matrix().Cast<double>() : mat4d::Identity();
        if (window) {
            // A window holds only what lies wholly inside it, seen or not.
            AutoPtr<MeshBVH> bvh = MeshBVH::For(*mesh);
            if (!bvh ||
                bvh->Contain(world * s.viewProj, s.rect[0], s.rect[1], s.rect[2], s.rect[3], false) != MeshBVH::eInside)
                continue;
        }
        if (path.empty())
            for (const TraversalState* t = &state; t; t = t->Parent())
                if (t->RenderNode())
                    path.emplace_back(t->RenderNode());
        Record r;
        r.item = item;
        r.mesh = mesh;
        r.world = world;
        r.path.assign(path.rbegin(), path.rend());
        m_records.push_back(std::move(r));
    }
    return eAgentContinue;
}

void HWPickAgent::EndPass(Lumo::Devices::ADrawContext& dc, AWorld*) {
    if (!m_setup || !m_setup->out || m_records.empty()) {
        Forget();
        return;
    }
    auto* device = dc.VirtualDevice();
    auto* gl =
        device ? static_cast<Lumo::Devices::GLDevice*>(device->GetInterface(Lumo::Devices::GLDevice::StaticClassName()))
               : nullptr;
    if (!gl) {
        Forget(); // nothing to draw ids with: a GPU-free pick reports nothing here
        return;
    }
    const PickSetup& s = *m_setup;

    // The region in pixels, at least one, scaled down (aspect kept) past the cap.
    double w = 1, h = 1;
    if (s.point) {
        const double side = 2.0 * std::floor(s.toleranceX * s.windowW / 2.0) + 1.0;
        w = h = side;
    } else {
        w = (s.rect[2] - s.rect[0]) / 2.0 * s.windowW;
        h = (s.rect[3] - s.rect[1]) / 2.0 * s.windowH;
    }
    w = std::max(1.0, std::round(w));
    h = std::max(1.0, std::round(h));
    if (const double over = std::max(w, h) / kMaxSide; over > 1) {
        w = std::max(1.0, std::floor(w / over));
        h = std::max(1.0, std::floor(h / over));
    }
    const int width = int(w), height = int(h);

    std::vector<Lumo::Devices::RenderItem*> items;
    items.reserve(m_records.size());
    for (const Record& r : m_records)
        items.push_back(r.item.get());
    std::vector<std::uint32_t> ids;
    std::vector<float> depth;
    if (!gl->Draw().DrawIds(dc, items, width, height, ids, depth)) {
        Forget();
        return;
    }
    m_drawn = int(items.size());

    // Each id's nearest pixel: the point reported is the front of what is seen.
    constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();
    std::vector<std::size_t> nearest(m_records.size(), kNone);
    for (std::size_t p = 0; p < ids.size(); ++p) {
        const std::uint32_t id = ids[p];
        if (id == 0 || id > m_records.size())
            continue;
        std::size_t& best = nearest[id - 1];
        if (best == kNone || depth[p] < depth[best])
            best = p;
    }
    const mat4d viewProj = (dc.ViewMatrix() * dc.ProjMatrix()).Cast<double>();
    mat4d toWorld;
    const bool invertible = viewProj.Inverse(toWorld);
    for (std::size_t i = 0; i < m_records.size(); ++i) {
        if (nearest[i] == kNone)
            continue;
        const Record& r = m_records[i];
        const std::size_t p = nearest[i];
        const double z = depth[p];
        vec3d at;
        const vec4d q = toWorld.Transform(vec4d((double(p % std::size_t(width)) + 0.5) / width * 2.0 - 1.0,
                                                (double(p / std::size_t(width)) + 0.5) / height * 2.0 - 1.0, z, 1.0));
        if (invertible && q.w != 0) {
            at = vec3d(q.x / q.w, q.y / q.w, q.z / q.w);
        } else {
            const auto box = r.mesh->Box();
            at = r.world.TransformPoint(
                {(box.Min().x + box.Max().x) / 2, (box.Min().y + box.Max().y) / 2, (box.Min().z + box.Max().z) / 2});
        }
        AutoPtr<IIntersection> hit(
            FacetIntersection::Make(r.path.empty() ? nullptr : r.path.back().get(), r.mesh, -1, {0, 0}, at, z));
        hit->WorldMatrix(r.world);
        hit->Path(r.path);
        s.out->Add(hit.get());
    }
    Forget();
}

} // namespace Lumo::Graphics
