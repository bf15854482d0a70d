#include <Scene/View/FragmentCallbacks.h>

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Graphics/ScriptInterpreter.h>
#include <Lumo/Graphics/TraversalState.h>
#include <Lumo/Graphics/TraversalStateList.h>
#include <Scene/Attributes/TraversalState.h>

#include <algorithm>
#include <numeric>

namespace Brio::Scene {

using Lumo::Devices::FragmentValue;
using Lumo::Graphics::TraversalStateList;

LUMO_DEFINE_CLASS(TwoSidedProcessor, Lumo::Graphics::IScriptCallback)
LUMO_DEFINE_CLASS(SortRenderListByZ, Lumo::Graphics::IScriptCallback)
LUMO_DEFINE_CLASS(MergeRenderLists, Lumo::Graphics::IScriptCallback)
LUMO_DEFINE_CLASS(SetClippingPlane, Lumo::Graphics::IScriptCallback)

namespace {
TraversalStateList* ListArg(std::vector<FragmentValue>& args, size_t i) {
    return i < args.size() ? args[i].As<TraversalStateList>() : nullptr;
}
Lumo::Scene::TraversalState* SceneState(const Lumo::Graphics::TraversalState& s) {
    auto* c = s.ClientState(Lumo::Scene::TraversalState::StaticClassName());
    return c ? static_cast<Lumo::Scene::TraversalState*>(
                   c->GetInterface(Lumo::Scene::TraversalState::StaticClassName()))
             : nullptr;
}
} // namespace

bool TwoSidedProcessor::Execute(Lumo::Graphics::ScriptInterpreter&, std::vector<FragmentValue>& args) {
    TraversalStateList *in = ListArg(args, 0), *front = ListArg(args, 1), *back = ListArg(args, 2);
    if (!in || !front || !back)
        return false;
    front->Clear();
    back->Clear();
    for (int i = 0; i < in->Count(); ++i) {
        front->Add(in->At(i));
        back->Add(in->At(i));
    }
    return true;
}

bool SortRenderListByZ::Execute(Lumo::Graphics::ScriptInterpreter& interpreter, std::vector<FragmentValue>& args) {
    TraversalStateList* list = ListArg(args, 0);
    if (!list)
        return false;
    const int n = list->Count();
    if (n < 2)
        return true;
    // Eye depth of each state's box centre: the view matrix's third column (the device's eye
    // looks along +z), larger is farther.
    const auto& v = interpreter.DrawContext().ViewMatrix();
    struct Key {
        double depth;
        int group, order, layer;
    };
    std::vector<Key> keys(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const auto& s = list->At(i);
        const auto c = s.CurrentBox().IsEmpty() ? Lumo::Objects::vec3<double>() : s.CurrentBox().Center();
        Key& k = keys[size_t(i)];
        k.depth = c.x * v.m[0][2] + c.y * v.m[1][2] + c.z * v.m[2][2] + v.m[3][2];
        Lumo::Scene::TraversalState* scene = SceneState(s);
        k.group = scene ? scene->Group() : 0;
        k.order = scene ? scene->OrderInTransparentGroup() : 0;
        k.layer = scene ? scene->TransparentLayer() : 0;
    }
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    // Lower layers first; within a layer far to near; a group keeps its members together at
    // the place of its farthest member, in their order within the group.
    std::vector<double> groupDepth(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        groupDepth[size_t(i)] = keys[size_t(i)].depth;
        if (keys[size_t(i)].group)
            for (int j = 0; j < n; ++j)
                if (keys[size_t(j)].group == keys[size_t(i)].group && keys[size_t(j)].layer == keys[size_t(i)].layer)
                    groupDepth[size_t(i)] = std::max(groupDepth[size_t(i)], keys[size_t(j)].depth);
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const Key &ka = keys[size_t(a)], &kb = keys[size_t(b)];
        if (ka.layer != kb.layer)
            return ka.layer < kb.layer;
        if (groupDepth[size_t(a)] != groupDepth[size_t(b)])
            return groupDepth[size_t(a)] > groupDepth[size_t(b)];
        if (ka.group != kb.group)
            return ka.group < kb.group;
        if (ka.group && ka.order != kb.order)
            return ka.order < kb.order;
        return ka.depth > kb.depth;
    });
    list->Reorder(order);
    return true;
}

bool MergeRenderLists::Execute(Lumo::Graphics::ScriptInterpreter&, std::vector<FragmentValue>& args) {
    TraversalStateList *to = ListArg(args, 0), *from = ListArg(args, 1);
    if (!to)
        return false;
    if (!from || from == to)
        return true; // nothing to add
    for (int i = 0; i < from->Count(); ++i)
        to->Add(from->At(i));
    return true;
}

bool SetClippingPlane::Execute(Lumo::Graphics::ScriptInterpreter& interpreter, std::vector<FragmentValue>& args) {
    if (args.empty() || args[0].kind != FragmentValue::eText)
        return false;
    auto& planes = interpreter.DrawContext().ClippingPlanes();
    if (args[0].text == L"set") {
        if (args.size() < 2 || args[1].kind != FragmentValue::eFloat4)
            return false;
        m_saved = planes;
        m_hasSaved = true;
        planes.push_back({args[1].f[0], args[1].f[1], args[1].f[2], args[1].f[3]});
        return true;
    }
    if (m_hasSaved)
        planes = m_saved;
    m_hasSaved = false;
    return true;
}

} // namespace Brio::Scene
