#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Graphics/ARenderNode.h>
#include <Lumo/Graphics/ClientTraversalState.h>
#include <Lumo/Graphics/TraversalState.h>
#include <Lumo/Graphics/WalkPool.h>
#include <Lumo/Objects/ADevMatrix.h>
#include <Lumo/Objects/UString.h>

namespace Lumo::Graphics {

TraversalState::TraversalState() = default;

Lumo::Objects::UString* TraversalState::SelectionStateName() {
    static Lumo::Objects::UString* name = Lumo::Objects::Intern(L"SelectionState");
    return name;
}

TraversalState::~TraversalState() {
    WorldMatrix(nullptr);
}

void TraversalState::WorldMatrix(Lumo::Objects::ADevMatrix* matrix) {
    if (matrix == m_world)
        return;
    if (matrix)
        matrix->AddRef();
    if (m_world)
        m_world->ReleaseRef();
    m_world = matrix;
}

void TraversalState::AddItem(Lumo::Devices::RenderItem* item) {
    if (m_items && item)
        m_items->Add(item);
}

ClientTraversalState* TraversalState::ClientState(Lumo::Objects::UString* name) const {
    for (int i = 0; i < m_activeClients; ++i)
        if (m_clients[i].first == name)
            return m_clients[i].second.get();
    return nullptr;
}

void TraversalState::ClientState(Lumo::Objects::UString* name, ClientTraversalState* state) {
    for (int i = 0; i < m_activeClients; ++i)
        if (m_clients[i].first == name) {
            m_clients[i].second = state;
            return;
        }
    if (m_activeClients < int(m_clients.size()))
        m_clients[m_activeClients] = {name, state};
    else
        m_clients.emplace_back(name, state);
    ++m_activeClients;
}

void TraversalState::BeginRoot(ARenderNode* node) {
    m_node = node;
    m_parent = nullptr;
    WorldMatrix(nullptr);
    m_box = {};
    m_lodRadius = 0.0;
    m_geomLOD = 15;
    m_depthPriority = 0;
    m_pickable = true;
    m_nodeItemStart = m_items ? m_items->Count() : 0;
}

void TraversalState::DrawInput(
    const Lumo::Objects::_ArrayList<Lumo::Objects::ARefCounted*, Lumo::Objects::RefCountedLifetime>& items) {
    if (!m_items)
        return;
    while (m_items->Count() > m_nodeItemStart)
        m_items->RemoveAt(m_items->Count() - 1);
    for (Lumo::Objects::ARefCounted* object : items) {
        auto* item = static_cast<Lumo::Devices::RenderItem*>(object);
        Lumo::Objects::AutoPtr<Lumo::Devices::RenderItem> placed = WalkPool::Copy(m_pool, *item);
        placed->WorldMatrix(m_world);
        m_items->Add(placed);
    }
}

void TraversalState::DropNodeItems() {
    if (!m_items)
        return;
    while (m_items->Count() > m_nodeItemStart)
        m_items->RemoveAt(m_items->Count() - 1);
}

void TraversalState::CopyFrom(const TraversalState& other) {
    if (&other == this)
        return;
    m_node = other.m_node;
    m_heldNode = other.m_node;
    m_parent = nullptr;
    WorldMatrix(other.m_world);
    m_box = other.m_box;
    m_lodRadius = other.m_lodRadius;
    m_geomLOD = other.m_geomLOD;
    m_depthPriority = other.m_depthPriority;
    m_pickable = other.m_pickable;
    m_ownItems.Truncate(0);
    for (int i = 0; i < other.NodeItemCount(); ++i)
        m_ownItems.Add(other.NodeItem(i));
    m_items = &m_ownItems;
    m_nodeItemStart = 0;
    TakeClients(other, false);
}

void TraversalState::Release() {
    WorldMatrix(nullptr);
    m_ownItems.Truncate(0);
    if (m_items == &m_ownItems)
        m_items = nullptr;
    for (auto& c : m_clients)
        c.second = nullptr;
    m_activeClients = 0;
    m_node = nullptr;
    m_heldNode = nullptr;
}

void TraversalState::BeginChild(TraversalState& parent, ARenderNode* node) {
    m_node = node;
    m_parent = &parent;
    WorldMatrix(parent.m_world);
    m_box = {};
    m_lodRadius = parent.m_lodRadius;
    m_geomLOD = parent.m_geomLOD;
    m_depthPriority = parent.m_depthPriority;
    m_pickable = parent.m_pickable;
    m_items = parent.m_items;
    m_pool = parent.m_pool;
    m_nodeItemStart = m_items ? m_items->Count() : 0;
    TakeClients(parent, true);
}

void TraversalState::TakeClients(const TraversalState& from, bool asChild) {
    // Pooled states keep their client objects between uses: reset or copy, do not reallocate.
    const int n = from.m_activeClients;
    for (int i = 0; i < n; ++i) {
        auto& [name, source] = from.m_clients[i];
        if (i >= int(m_clients.size()))
            m_clients.emplace_back(name, nullptr);
        auto& slot = m_clients[i];
        if (slot.first != name || !slot.second) {
            slot.first = name;
            slot.second = source->Acquire();
        }
        if (asChild)
            slot.second->Reset(source.get());
        else
            slot.second->CopyFrom(source.get());
    }
    m_activeClients = n;
}

} // namespace Lumo::Graphics
