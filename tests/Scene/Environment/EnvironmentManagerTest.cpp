// The process-wide environment manager: loading on demand, failed entries, the active
// environment following the graphics option, its event, and cycling colours for node data.
#include "EnvironmentTestSupport.h"

#include <Brio/Base/DelayedEventBase.h>
#include <Brio/Base/PathInfo.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Scene/Change/NodeData.h>
#include <Scene/Environment/EnvironmentEventSite.h>
#include <Scene/Environment/EnvironmentEventSource.h>

#include <thread>
#include <vector>

using namespace Brio::Scene;
using namespace EnvironmentTest;

namespace {

/// Subscribed for its lifetime; records which environment was active at each event.
class ActiveLog : public EnvironmentEventSite {
public:
    ActiveLog() { EnvironmentEventSource::get()->subscribe(this); }
    ~ActiveLog() override { EnvironmentEventSource::get()->unsubscribe(this); }
    void activeEnvironmentChanged(Brio::Event* event) override {
        EXPECT_EQ(event, nullptr);
        ids.push_back(EnvironmentManager::getEnvManager()->activeEnvironmentID());
    }
    std::vector<std::wstring> ids;
};

Lumo::Objects::AutoPtr<Lumo::Graphics::GroupNode> NodeWithData() {
    Lumo::Objects::AutoPtr<Lumo::Graphics::GroupNode> node = Lumo::Graphics::GroupNode::Make();
    NodeData::make(node, nullptr, Lumo::Scene::eGroupNode, false);
    return node;
}

NodeData* DataOf(Lumo::Graphics::GroupNode* node) {
    return static_cast<NodeData*>(Lumo::Scene::ANodeData::GetNodeData(node)->GetInterface(NodeData::StaticClassName()));
}

} // namespace

TEST(EnvironmentManagerInitTest, TheProcessManagerStartsFromTheOptionsAndTheHostResources) {
    EnvironmentManager* manager = EnvironmentManager::getEnvManager();
    EXPECT_EQ(manager, EnvironmentManager::getEnvManager());
    EXPECT_TRUE(manager->initialized());
    EXPECT_EQ(manager->resourceDirectory(), Brio::PathInfo::sceneResourceDirectory());
    EXPECT_EQ(manager->activeEnvironmentID(), GraphicsOptionGroup::get()->environmentID());

    EnvironmentManager own;
    EXPECT_FALSE(own.release()) << "nothing to release before initialising";
    EXPECT_TRUE(own.initialize());
    EXPECT_TRUE(own.release());
    EXPECT_EQ(own.resourceDirectory(), Brio::PathInfo::sceneResourceDirectory());
}

TEST_F(EnvironmentManagerTest, EnvironmentsAreReadOnceAndFailuresRecorded) {
    folder.define("A", R"(<Grid ARGB="1 0.1 0.2 0.3"/>)");
    EXPECT_EQ(manager->count(), 0);
    EXPECT_EQ(manager->item(L"A", false), nullptr) << "not loaded without being asked to";
    EXPECT_EQ(manager->count(), 0);

    Environment* a = manager->item(L"A", true);
    ASSERT_TRUE(a);
    EXPECT_EQ(manager->item(L"A", true), a);
    EXPECT_EQ(manager->item(L"A", false), a);
    EXPECT_EQ(manager->count(), 1);
    EXPECT_EQ(manager->item(0), a);

    // A definition that is missing leaves one empty entry and is not read again every frame.
    for (int frame = 0; frame < 100; ++frame)
        EXPECT_EQ(manager->item(L"Missing", true), nullptr);
    EXPECT_EQ(manager->count(), 2);
    EXPECT_EQ(manager->item(1), nullptr);
    EXPECT_EQ(manager->item(-1), nullptr);
    EXPECT_EQ(manager->item(2), nullptr);
    folder.define("Missing", "");
    EXPECT_TRUE(manager->item(L"Missing", true)) << "a file that appears later is read";
    EXPECT_EQ(manager->count(), 3);

    auto* made = new Environment(L"Made");
    manager->add(made);
    manager->add(nullptr);
    EXPECT_EQ(manager->count(), 4) << "nothing is added for null";
    EXPECT_EQ(manager->item(L"Made", false), made);

    EXPECT_TRUE(manager->release());
    EXPECT_EQ(manager->count(), 0);
    EXPECT_EQ(manager->item(L"Made", false), nullptr);
}

TEST_F(EnvironmentManagerTest, TheActiveEnvironmentFollowsTheOption) {
    folder.define("A", R"(<Background RGB="0.1 0.1 0.1"/>)");
    folder.define("B", R"(<Background RGB="0.9 0.9 0.9"/>)");
    ActiveLog log;

    options->environmentID(L"B");
    EXPECT_EQ(manager->activeEnvironmentID(), L"B");
    ASSERT_TRUE(manager->activeEnvironment());
    EXPECT_FLOAT_EQ(manager->activeEnvironment()->backgroundColor().red(), 0.9f);
    EXPECT_EQ(log.ids, (std::vector<std::wstring>{L"B"}));
    options->environmentID(L"B");
    EXPECT_EQ(log.ids.size(), 1u) << "an option set to its value changes nothing";

    // Choosing through the manager updates the option and tells the sites once, even when the
    // environment cannot be read.
    manager->activeEnvironmentID(L"A");
    EXPECT_EQ(options->environmentID(), L"A");
    EXPECT_FLOAT_EQ(manager->activeEnvironment()->backgroundColor().red(), 0.1f);
    manager->activeEnvironmentID(L"Nowhere");
    EXPECT_EQ(manager->activeEnvironment(), nullptr);
    EXPECT_EQ(log.ids, (std::vector<std::wstring>{L"B", L"A", L"Nowhere"}));

    // Sites that are not environment sites hear nothing.
    struct Other : Brio::EventSite {
    } other;
    EnvironmentEventSource::get()->Brio::EventSource::subscribe(&other);
    EXPECT_TRUE(EnvironmentEventSource::get()->fireActiveEnvironmentChanged());
    EnvironmentEventSource::get()->Brio::EventSource::unsubscribe(&other);
    EXPECT_EQ(log.ids.size(), 4u);
    EXPECT_EQ(EnvironmentEventSource::get()->name(), L"EnvironmentEventSource");
}

TEST_F(EnvironmentManagerTest, ChangesOffTheInterfaceThreadAreAnnouncedOnIt) {
    folder.define("A", "");
    ActiveLog log;
    Brio::DelayedEventBase::processDelayedEvents();
    std::thread worker([&] { manager->activeEnvironmentID(L"A"); });
    worker.join();
    EXPECT_EQ(manager->activeEnvironmentID(), L"A");
    EXPECT_TRUE(log.ids.empty()) << "not on the worker thread";
    EXPECT_GE(Brio::DelayedEventBase::processDelayedEvents(), 1u);
    EXPECT_EQ(log.ids, (std::vector<std::wstring>{L"A"}));
}

TEST_F(EnvironmentManagerTest, NodeDataCycleThroughTheActiveEnvironmentsColours) {
    folder.define("Warm", R"(<ColorCycleTable><C RGB="1 0 0"/><C RGB="1 0.5 0"/><C RGB="1 1 0"/></ColorCycleTable>)");
    folder.define("Cool", R"(<ColorCycleTable><C RGB="0 0 1"/><C RGB="0 1 1"/></ColorCycleTable>)");
    folder.define("Plain", "");

    manager->activeEnvironmentID(L"Warm");
    std::vector<Lumo::Objects::AutoPtr<Lumo::Graphics::GroupNode>> warm;
    for (int i = 0; i < 4; ++i)
        warm.push_back(NodeWithData());
    ExpectColor(DataOf(warm[0])->cyclingColor(), 1, 0, 0, 1);
    ExpectColor(DataOf(warm[1])->cyclingColor(), 1, 0.5f, 0, 1);
    ExpectColor(DataOf(warm[2])->cyclingColor(), 1, 1, 0, 1);
    ExpectColor(DataOf(warm[3])->cyclingColor(), 1, 0, 0, 1);

    // Switching starts the new palette from its first colour; chosen colours stay.
    options->environmentID(L"Cool");
    auto cool = NodeWithData();
    ExpectColor(DataOf(cool)->cyclingColor(), 0, 0, 1, 1);
    ExpectColor(DataOf(warm[1])->cyclingColor(), 1, 0.5f, 0, 1);

    // An environment without colours leaves node data their standard palette.
    manager->activeEnvironmentID(L"Plain");
    auto plain = NodeWithData();
    const Brio::Color standard = DataOf(plain)->cyclingColor();
    EXPECT_NE(standard, Brio::Color(0, 0, 1, 1));
    EXPECT_NE(standard, Brio::Color());

    // The palette is the manager's copy: releasing the environments does not take it away.
    manager->activeEnvironmentID(L"Cool");
    manager->release();
    auto afterRelease = NodeWithData();
    ExpectColor(DataOf(afterRelease)->cyclingColor(), 0, 0, 1, 1);
    NodeData::cyclingPalette(nullptr, 0);
}
