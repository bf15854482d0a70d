#include <Scene/Change/ObjectManager.h>

#include <Brio/Base/TextCommand.h>
#include <Brio/Base/UIThread.h>
#include <Lumo/Graphics/IChangePacket.h>
#include <Lumo/Graphics/StandardObjectManager.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Scene/Change/ChangePacket.h>
#include <Scene/Change/NodeChange.h>
#include <Scene/Change/RevalidatePacket.h>
#include <Scene/Change/ServerToClientObjectManager.h>
#include <Scene/Change/StandardObjectManagerEx.h>
#include <Scene/View/GraphicsOptionGroup.h>

#include <atomic>
#include <string>

namespace Brio::Scene {

void ObjectManager::Releaser::operator()(Lumo::Graphics::StandardObjectManager* m) const {
    if (m)
        m->ReleaseRef();
}

ObjectManager::ObjectManager() {
    auto* changes = StandardObjectManagerEx::make();
    changes->AddRef();
    m_changes.reset(changes);
    auto* revalidates = RevalidateObjectManager::make();
    revalidates->AddRef();
    m_revalidates.reset(revalidates);
}

ObjectManager::~ObjectManager() = default;

ObjectManager* ObjectManager::get() {
    static ObjectManager manager;
    return &manager;
}

void ObjectManager::postToChangeManager(Lumo::Graphics::IChangePacket* packet) {
    m_changes->PostPacket(packet);
}

void ObjectManager::postToRevalidateManager(Lumo::Graphics::IChangePacket* packet) {
    m_revalidates->PostPacket(packet);
}

void ObjectManager::postToRevalidateManager(const ChangePacket& packet) {
    Lumo::Objects::AutoPtr<RevalidatePacket> revalidate = RevalidatePacket::make(packet);
    m_revalidates->PostPacket(revalidate);
}

void ObjectManager::RegisterChangedCallback(ChangedCallback callback, void* data) {
    if (callback)
        m_callbacks.emplace_back(callback, data);
}

bool ObjectManager::UnregisterChangedCallback(ChangedCallback callback, void* data) {
    for (auto it = m_callbacks.begin(); it != m_callbacks.end(); ++it)
        if (it->first == callback && it->second == data) {
            m_callbacks.erase(it);
            return true;
        }
    return false;
}

void ObjectManager::CallChangedCallbacks() {
    // A copy: a callback may unregister itself.
    auto callbacks = m_callbacks;
    for (auto& [fn, data] : callbacks)
        fn(data);
}

namespace {
std::atomic<ObjectManager::ModelSync> g_modelSync{nullptr};
} // namespace

bool ObjectManager::splitTestEnabled() {
    return GraphicsOptionGroup::get()->graphicsSplitTestEnabled();
}
void ObjectManager::modelSync(ModelSync sync) {
    g_modelSync = sync;
}

void ObjectManager::syncChanges() {
    if (!Brio::OS::isUIThread())
        return;
    const NodeChange::EQuill mode = NodeChange::_Quill();
    if (mode != NodeChange::eQuillOnly) {
        CallChangedCallbacks();
        m_revalidates->ApplyChanges(); // sources rebuild; their node changes post to the changes
        if (splitTestEnabled())
            ServerToClientObjectManager::get()->syncChanges();
        m_changes->ApplyChanges();
    }
    if (mode != NodeChange::eQuillOff)
        if (ModelSync sync = g_modelSync)
            sync();
}

namespace {
std::atomic<long> g_syncCount{0};
void CountSync(void*) {
    g_syncCount.fetch_add(1, std::memory_order_relaxed);
}

/// "SyncCounter": counts syncs while switched on.
class TextCmdSyncCounter : public Brio::TextCommand {
public:
    TextCmdSyncCounter() : TextCommand(L"Scene", L"SyncCounter", L"SyncChanges Counter") {}
    bool execute(const Brio::TextCommandParameters& p, std::wstring& reply) override {
        reply = L"SyncChanges Counter: ";
        if (p.hasFlag(L"on")) {
            ObjectManager::get()->UnregisterChangedCallback(&CountSync, nullptr); // never twice
            ObjectManager::get()->RegisterChangedCallback(&CountSync, nullptr);
            reply += L"/on ";
        } else if (p.hasFlag(L"off")) {
            ObjectManager::get()->UnregisterChangedCallback(&CountSync, nullptr);
            reply += L"/off ";
        }
        reply += std::to_wstring(g_syncCount.load(std::memory_order_relaxed)) + L" ";
        return true;
    }
};
TextCmdSyncCounter g_syncCounterCommand;
} // namespace

} // namespace Brio::Scene
