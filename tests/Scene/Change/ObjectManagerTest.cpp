#include "../TestSupport.h"

#include <Brio/Base/TextCommand.h>
#include <Brio/Base/UIThread.h>
#include <Lumo/Graphics/ChangePacket.h>
#include <Lumo/Graphics/StandardObjectManager.h>
#include <Scene/Change/ChangePacket.h>
#include <Scene/Change/ObjectManager.h>
#include <Scene/Change/RevalidatePacket.h>

#include <string>
#include <thread>
#include <vector>

using namespace Brio::Scene;
using namespace SceneTest;

namespace {
std::vector<std::string> g_log;

/// Logs its application; a revalidating one posts a change, as a source rebuilding would.
class LoggingPacket : public Lumo::Graphics::ChangePacket {
public:
    static LoggingPacket* Make(Lumo::Graphics::ARenderNode* n, std::string name, bool postsChange = false) {
        return new LoggingPacket(n, std::move(name), postsChange);
    }
    bool UpdateNode() override {
        g_log.push_back(m_name);
        if (m_postsChange)
            ObjectManager::get()->postToChangeManager(AutoPtr<LoggingPacket>(Make(Node(), m_name + "-rebuilt")));
        return true;
    }

private:
    LoggingPacket(Lumo::Graphics::ARenderNode* n, std::string name, bool posts)
        : ChangePacket(n), m_name(std::move(name)), m_postsChange(posts) {}
    std::string m_name;
    bool m_postsChange;
};

void Note(void* data) {
    g_log.push_back(static_cast<const char*>(data));
}
} // namespace

TEST(ObjectManagerTest, SyncRunsCallbacksThenRevalidationThenChanges) {
    Brio::OS::setUIThread();
    g_log.clear();
    ObjectManager* m = ObjectManager::get();
    static char first[] = "callback-1", second[] = "callback-2";
    m->RegisterChangedCallback(&Note, first);
    m->RegisterChangedCallback(&Note, second);
    m->RegisterChangedCallback(nullptr, first);
    AutoPtr<Lumo::Graphics::GroupNode> a = Lumo::Graphics::GroupNode::Make(), b = Lumo::Graphics::GroupNode::Make();
    m->postToChangeManager(AutoPtr<LoggingPacket>(LoggingPacket::Make(b, "change-b")));
    m->postToRevalidateManager(AutoPtr<LoggingPacket>(LoggingPacket::Make(a, "revalidate-a", true)));

    // Another thread's sync does nothing: the packets wait.
    std::thread([m] { m->syncChanges(); }).join();
    EXPECT_TRUE(g_log.empty());

    m->syncChanges();
    EXPECT_EQ(g_log, (std::vector<std::string>{"callback-1", "callback-2", "revalidate-a", "change-b",
                                               "revalidate-a-rebuilt"}))
        << "a rebuild's change applies in the same sync";
    EXPECT_TRUE(m->UnregisterChangedCallback(&Note, first));
    EXPECT_FALSE(m->UnregisterChangedCallback(&Note, first));
    EXPECT_TRUE(m->UnregisterChangedCallback(&Note, second));
    EXPECT_EQ(m->changeManager()->PendingCount(), 0);
}

TEST(ObjectManagerTest, SyncCounterCountsWhileOn) {
    Brio::OS::setUIThread();
    std::wstring reply;
    ASSERT_TRUE(Brio::TextCommand::run(L"Scene.SyncCounter", reply));
    long start = std::stol(reply.substr(std::wstring(L"SyncChanges Counter: ").size()));
    ASSERT_TRUE(Brio::TextCommand::run(L"Scene.SyncCounter /on", reply));
    EXPECT_EQ(reply, L"SyncChanges Counter: /on " + std::to_wstring(start) + L" ");
    ObjectManager::get()->syncChanges();
    ObjectManager::get()->syncChanges();
    ASSERT_TRUE(Brio::TextCommand::run(L"Scene.SyncCounter /off", reply));
    EXPECT_EQ(reply, L"SyncChanges Counter: /off " + std::to_wstring(start + 2) + L" ");
    ObjectManager::get()->syncChanges();
    ASSERT_TRUE(Brio::TextCommand::run(L"Scene.SyncCounter", reply));
    EXPECT_EQ(reply, L"SyncChanges Counter: " + std::to_wstring(start + 2) + L" ");
}

TEST(ObjectManagerTest, ChangePacketsPostTheirRevalidationAsAPacketOfItsOwn) {
    Brio::OS::setUIThread();
    LiveObjectGuard guard;
    AutoPtr<Lumo::Graphics::GroupNode> node = Lumo::Graphics::GroupNode::Make();
    AutoPtr<Brio::Scene::ChangePacket> change = Brio::Scene::ChangePacket::make(node);
    change->invalidate(Brio::DataChange::eAppearance);
    ObjectManager* m = ObjectManager::get();
    int before = change->RefCount();
    m->postToRevalidateManager(*change);
    EXPECT_EQ(m->revalidateManager()->PendingCount(), 1);
    EXPECT_EQ(change->RefCount(), before) << "the change packet is not consumed";
    m->revalidateManager()->ForEachPending([&](Lumo::Graphics::IChangePacket& p) {
        auto* r = static_cast<Brio::Scene::RevalidatePacket*>(
            p.GetInterface(Brio::Scene::RevalidatePacket::StaticClassName()));
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->revalidationTypes(), Brio::DataChange::eAppearance);
    });
    m->syncChanges();
    EXPECT_EQ(m->revalidateManager()->PendingCount(), 0);
}
