#include <Scene/Change/CreateChangePacket.h>
#include <Scene/Change/ServerToClientObjectManager.h>

#include <atomic>

namespace Brio::Scene {
namespace {
std::atomic<ServerToClientObjectManager::Writer> g_writer{nullptr};
std::atomic<ServerToClientObjectManager::Reader> g_reader{nullptr};
} // namespace

ServerToClientObjectManager* ServerToClientObjectManager::get() {
    static ServerToClientObjectManager manager;
    return &manager;
}

ServerToClientObjectManager::~ServerToClientObjectManager() {
    clearCreatePackets();
}

void ServerToClientObjectManager::postToObjectManager(CreateChangePacket* packet) {
    if (!packet)
        return;
    packet->packet()->AddRef();
    m_created.push_back(packet);
}

CreateChangePacket* ServerToClientObjectManager::createPacket(int i) const {
    return i >= 0 && i < int(m_created.size()) ? m_created[i] : nullptr;
}

void ServerToClientObjectManager::clearCreatePackets() {
    std::vector<CreateChangePacket*> created;
    created.swap(m_created);
    for (CreateChangePacket* p : created)
        p->packet()->ReleaseRef();
}

void ServerToClientObjectManager::channel(Writer writer, Reader reader) {
    g_writer = writer;
    g_reader = reader;
}

void ServerToClientObjectManager::syncChanges() {
    Writer writer = g_writer;
    if (!writer)
        return;
    std::string text;
    if (!writer(*this, text))
        return;
    // Only a new text is applied: the kept one was applied by the sync that wrote it.
    if (text.empty())
        return;
    m_text = "{" + text + "}";
    // Shorter texts hold no member worth applying.
    if (m_text.size() > 18)
        updateClientScene(m_text);
}

void ServerToClientObjectManager::updateClientScene(std::string& json) {
    if (Reader reader = g_reader)
        reader(json);
}

} // namespace Brio::Scene
