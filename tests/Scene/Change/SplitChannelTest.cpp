#include "../View/OptionsTestSupport.h"
#include "PacketTestSupport.h"

#include <Lumo/Graphics/StandardObjectManager.h>
#include <Scene/Change/ClientNodeManager.h>
#include <Scene/Change/CreateChangePacket.h>
#include <Scene/Change/NodeChange.h>
#include <Scene/Change/ObjectManager.h>
#include <Scene/Change/ServerToClientObjectManager.h>

using Brio::Scene::ClientNodeManager;
using Brio::Scene::CreateChangePacket;
using Brio::Scene::NodeChange;
using Brio::Scene::ObjectManager;
using Brio::Scene::ServerToClientObjectManager;
using Lumo::Graphics::GroupNode;
using Lumo::Objects::AutoPtr;

namespace {

int g_written = 0;
std::vector<std::string> g_applied;

/// A channel format for tests: "created:N" for the posted create packets, "updates:N" for the
/// waiting packets; nothing when there is nothing to say.
bool CountingWriter(ServerToClientObjectManager& m, std::string& text) {
    ++g_written;
    const int created = m.createPacketCount();
    const int waiting = ObjectManager::get()->changeManager()->PendingCount();
    if (created)
        text += "\"created\":" + std::to_string(created);
    if (waiting)
        text += std::string(created ? "," : "") + "\"updates\":" + std::to_string(waiting);
    m.clearCreatePackets();
    return true;
}
void RecordingReader(const std::string& text) {
    g_applied.push_back(text);
}

struct SplitChannelTest : SceneTest::GraphicsOptionsTest {
    void SetUp() override {
        GraphicsOptionsTest::SetUp();
        g_written = 0;
        g_applied.clear();
        ServerToClientObjectManager::channel(&CountingWriter, &RecordingReader);
    }
    void TearDown() override {
        ServerToClientObjectManager::channel(nullptr, nullptr);
        ServerToClientObjectManager::get()->clearCreatePackets();
        ObjectManager::get()->changeManager()->Clear();
        GraphicsOptionsTest::TearDown();
    }
};

} // namespace

TEST_F(SplitChannelTest, CreatedNodesAreAnnouncedAndNotAppliedAtOnce) {
    options->graphicsSplitTestEnabled(true);
    AutoPtr<GroupNode> g;
    {
        NodeChange change;
        g = change.createGroupNode(nullptr, Lumo::Graphics::eRenderListWorld, true);
        EXPECT_FALSE(change.doItNow()) << "a mirrored scene goes through the queue";
        change.qualifier(12);
    }
    EXPECT_EQ(Brio::Scene::qualifier(g), 0u);
    ServerToClientObjectManager* stc = ServerToClientObjectManager::get();
    ASSERT_EQ(stc->createPacketCount(), 1);
    EXPECT_EQ(stc->createPacket(0)->createType(), CreateChangePacket::eCreateGroup);
    EXPECT_EQ(stc->createPacket(0)->nodeId(), CreateChangePacket::syncId(g));
    EXPECT_TRUE(stc->createPacket(0)->extended());

    ObjectManager::get()->syncChanges();
    EXPECT_EQ(g_written, 1);
    ASSERT_EQ(g_applied.size(), 1u);
    EXPECT_EQ(g_applied[0], "{\"created\":1,\"updates\":1}");
    EXPECT_EQ(Brio::Scene::qualifier(g), 12u) << "the change is applied in the same sync";

    // Nothing waiting: the writer runs, the text is too short to apply.
    ObjectManager::get()->syncChanges();
    EXPECT_EQ(g_written, 2);
    EXPECT_EQ(g_applied.size(), 1u);

    options->graphicsSplitTestEnabled(false);
    ObjectManager::get()->syncChanges();
    EXPECT_EQ(g_written, 2) << "with the option off the channel is left alone";
}

TEST(ClientNodeManagerTest, EntriesAndRootsAreHeldUntilReset) {
    SceneTest::LiveObjectGuard guard;
    ClientNodeManager* m = ClientNodeManager::get();
    m->reset();
    EXPECT_EQ(m->getClientNode(5), nullptr);
    EXPECT_EQ(m->clientNodeCount(), 1) << "asking records an empty entry";
    {
        AutoPtr<GroupNode> node = GroupNode::Make(), root = GroupNode::Make();
        m->addClientNode(5, node);
        m->selectionScene(root);
        EXPECT_EQ(m->getClientNode(5), node.get());
        EXPECT_EQ(node->RefCount(), 2);
        m->selectionScene(root); // setting the same root again keeps one reference
        EXPECT_EQ(root->RefCount(), 2);
    }
    EXPECT_NE(m->selectionScene(), nullptr) << "the manager keeps what it was given";
    m->reset();
    EXPECT_EQ(m->clientNodeCount(), 0);
    EXPECT_EQ(m->selectionScene(), nullptr);
}
