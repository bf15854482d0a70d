#include <Scene/Selection/SelectionOutputAgent.h>

#include <Lumo/Graphics/ARenderNode.h>
#include <Lumo/Graphics/IIntersection.h>
#include <Lumo/Graphics/TraversalState.h>
#include <Scene/Attributes/SelectionQualifier.h>
#include <Scene/Attributes/SliceCapAttribute.h>
#include <Scene/Attributes/TraversalState.h>
#include <Scene/Nodes/SceneWalk.h>

#include <cstdio>

namespace Brio::Scene {

LUMO_DEFINE_CLASS(SelectionOutputAgent, Lumo::Graphics::AAgent)

namespace {
/// "0x<node>;" then "0x<each node of the path>;", the identities in hexadecimal.
template <class Nodes> std::string KeyOf(const void* node, const Nodes& path) {
    std::string key;
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%zx;", reinterpret_cast<std::size_t>(node));
    key += buf;
    for (const auto* n : path) {
        std::snprintf(buf, sizeof buf, "0x%zx;", reinterpret_cast<std::size_t>(n));
        key += buf;
    }
    return key;
}
} // namespace

int SelectionOutputAgent::Process(Lumo::Devices::ADrawContext&, Lumo::Graphics::TraversalState& state) {
    Lumo::Scene::TraversalState* scene = Lumo::Scene::SceneWalk::State(state);
    std::vector<const Lumo::Graphics::ARenderNode*> path;
    for (const Lumo::Graphics::TraversalState* s = &state; s; s = s->Parent())
        if (s->RenderNode())
            path.insert(path.begin(), s->RenderNode());
    Record r;
    if (scene) {
        r.selectable = scene->Selectability();
        r.selectionPriority = scene->SelectionPriority();
        r.depthPriority = scene->DepthPriority();
        r.qualifier = scene->GetSelectionQualifier();
        r.selectability = scene->GetAttribute(Lumo::Scene::eSelectability);
        if (auto* slice = static_cast<Lumo::Scene::SliceCapAttribute*>(scene->GetAttribute(Lumo::Scene::eSliceCap)))
            if (slice->GetSectionType() == 1) {
                r.halfSection = true;
                r.plane = slice->GetClippingPlane1();
            }
    }
    Lumo::Objects::Threads::MutexLocker lock(m_mutex);
    m_records[KeyOf(state.RenderNode(), path)] = std::move(r);
    return Lumo::Graphics::eAgentContinue;
}

const SelectionOutputAgent::Record* SelectionOutputAgent::find(const Lumo::Graphics::IIntersection& hit) const {
    std::vector<const Lumo::Graphics::ARenderNode*> path;
    for (const auto& n : hit.Path())
        path.push_back(n.get());
    Lumo::Objects::Threads::MutexLocker lock(m_mutex);
    auto it = m_records.find(KeyOf(hit.Node(), path));
    return it == m_records.end() ? nullptr : &it->second;
}

void SelectionOutputAgent::clear() {
    Lumo::Objects::Threads::MutexLocker lock(m_mutex);
    m_records.clear();
}

} // namespace Brio::Scene
