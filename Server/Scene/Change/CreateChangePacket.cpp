#include <Scene/Change/CreateChangePacket.h>

#include <Lumo/Graphics/ARenderNode.h>

#include <atomic>
#include <cstdint>

namespace Brio::Scene {

using Lumo::Graphics::ARenderNode;
using Lumo::Objects::UString;

namespace {
std::atomic<std::uint64_t> g_nextId{1};

UString* syncKey() {
    static UString* key = Lumo::Objects::Intern(L"SyncID");
    return key;
}
} // namespace

UString* CreateChangePacket::StaticClassName() {
    static UString* name = Lumo::Objects::Intern(L"Brio::Scene::CreateChangePacket");
    return name;
}
UString* CreateChangePacket::ClassName() const {
    return StaticClassName();
}
void* CreateChangePacket::GetInterface(UString* name) {
    return name == StaticClassName() ? static_cast<void*>(this) : IChangePacket::GetInterface(name);
}

std::uint64_t CreateChangePacket::GetUniqueNodeID() {
    return g_nextId.fetch_add(1, std::memory_order_relaxed);
}
void CreateChangePacket::ResetUniqueNodeID() {
    g_nextId.store(1, std::memory_order_relaxed);
}

bool CreateChangePacket::hasSyncId(ARenderNode* node) {
    return node && node->HasAttachment(syncKey());
}

std::uint64_t CreateChangePacket::syncId(ARenderNode* node) {
    if (!node)
        return 0;
    // The id is the attachment's value itself; nothing is allocated for it.
    if (node->HasAttachment(syncKey()))
        return reinterpret_cast<std::uintptr_t>(node->GetAttachmentVoidData(syncKey()));
    std::uint64_t id = GetUniqueNodeID();
    node->AddVoidAttachment(syncKey(), reinterpret_cast<void*>(static_cast<std::uintptr_t>(id)));
    return id;
}

CreateChangePacket::CreateChangePacket(ECreateType type, ARenderNode* node, std::uint32_t worldType, bool extended)
    : m_type(type), m_nodeId(syncId(node)),
      m_worldType(type == eCreateGroup || type == eCreateComponent || type == eCreateBody ? worldType : 1u),
      m_extended(type == eCreateGroup && extended ? 1 : 0), m_node(node) {}

CreateChangePacket::~CreateChangePacket() = default;

CreateChangePacket* CreateChangePacket::make(ECreateType type, ARenderNode* node, std::uint32_t worldType,
                                             bool extended) {
    return new CreateChangePacket(type, node, worldType, extended);
}

} // namespace Brio::Scene
